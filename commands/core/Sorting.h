#pragma once
// Ordering of file names as the user's locale sorts text: the collation of the current LC_COLLATE,
// letter case ignored, no numeric ordering ("10 b.mp3" before "9 a.mp3"). The user's locale is in
// force once the program has called setlocale(LC_ALL, "") (QApplication does so on start).
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

// Indexes of `names` in ascending order; names that compare equal keep their order.
std::vector<Index> sortedOrder(const std::vector<std::string_view>& names);

}  // namespace sonavex
