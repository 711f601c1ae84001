#include "commands/core/Sorting.h"

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

// Lower-case of each ASCII character under the current locale, or 0 where it is no ASCII character
// (a locale may lower-case "I" to a letter outside ASCII).
struct AsciiFold {
  char lower[128];
  AsciiFold() {
    for (int c = 0; c < 128; ++c) {
      const wint_t folded = std::towlower(static_cast<wint_t>(c));
      lower[c] = folded < 128 ? static_cast<char>(folded) : 0;
    }
    lower[0] = 0;
  }
};

void foldInto(std::string& folded, std::string_view name, const AsciiFold& ascii) {
  folded.clear();
  folded.reserve(name.size());
  if (MB_CUR_MAX == 1) {
    for (const char c : name) folded.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    return;
  }
  std::mbstate_t state{};
  std::size_t i = 0;
  while (i < name.size()) {
    const auto byte = static_cast<unsigned char>(name[i]);
    if (byte < 128 && ascii.lower[byte] != 0) {
      folded.push_back(ascii.lower[byte]);
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
    char lower[MB_LEN_MAX];
    std::mbstate_t out{};
    const std::size_t written = std::wcrtomb(lower, static_cast<wchar_t>(std::towlower(static_cast<wint_t>(wide))), &out);
    if (written == static_cast<std::size_t>(-1)) folded.append(name.data() + i, used);
    else folded.append(lower, written);
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
  std::string folded;
  foldInto(folded, name, AsciiFold());
  return folded;
}

std::vector<Index> sortedOrder(const std::vector<std::string_view>& names) {
  const AsciiFold ascii;
  const bool byCode = collatesByCode();
  std::vector<std::string> keys(names.size());
  // The first eight key bytes as a number decide most comparisons without touching the keys.
  struct Item {
    std::uint64_t prefix;
    Index index;
  };
  std::vector<Item> items(names.size());
  std::string folded;
  for (std::size_t i = 0; i < names.size(); ++i) {
    foldInto(folded, names[i], ascii);
    keys[i] = byCode ? folded : collationKey(folded);
    std::uint64_t prefix = 0;
    for (std::size_t b = 0; b < 8; ++b)
      prefix = (prefix << 8) | (b < keys[i].size() ? static_cast<unsigned char>(keys[i][b]) : 0u);
    items[i] = {prefix, static_cast<Index>(i)};
  }
  std::stable_sort(items.begin(), items.end(), [&keys](const Item& a, const Item& b) {
    if (a.prefix != b.prefix) return a.prefix < b.prefix;
    return keys[static_cast<std::size_t>(a.index)] < keys[static_cast<std::size_t>(b.index)];
  });
  std::vector<Index> order(items.size());
  for (std::size_t i = 0; i < items.size(); ++i) order[i] = items[i].index;
  return order;
}

}  // namespace sonavex
