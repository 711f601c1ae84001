#pragma once
// Files, folders and links dropped on the player window, the playlist window or its list (and paths
// given on the command line) join the playlist: files and http(s) addresses as entries, folders
// scanned for audio files, playlists at an address fetched for their entries. What
// failed on the way is told once, as a notice after the intake, so that neither the program the
// files came from nor a media control's call waits for a person; see ErrorReport.
#include <string>
#include <vector>

#include "core/Core.h"

namespace sonavex {

void filedragging(Core& core, std::vector<std::string> paths);

// A drop's "text/uri-list" as it came: read into paths on the list job's worker, not here, since
// a drop can name a million files.
void dropUriList(Core& core, std::string uriList);

// Paths given on the command line (as a file manager opens files with the player) join the playlist
// as a drop of them would, except a playlist file: an existing regular file whose name ends in
// ".plt", ".m3u", ".m3u8", ".pls" or ".xspf" (any letter case) is loaded as the load button loads
// one, its entries taking its place among the paths. A dropped playlist file stays one entry, as it always was.
void openCommandLinePaths(Core& core, const std::vector<std::string>& paths);

// A file or folder joins the playlist as a drop does, and its first new entry plays (the media
// controls' "open").
void openAndPlay(Core& core, const std::string& path);

// True when the command line loads `name` as a playlist file (see above).
bool isPlaylistFileName(const std::string& name);

}  // namespace sonavex
