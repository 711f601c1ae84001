#include "core/model/ShuffleOrder.h"

namespace sonavex {

Index ShuffleOrder::at(Index position) const {
  return (position >= 0 && position < count()) ? order_[static_cast<std::size_t>(position)] : kNone;
}

void ShuffleOrder::setListIndex(Index position) {
  listIndex_ = (position >= 0 && position < count()) ? position : kNone;
}

void ShuffleOrder::clear() {
  order_.clear();
  listIndex_ = kNone;
  ++revision_;
}

void ShuffleOrder::append(Index entry) {
  order_.push_back(entry);
  ++revision_;
}

}  // namespace sonavex
