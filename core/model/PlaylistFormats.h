#pragma once
// The playlists other programs write, read from their bytes: M3U (.m3u, .m3u8), PLS (.pls) and
// XSPF (.xspf). Each gives the paths of its entries in order, as the bytes of the file system:
// a relative entry is joined to the playlist's folder (as it is, like a relative path on the
// command line), a file: URI is decoded to the exact bytes of the name, an http(s) address is an
// entry kept as written, and an address of another kind (rtsp://...) is left out.
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
  std::size_t local = 0;      // a local file named by a playlist fetched from an address
  std::string firstAddress;
  std::size_t count() const { return withNul + addresses + tooLong + local; }
};

struct ForeignEntries {
  std::vector<std::string> paths;
  // Index-parallel to paths: the station name the list gives an address ("" for none, and for
  // every local file, which shows its file name).
  std::vector<std::string> names;
  LeftOutEntries leftOut;
};

// The most characters of a name a list or a stream gives an entry; the rest is cut.
inline constexpr std::size_t kMaxShownNameCharacters = 1000;
// A name from a list or a stream as plain text: control characters become spaces, the ends are
// trimmed, and it is cut after kMaxShownNameCharacters (whole UTF-8 sequences).
std::string plainShownName(std::string_view text);

// An http(s) address whose path ends in .m3u, .m3u8, .pls or .xspf: a playlist to fetch.
bool isRemotePlaylistAddress(std::string_view address);
// `ref` resolved against `base` as a URI reference is (without removing dot segments): a reference
// with a scheme stays, "//host..." takes the base's scheme, "/..." its scheme and host, anything
// else replaces the last segment of its path. A base without a scheme is a path.
std::string resolvedReference(std::string_view base, std::string_view ref);

// The entries of an M3U, PLS or XSPF playlist (format Plt gives none); `folder` is the playlist
// file's folder, or for a playlist fetched from an address that address: then only http(s)
// addresses are entries (relative references resolved against it) and whatever names a local file
// is left out. Linear in the bytes, whatever they hold.
//  - .m3u8 is UTF-8. .m3u and .pls are Latin-1, converted to UTF-8, unless the whole file is valid
//    UTF-8: then it is taken as UTF-8, as many programs write it.
//  - M3U: every line but blank ones and those beginning with '#' (#EXTM3U, #EXTINF...) is an entry;
//    "#EXTINF:<length>,<name>" names the entry after it.
//  - PLS: the FileN= keys of the [playlist] section, in the order of N, named by TitleN=.
//  - XSPF: the first <location> of each <track>, a URI, named by its <title>; a relative one is
//    resolved against the nearest xml:base of the track, the track list or the playlist. XML
//    entities and character references are decoded.
ForeignEntries parseForeignPlaylist(PlaylistFormat format, std::string_view bytes,
                                    std::string_view folder);

// An M3U8 playlist: "#EXTM3U", then one path per line, LF after each. A path that cannot be one
// entry line of it (empty, holding a line break or beginning with '#') is left out and counted.
// An address whose shown name (index-parallel in `names`, when given) is not the address itself
// gets "#EXTINF:-1,<name>" before it.
std::string serializeM3u8(const std::vector<std::string>& paths, std::size_t* leftOut = nullptr,
                          const std::vector<std::string>* names = nullptr);

}  // namespace sonavex
