#include "commands/core/Sorting.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstring>
#include <cwchar>
#include <cwctype>

namespace sonavex {

std::string foldCase(std::string_view name) {
  std::string folded;
  folded.reserve(name.size());
  if (MB_CUR_MAX == 1) {
    for (const char c : name) folded.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    return folded;
  }
  std::mbstate_t state{};
  std::size_t i = 0;
  while (i < name.size()) {
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
  return folded;
}

std::string sortKeyOf(std::string_view name) {
  const std::string folded = foldCase(name);
  std::string key(folded.size() * 2 + 16, '\0');
  std::size_t needed = std::strxfrm(key.data(), folded.c_str(), key.size());
  if (needed >= key.size()) {
    key.assign(needed + 1, '\0');
    needed = std::strxfrm(key.data(), folded.c_str(), key.size());
  }
  key.resize(std::min(needed, key.size()));
  return key;
}

std::vector<Index> sortedOrder(const std::vector<std::string_view>& names) {
  std::vector<std::string> keys;
  keys.reserve(names.size());
  for (const auto name : names) keys.push_back(sortKeyOf(name));
  std::vector<Index> order(names.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = static_cast<Index>(i);
  std::stable_sort(order.begin(), order.end(), [&keys](Index a, Index b) {
    return keys[static_cast<std::size_t>(a)] < keys[static_cast<std::size_t>(b)];
  });
  return order;
}

}  // namespace sonavex
