#pragma once
// The random order of the "rand" command.
#include <vector>

#include "core/Core.h"

namespace sonavex {

// Most entries the random order takes out and puts back in one run.
inline constexpr Index kRandomOrderMoves = 555;

// For i = 0 .. min(n, 555) - 1: draw k below n, take the entry at position i out and put it back at
// position k. Returns the old indexes in their new order.
std::vector<Index> randomOrderMoves(RandomSource& rng, Index n);

}  // namespace sonavex
