#include "core/TrackSearch.h"

#include <langinfo.h>
#include <locale.h>

#include <cstring>
#include <cwctype>

#include "core/model/Utf8.h"

namespace sonavex {

namespace {

// The character classes to fold with: the user's if they are UTF-8, else C.UTF-8's.
locale_t foldingLocale() {
  static const locale_t locale = [] {
    const locale_t user = newlocale(LC_CTYPE_MASK, "", nullptr);
    if (user != nullptr && std::strcmp(nl_langinfo_l(CODESET, user), "UTF-8") == 0) return user;
    if (user != nullptr) freelocale(user);
    return newlocale(LC_CTYPE_MASK, "C.UTF-8", nullptr);
  }();
  return locale;
}

// Decodes one UTF-8 character at text[i]; returns its length, or 0 when the bytes are not valid.
std::size_t decode(std::string_view text, std::size_t i, char32_t& out) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char b0 = byte(i);
  if (b0 < 0x80) {
    out = b0;
    return 1;
  }
  const std::size_t length = b0 >= 0xF0 ? 4 : b0 >= 0xE0 ? 3 : b0 >= 0xC2 ? 2 : 0;
  if (length == 0 || b0 > 0xF4 || i + length > text.size()) return 0;
  char32_t c = b0 & (0x7F >> length);
  for (std::size_t k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
    c = (c << 6) | (byte(i + k) & 0x3F);
  }
  static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (c < kSmallest[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
  out = c;
  return length;
}

char asciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

std::string foldedForSearch(std::string_view text) {
  std::string folded;
  folded.reserve(text.size());
  const locale_t locale = foldingLocale();
  for (std::size_t i = 0; i < text.size();) {
    char32_t c = 0;
    const std::size_t length = decode(text, i, c);
    if (length == 0) {  // not UTF-8: bytes as they are, ASCII folded
      folded.clear();
      for (char b : text) folded.push_back(asciiLower(b));
      return folded;
    }
    if (c < 0x80 || locale == nullptr) {
      if (c < 0x80) c = static_cast<char32_t>(asciiLower(static_cast<char>(c)));
    } else {
      c = static_cast<char32_t>(towlower_l(static_cast<wint_t>(c), locale));
    }
    appendUtf8(folded, c);
    i += length;
  }
  return folded;
}

std::vector<Index> searchEntries(const PlaylistModel& list, std::string_view text) {
  std::vector<Index> numbers;
  const std::string wanted = foldedForSearch(text);
  const auto& names = list.displayNames();
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (wanted.empty() || foldedForSearch(names[i]).find(wanted) != std::string::npos) {
      numbers.push_back(static_cast<Index>(i + 1));
    }
  }
  return numbers;
}

std::string searchCountText(std::size_t matches) {
  return "[ " + std::to_string(matches) + " items are found ]";
}

void gotoEntry(Core& core, Index number) {
  const Index k = number - 1;
  if (k < 0 || k >= core.list.count()) return;
  core.mp1.open(core.list.path(k));
  core.list.markEntry(k);
}

}  // namespace sonavex
