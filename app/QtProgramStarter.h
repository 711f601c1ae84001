#pragma once
// Starts another program detached, with Qt.
#include "app/core/Platform.h"

namespace sonavex {

class QtProgramStarter : public ProgramStarter {
 public:
  bool startDetached(const ProgramCommand& command) override;
};

}  // namespace sonavex
