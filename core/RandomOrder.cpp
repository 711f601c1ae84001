#include "core/RandomOrder.h"

#include <algorithm>

#include "core/Shuffle.h"

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

Index rndnumb1(Core& core) {
  const Index k = core.list.count();
  std::vector<bool> taken(static_cast<std::size_t>(std::max<Index>(k, 0)), false);
  Index free = k;
  for (const Index entry : core.List5.entries()) {
    if (entry >= 0 && entry < k && !taken[static_cast<std::size_t>(entry)]) {
      taken[static_cast<std::size_t>(entry)] = true;
      --free;
    }
  }
  if (free <= 0) return kNone;  // nothing left to draw: drawing would never end
  return drawFreshIndex(core.rng, k, taken);
}

}  // namespace sonavex
