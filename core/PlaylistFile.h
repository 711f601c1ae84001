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
#include "core/model/ErrorReport.h"

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

// Appends every line of the playlist file at path as an entry, in one batch of changes. False (and
// a reason) when it cannot be read or exceeds the bounds above; then nothing is appended. Lines
// holding a NUL byte name no file safely: they are left out and counted in *refused.
bool appendPlaylistFile(PlaylistModel& list, const std::string& path,
                        std::string* error = nullptr, std::size_t* refused = nullptr);

// Loads the playlist file `name` as the load button does: its lines are appended as entries, and
// the user is told when it cannot be read or lines were left out. A name that does not exist (or
// whose folder does not) is passed over without a word. The shuffle order is not rebuilt here.
// Given `errors` (an intake's), what would be told is added there instead of shown.
void loadPlaylistFile(Core& core, const std::string& name, ErrorReport* errors = nullptr);

// The load and save buttons of the playlist window, through the file dialog `cd1`.
void cmdload_Click(Core& core);
void cmdsave_Click(Core& core);

inline constexpr std::string_view kTemporaryPrefix = ".sonavex-";
// Removes temporary files of writeFileAtomically that a killed save left in folder: only names of
// exactly that shape, only regular files of this user, only ones older than a minute (a save
// still running elsewhere stays untouched).
void removeStaleTemporaries(const std::string& folder);

inline constexpr const char* kPlaylistFilter = "*.plt   (playlistfiles)|*.plt";

}  // namespace sonavex
