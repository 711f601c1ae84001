#include "core/Shuffle.h"

#include "core/ListWork.h"

namespace sonavex {

Index drawFreshIndex(RandomSource& rng, Index k, std::vector<bool>& taken) {
  if (k <= 0) return kNone;  // nothing to draw from
  if (taken.size() < static_cast<std::size_t>(k)) taken.resize(static_cast<std::size_t>(k), false);
  Index n = rng.below(k);
  while (taken[static_cast<std::size_t>(n)]) n = rng.below(k);
  taken[static_cast<std::size_t>(n)] = true;
  return n;
}

void nonreprandnumb(ListState& core) {
  const Index k = core.list.count();
  std::vector<bool> taken(static_cast<std::size_t>(k), false);
  for (Index i = 0; i < k; ++i) core.List5.append(drawFreshIndex(core.rng, k, taken));
}

void rebuildShuffleOrder(ListState& core) {
  core.List5.clear();
  if (core.chkshuffle == 1) nonreprandnumb(core);
}

// Switching the box on starts a fresh order; switching it off empties it.
void chkshuffle_Click(Core& core) { runListEdit(core, rebuildShuffleOrder); }

}  // namespace sonavex
