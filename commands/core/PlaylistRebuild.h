#pragma once
// Rebuilding the playlist from the entries a command keeps. Each runs in one pass and replaces the
// lists at once; afterwards the entries are numbered 1..N, nothing is selected and both list
// indexes are -1. The shuffle order is left to the caller.
#include <string>
#include <vector>

#include "app/core/Core.h"

namespace sonavex {

// Keeps the entries whose `keep` flag is set, in order, with the file names of their display names.
void keepEntries(PlaylistModel& list, const std::vector<bool>& keep);

// Puts the entries in the order given by `order` (old indexes, each once), renumbered, with the
// file names of their display names.
void reorderEntries(PlaylistModel& list, const std::vector<Index>& order);

// Removes the selected entries.
void delsel(Core& core);

// Keeps only the selected entries; their display names are made afresh from their paths.
void crop(Core& core);

}  // namespace sonavex
