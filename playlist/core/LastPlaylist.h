#pragma once
// lastplaylist.txt: written on every exit path, restored when the playlist window loads.
#include <string>

#include "app/core/Core.h"

namespace sonavex {

inline constexpr const char* kLastPlaylistName = "lastplaylist.txt";

// Where lastplaylist.txt lives: beside the executable when that folder is writable, otherwise in
// the per-user application data folder (created when needed); "" when neither is known.
std::string lastPlaylistPath(const std::string& executableDir, const std::string& userDataDir);
// The executable's folder and the per-user data folder of this process ($XDG_DATA_HOME/sonavex or
// ~/.local/share/sonavex).
std::string executableDir();
std::string userDataDir();

// Writes every path of the playlist to the file; every error is ignored (the old file stays whole).
void savelastplaylist(const Core& core, const std::string& file);
// Appends the saved playlist; a missing or unreadable file leaves the playlist as it is.
void restoreLastPlaylist(Core& core, const std::string& file);

}  // namespace sonavex
