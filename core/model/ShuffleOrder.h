#pragma once
// The shuffle order `List5`: entry indexes in the order shuffle play visits them, and the position
// reached in that order (its list index, -1 before the first shuffled track). Empty while the
// shuffle box is off.
#include <cstdint>
#include <vector>

#include "core/model/PlaylistModel.h"

namespace sonavex {

class ShuffleOrder {
 public:
  Index count() const { return static_cast<Index>(order_.size()); }
  bool empty() const { return order_.empty(); }
  Index at(Index position) const;  // -1 when out of range
  const std::vector<Index>& entries() const { return order_; }

  Index listIndex() const { return listIndex_; }
  void setListIndex(Index position);  // -1 or a valid position

  void clear();
  void append(Index entry);
  // Counts every change of the order (not of the position reached).
  std::uint64_t revision() const { return revision_; }

 private:
  std::vector<Index> order_;
  Index listIndex_ = kNone;
  std::uint64_t revision_ = 0;
};

}  // namespace sonavex
