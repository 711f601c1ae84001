#pragma once
// The removals that rebuild the playlist from the selection. Each runs in one pass and replaces the
// lists at once, as an undoable step (UndoableEdits.h); afterwards the entries are
// numbered 1..N, nothing is selected and both list indexes are -1. The shuffle order is left to the
// caller.
#include "core/ListState.h"

namespace sonavex {

// Removes the selected entries; the kept ones keep the file names of their display names.
void delsel(ListState& state);

// Keeps only the selected entries; their display names are made afresh from their paths.
void crop(ListState& state);

}  // namespace sonavex
