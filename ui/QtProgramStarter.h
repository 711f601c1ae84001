#pragma once
// Starts another program detached, with Qt.
#include "core/model/Platform.h"

namespace sonavex {

class QtProgramStarter : public ProgramStarter {
 public:
  bool startDetached(const ProgramCommand& command) override;
};

}  // namespace sonavex
