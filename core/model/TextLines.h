#pragma once
// Lines of a text held in memory: CR LF, a lone LF and a lone CR each end one line, and a last line
// without a line break still counts. Every playlist reader splits its bytes this way.
#include <cstddef>
#include <cstring>
#include <string_view>

namespace sonavex {

// Position of the first CR or LF at or after start (size() if none). memchr is much faster than a
// byte loop on long playlists.
inline std::size_t findLineBreak(std::string_view bytes, std::size_t start = 0) {
  const char* begin = bytes.data() + start;
  const std::size_t length = bytes.size() - start;
  const void* lf = std::memchr(begin, '\n', length);
  const std::size_t lfAt = lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - begin)
                              : length;
  const void* cr = std::memchr(begin, '\r', lfAt);
  const std::size_t at = cr ? static_cast<std::size_t>(static_cast<const char*>(cr) - begin) : lfAt;
  return start + at;
}

// Calls f(line) for every line, in order.
template <class F>
void forEachLine(std::string_view bytes, F&& f) {
  std::size_t start = 0;
  const std::size_t n = bytes.size();
  while (start < n) {
    const std::size_t end = findLineBreak(bytes, start);
    f(bytes.substr(start, end - start));
    if (end == n) return;
    start = end + 1;
    if (bytes[end] == '\r' && start < n && bytes[start] == '\n') ++start;
  }
}

}  // namespace sonavex
