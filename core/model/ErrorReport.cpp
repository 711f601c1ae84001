#include "core/model/ErrorReport.h"

#include "core/model/Platform.h"

namespace sonavex {

void ErrorReport::add(const std::string& text) {
  if (count_++ == 0) first_ = text;
}

std::string ErrorReport::text() const {
  if (count_ <= 1) return first_;
  const std::size_t more = count_ - 1;
  return first_ + "\nand " + std::to_string(more) + (more == 1 ? " more error" : " more errors");
}

void ErrorReport::notify(MessageBoxes* messages) const {
  if (messages && !empty()) messages->notify(text(), "Sonavex", MsgIcon::Information);
}

}  // namespace sonavex
