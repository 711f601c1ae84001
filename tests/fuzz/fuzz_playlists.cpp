// Feeds arbitrary bytes to the playlist readers (the first byte picks the format), as they are and
// repeated to a megabyte: what a reader gives must stay in proportion to what it reads, and so must
// its time (the fuzzer's timeout), however the bytes are made.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/model/PlaylistFormats.h"
#include "core/model/TextLines.h"

namespace {

constexpr std::string_view kFolder = "/folder";

void read(sonavex::PlaylistFormat format, std::string_view bytes) {
  std::size_t total = 0, entries = 0;
  const auto count = [&](std::string_view entry) {
    if (format != sonavex::PlaylistFormat::Plt && entry.size() > sonavex::kMaxEntryBytes + kFolder.size() + 1) std::abort();
    total += entry.size();
    ++entries;
  };
  if (format == sonavex::PlaylistFormat::Plt) sonavex::forEachLine(bytes, count);
  for (const std::string& path : sonavex::parseForeignPlaylist(format, bytes, kFolder).paths) count(path);
  // Latin-1 doubles at most; each relative entry gains the folder, or an xspf base of 4096 bytes at most.
  if (total > 2 * bytes.size() + entries * (kFolder.size() + 4097)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const auto format = static_cast<sonavex::PlaylistFormat>(data[0] % 5);
  const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  read(format, bytes);
  if (bytes.empty()) return 0;
  std::string big;
  big.reserve(1 << 20);
  while (big.size() < (1u << 20)) big.append(bytes);
  read(format, big);
  return 0;
}
