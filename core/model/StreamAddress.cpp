#include "core/model/StreamAddress.h"

namespace sonavex {

namespace {
bool startsWithNoCase(std::string_view text, std::string_view lowerPrefix) {
  if (text.size() < lowerPrefix.size()) return false;
  for (std::size_t i = 0; i < lowerPrefix.size(); ++i) {
    const char c = text[i] >= 'A' && text[i] <= 'Z' ? static_cast<char>(text[i] - 'A' + 'a') : text[i];
    if (c != lowerPrefix[i]) return false;
  }
  return true;
}
}  // namespace

bool isStreamAddress(std::string_view path) {
  if (path.size() > kMaxAddressBytes || path.find_first_of(std::string_view("\0\n\r", 3)) != std::string_view::npos)
    return false;
  const std::size_t scheme = startsWithNoCase(path, "http://") ? 7 : startsWithNoCase(path, "https://") ? 8 : 0;
  return scheme > 0 && path.size() > scheme && path[scheme] != '/';
}

std::string plainTitle(std::string_view text) {
  constexpr std::size_t kMostCharacters = 1000;
  std::string plain;
  std::size_t characters = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    const bool starts = (byte & 0xC0) != 0x80;
    if (starts && ++characters > kMostCharacters) break;
    plain.push_back(byte < 0x20 || byte == 0x7F ? ' ' : text[i]);
  }
  return plain;
}

}  // namespace sonavex
