#pragma once
// The busy pointer as an application-wide override cursor.
#include "core/model/Platform.h"

namespace sonavex {

class QtBusyPointer : public BusyPointer {
 public:
  ~QtBusyPointer() override;
  void setBusy(bool busy) override;
  bool busy() const { return depth_ > 0; }

 private:
  // Nested busy scopes restore the pointer only when the outermost one ends.
  int depth_ = 0;
};

}  // namespace sonavex
