#pragma once
// The playlists other programs write, read from their bytes: M3U (.m3u, .m3u8), PLS (.pls) and
// XSPF (.xspf). Each gives the paths of its entries in order, as the bytes of the file system:
// a relative entry is joined to the playlist's folder (as it is, like a relative path on the
// command line), a file: URI is decoded to the exact bytes of the name, and an address of another
// kind (http://...) names no file here and is left out.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sonavex {

enum class PlaylistFormat { Plt, M3u, M3u8, Pls, Xspf };

// The format a file name's extension gives, whatever its letter case; nothing for other names.
std::optional<PlaylistFormat> playlistFormatOf(std::string_view name);

// No file's name is longer than this; a longer entry is no path, and is left out.
inline constexpr std::size_t kMaxEntryBytes = 32768;

// What a playlist held that cannot become an entry, counted for one message.
struct LeftOutEntries {
  std::size_t withNul = 0;    // a name holding a NUL byte (or %00) cannot name a file
  std::size_t addresses = 0;  // addresses of another kind than a local file: URI
  std::size_t tooLong = 0;    // longer than kMaxEntryBytes
  std::string firstAddress;
  std::size_t count() const { return withNul + addresses + tooLong; }
};

struct ForeignEntries {
  std::vector<std::string> paths;
  LeftOutEntries leftOut;
};

// The entries of an M3U, PLS or XSPF playlist (format Plt gives none); `folder` is the playlist
// file's folder. Linear in the bytes, whatever they hold.
//  - .m3u8 is UTF-8. .m3u and .pls are Latin-1, converted to UTF-8, unless the whole file is valid
//    UTF-8: then it is taken as UTF-8, as many programs write it.
//  - M3U: every line but blank ones and those beginning with '#' (#EXTM3U, #EXTINF...) is an entry.
//  - PLS: the FileN= keys of the [playlist] section, in the order of N; other keys are ignored.
//  - XSPF: the first <location> of each <track>, a URI; XML entities and character references
//    are decoded.
ForeignEntries parseForeignPlaylist(PlaylistFormat format, std::string_view bytes,
                                    std::string_view folder);

// An M3U8 playlist: "#EXTM3U", then one path per line, LF after each. A path that cannot be one
// entry line of it (empty, holding a line break or beginning with '#') is left out and counted.
std::string serializeM3u8(const std::vector<std::string>& paths, std::size_t* leftOut = nullptr);

}  // namespace sonavex
