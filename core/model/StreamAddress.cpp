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

}  // namespace sonavex
