#include "core/RandomOrder.h"

#include <algorithm>

namespace sonavex {

std::vector<Index> randomOrderMoves(RandomSource& rng, Index n) {
  std::vector<Index> order(static_cast<std::size_t>(std::max<Index>(n, 0)));
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = static_cast<Index>(i);
  const Index moves = std::min(n, kRandomOrderMoves);
  const auto at = [&order](Index i) { return order.begin() + i; };
  for (Index i = 0; i < moves; ++i) {
    const Index k = rng.below(n);
    // Taking out at i and inserting at k is one rotation of the span between them.
    if (k > i) std::rotate(at(i), at(i + 1), at(k + 1));
    else if (k < i) std::rotate(at(k), at(i), at(i + 1));
  }
  return order;
}

}  // namespace sonavex
