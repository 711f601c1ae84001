#pragma once
// The playlist file format: one full path per line, CR LF after every line (the last included), no
// header; an empty playlist is an empty file. Paths are stored as the bytes the file system gives.
// When reading, CR LF, a lone LF and a lone CR each end a line; a last line without a line break
// still counts.
#include <string>
#include <string_view>
#include <vector>

#include "app/core/Core.h"

namespace sonavex {

std::vector<std::string> parsePlaylist(std::string_view bytes);
std::string serializePlaylist(const std::vector<std::string>& paths);

// Reads a whole file. False (and a reason in *error) when it cannot be read.
bool readWholeFile(const std::string& path, std::string& bytes, std::string* error = nullptr);
// Replaces a file atomically: a temporary file in the same folder, flushed, then renamed over the
// target. A failure leaves the previous file whole. False (and a reason) on failure.
bool writeFileAtomically(const std::string& path, std::string_view bytes,
                         std::string* error = nullptr);

// Appends every line of the playlist file at path as an entry. False when it cannot be read.
bool appendPlaylistFile(PlaylistModel& list, const std::string& path);

// The load and save buttons of the playlist window, through the file dialog `cd1`.
void cmdload_Click(Core& core);
void cmdsave_Click(Core& core);

inline constexpr const char* kPlaylistFilter = "*.plt   (playlistfiles)|*.plt";

}  // namespace sonavex
