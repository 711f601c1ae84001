#pragma once
// The playlist file format: one full path per line, CR LF after every line (the last included), no
// header; an empty playlist is an empty file. Paths are stored as the bytes the file system gives.
// When reading, CR LF, a lone LF and a lone CR each end a line; a last line without a line break
// still counts.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/Core.h"
#include "core/ListWork.h"
#include "core/model/PlaylistFormats.h"

namespace sonavex {

std::vector<std::string> parsePlaylist(std::string_view bytes);
// A path holding CR or LF cannot be one line of the format: writing it would come back as two
// entries naming nothing, so it is left out (and counted in *leftOut).
std::string serializePlaylist(const std::vector<std::string>& paths,
                              std::size_t* leftOut = nullptr);

// Bounds that keep a wrong or hostile file from exhausting memory; far above any real playlist.
inline constexpr std::uint64_t kMaxPlaylistFileBytes = 1ULL << 30;
inline constexpr std::size_t kMaxPlaylistLines = 10'000'000;

// Reads a whole regular file. False (and a reason in *error) when it cannot be read, is not a
// regular file or is larger than kMaxPlaylistFileBytes.
bool readWholeFile(const std::string& path, std::string& bytes, std::string* error = nullptr);
// Replaces a file atomically: a temporary file in the same folder (named kTemporaryPrefix and six
// characters), flushed, then renamed over the target. A failure leaves the previous file whole.
// False (and a reason) on failure.
bool writeFileAtomically(const std::string& path, std::string_view bytes,
                         std::string* error = nullptr);

// Adds the entries of the playlist file at path to the sink: those of an M3U, PLS or XSPF playlist
// when its name ends so (see PlaylistFormats.h), otherwise every line, as the format above has
// them. False (and a reason) when it cannot be read or exceeds the bounds above; then nothing is
// added. What cannot be an entry (a name holding a NUL byte, which names no file safely; an address
// of another kind) is left out and counted in *leftOut.
bool addPlaylistFile(IntakeSink& sink, const std::string& path, std::string* error = nullptr,
                     LeftOutEntries* leftOut = nullptr);
// The same, appended at once to `list` in one batch of changes.
bool appendPlaylistFile(PlaylistModel& list, const std::string& path,
                        std::string* error = nullptr, LeftOutEntries* leftOut = nullptr);

// The load button's reading of the playlist file `name`: its entries go to the sink, and what the
// user is to hear (it cannot be read, lines were left out) goes there as an error. A name that does
// not exist (or whose folder does not) is passed over without a word.
void addPlaylistFileEntries(IntakeSink& sink, const std::string& name);
// A playlist at an http(s) address (isRemotePlaylistAddress): fetched through `remote` within
// kMaxRemotePlaylistBytes and kRemotePlaylistTimeoutMs, and its addresses go to the sink (an HLS
// playlist is a stream: the address itself goes there); a failure or what was left out goes there
// as one error naming the address.
inline constexpr std::size_t kMaxRemotePlaylistBytes = 1 << 20;
inline constexpr int kRemotePlaylistTimeoutMs = 10'000;
void addRemotePlaylistEntries(IntakeSink& sink, RemoteFiles* remote, const std::string& address);
// Loads it as the load button does, as an intake whose errors are told in a box once it is over.
void loadPlaylistFile(Core& core, const std::string& name);

// The load and save buttons of the playlist window, through the file dialog `cd1`. Save writes an
// M3U8 playlist when the chosen name ends in ".m3u8" (any letter case), the format above otherwise.
void cmdload_Click(Core& core);
void cmdsave_Click(Core& core);

inline constexpr std::string_view kTemporaryPrefix = ".sonavex-";
// Removes temporary files of writeFileAtomically that a killed save left in folder: only names of
// exactly that shape, only regular files of this user, only ones older than a minute (a save
// still running elsewhere stays untouched).
void removeStaleTemporaries(const std::string& folder);

// The program's own playlist files first ("*.plt   (playlistfiles)|*.plt"); then load offers the
// playlists of other programs, and save the one other format it writes.
inline constexpr const char* kLoadPlaylistFilter =
    "*.plt   (playlistfiles)|*.plt|*.m3u *.m3u8   (m3u playlists)|*.m3u;*.m3u8|"
    "*.pls   (pls playlists)|*.pls|*.xspf   (xspf playlists)|*.xspf";
inline constexpr const char* kSavePlaylistFilter =
    "*.plt   (playlistfiles)|*.plt|*.m3u8   (m3u8 playlists)|*.m3u8";

}  // namespace sonavex
