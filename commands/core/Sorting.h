#pragma once
// Ordering of file names as the user's locale sorts text: the collation of the current LC_COLLATE,
// letter case ignored, no numeric ordering ("10 b.mp3" before "9 a.mp3").
#include <string>
#include <string_view>
#include <vector>

#include "playlist/core/PlaylistModel.h"

namespace sonavex {

// The name with every letter lower-cased under the current LC_CTYPE; bytes that are no valid
// character stay as they are.
std::string foldCase(std::string_view name);

// strxfrm(3) of the text under the current LC_COLLATE: byte order of keys is the locale's order.
std::string collationKey(const std::string& text);

// A key whose byte order is the locale's order of the case-folded name.
std::string sortKeyOf(std::string_view name);

// Indexes of `names` in ascending order; names that compare equal keep their order.
std::vector<Index> sortedOrder(const std::vector<std::string_view>& names);

}  // namespace sonavex
