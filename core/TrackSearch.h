#pragma once
// The track search: which entries' display texts contain the searched text, letter case ignored,
// and going to one of them.
#include <string>
#include <string_view>
#include <vector>

#include "core/Core.h"

namespace sonavex {

// Folds letter case for comparison: text that is valid UTF-8 is folded character by character in
// the user's locale (C.UTF-8 where the locale's own character set is not UTF-8); anything else
// keeps its bytes with only ASCII letters folded.
std::string foldedForSearch(std::string_view text);

// The 1-based numbers of the entries whose display text contains `text`, in playlist order.
std::vector<Index> searchEntries(const PlaylistModel& list, std::string_view text);

// "[ n items are found ]".
std::string searchCountText(std::size_t matches);

// Goto: opens entry number (1-based) and makes it the marked entry. A number that no longer names
// an entry (the list shrank since the search) does nothing.
void gotoEntry(Core& core, Index number);

}  // namespace sonavex
