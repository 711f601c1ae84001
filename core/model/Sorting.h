#pragma once
// Ordering of file names as the user's locale sorts text: the collation of the current LC_COLLATE,
// letter case ignored, no numeric ordering ("10 b.mp3" before "9 a.mp3"). The user's locale is in
// force once the program has called setlocale(LC_ALL, "") (QApplication does so on start).
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/model/PlaylistModel.h"

namespace sonavex {

// The name with every letter lower-cased under the current LC_CTYPE; bytes that are no valid
// character stay as they are.
std::string foldCase(std::string_view name);

// strxfrm(3) of the text under the current LC_COLLATE: byte order of keys is the locale's order.
std::string collationKey(const std::string& text);

// Indexes of `names` in ascending order; names that compare equal keep their order.
std::vector<Index> sortedOrder(const std::vector<std::string_view>& names);

// sortedOrder for callers that sort many short lists (the folder scan, folder by folder): reads the
// locale once, when made, and keeps its buffers from one list to the next.
class NameSorter {
 public:
  NameSorter();
  // As sortedOrder; the result is valid until the next call.
  const std::vector<Index>& order(const std::vector<std::string_view>& names);

 private:
  struct Item {
    std::uint64_t prefix;  // eight key bytes, after those every key of the list shares, as a number
    Index index;
  };
  char lower_[256];  // lower case of each byte that is a whole character, else 0
  bool singleByte_;
  bool byCode_;
  std::string folded_;
  std::string keys_;                    // the keys of the list, one after another
  std::vector<std::size_t> keyStarts_;  // where each key starts in keys_, and the end of the last
  std::vector<Item> items_;
  std::vector<Index> order_;
};

}  // namespace sonavex
