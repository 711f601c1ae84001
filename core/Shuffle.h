#pragma once
// Building the shuffle order `List5` by rejection draws: each index is drawn uniformly over 0..N-1
// and drawn again while it is already in the order, so the order ends as a uniform permutation.
#include <vector>

#include "core/Core.h"

namespace sonavex {

// Draws an index below k that `taken` does not mark yet, and marks it (-1 when k <= 0). The caller
// draws at most k times for one `taken`, so a fresh index always remains.
Index drawFreshIndex(RandomSource& rng, Index k, std::vector<bool>& taken);

// Clears `List5`; with the shuffle box on, fills it with a fresh permutation of all entry indexes
// (list index -1). Every command that changes the set of entries calls this.
void rebuildShuffleOrder(ListState& state);

// Appends a random permutation of the entry indexes to `List5`.
void nonreprandnumb(ListState& state);

// The shuffle box was clicked (its value already toggled): on fills the order afresh, off empties
// it (a list edit).
void chkshuffle_Click(Core& core);

}  // namespace sonavex
