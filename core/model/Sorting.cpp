#include "core/model/Sorting.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <clocale>
#include <cstdint>
#include <cstring>
#include <cwchar>
#include <cwctype>

namespace sonavex {

namespace {

// Lower case under the current locale of each byte that is a whole character, else 0. In locales
// of more than one byte per character only ASCII qualifies, and only where it lower-cases to ASCII
// (a locale may lower-case "I" to a letter outside ASCII). Returns whether every character is one byte.
bool fillLower(char (&lower)[256]) {
  const bool singleByte = MB_CUR_MAX == 1;
  for (int c = 0; c < 256; ++c) {
    if (singleByte) {
      lower[c] = static_cast<char>(std::tolower(c));
    } else if (c < 128) {
      const wint_t folded = std::towlower(static_cast<wint_t>(c));
      lower[c] = folded < 128 ? static_cast<char>(folded) : 0;
    } else {
      lower[c] = 0;  // part of a longer character
    }
  }
  return singleByte;
}

// Appends the folded name to `folded`.
void foldInto(std::string& folded, std::string_view name, const char (&lower)[256],
              bool singleByte) {
  std::mbstate_t state{};
  std::size_t i = 0;
  while (i < name.size()) {
    const auto byte = static_cast<unsigned char>(name[i]);
    if (singleByte || lower[byte] != 0) {
      folded.push_back(lower[byte]);
      ++i;
      continue;
    }
    wchar_t wide = 0;
    const std::size_t used = std::mbrtowc(&wide, name.data() + i, name.size() - i, &state);
    if (used == 0 || used == static_cast<std::size_t>(-1) || used == static_cast<std::size_t>(-2)) {
      folded.push_back(name[i]);  // not a character: keep the byte
      ++i;
      state = std::mbstate_t{};
      continue;
    }
    char lowerChar[MB_LEN_MAX];
    std::mbstate_t out{};
    const auto lowerWide = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(wide)));
    const std::size_t written = std::wcrtomb(lowerChar, lowerWide, &out);
    if (written == static_cast<std::size_t>(-1)) folded.append(name.data() + i, used);
    else folded.append(lowerChar, written);
    i += used;
  }
}

// In these locales text order is the order of the characters' codes, which UTF-8 and single bytes
// keep: the folded name is its own key.
bool collatesByCode() {
  const char* name = std::setlocale(LC_COLLATE, nullptr);
  if (!name) return true;
  const std::string_view n(name);
  return n == "C" || n == "POSIX" || n == "C.UTF-8" || n == "C.utf8";
}

}  // namespace

std::string collationKey(const std::string& text) {
  std::string key(text.size() * 2 + 16, '\0');
  std::size_t needed = std::strxfrm(key.data(), text.c_str(), key.size());
  if (needed >= key.size()) {
    key.assign(needed + 1, '\0');
    needed = std::strxfrm(key.data(), text.c_str(), key.size());
  }
  key.resize(std::min(needed, key.size()));
  return key;
}

std::string foldCase(std::string_view name) {
  char lower[256];
  const bool singleByte = fillLower(lower);
  std::string folded;
  foldInto(folded, name, lower, singleByte);
  return folded;
}

std::vector<Index> sortedOrder(const std::vector<std::string_view>& names) {
  return NameSorter().order(names);
}

NameSorter::NameSorter() : singleByte_(fillLower(lower_)), byCode_(collatesByCode()) {}

const std::vector<Index>& NameSorter::order(const std::vector<std::string_view>& names) {
  order_.resize(names.size());
  if (names.size() < 2) {
    if (!names.empty()) order_[0] = 0;
    return order_;
  }
  keys_.clear();
  keyStarts_.resize(names.size() + 1);
  for (std::size_t i = 0; i < names.size(); ++i) {
    keyStarts_[i] = keys_.size();
    if (byCode_) {
      foldInto(keys_, names[i], lower_, singleByte_);
    } else {
      folded_.clear();
      foldInto(folded_, names[i], lower_, singleByte_);
      keys_ += collationKey(folded_);
    }
  }
  keyStarts_[names.size()] = keys_.size();
  const auto key = [this](std::size_t i) {
    return std::string_view(keys_).substr(keyStarts_[i], keyStarts_[i + 1] - keyStarts_[i]);
  };
  // Bytes every key shares decide nothing: the prefix number starts after them.
  const std::string_view first = key(0);
  std::size_t common = first.size();
  for (std::size_t i = 1; i < names.size() && common > 0; ++i) {
    const std::string_view k = key(i);
    const std::size_t n = std::min(common, k.size());
    std::size_t b = 0;
    while (b < n && k[b] == first[b]) ++b;
    common = b;
  }
  items_.resize(names.size());
  for (std::size_t i = 0; i < names.size(); ++i) {
    const std::string_view k = key(i);
    // Eight key bytes as a number decide most comparisons without touching the keys.
    std::uint64_t prefix = 0;
    for (std::size_t b = common; b < common + 8; ++b)
      prefix = (prefix << 8) | (b < k.size() ? static_cast<unsigned char>(k[b]) : 0u);
    items_[i] = {prefix, static_cast<Index>(i)};
  }
  std::stable_sort(items_.begin(), items_.end(), [&key](const Item& a, const Item& b) {
    if (a.prefix != b.prefix) return a.prefix < b.prefix;
    return key(static_cast<std::size_t>(a.index)) < key(static_cast<std::size_t>(b.index));
  });
  for (std::size_t i = 0; i < items_.size(); ++i) order_[i] = items_[i].index;
  return order_;
}

}  // namespace sonavex
