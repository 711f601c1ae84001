#pragma once
// lastplaylist.txt: written on every exit path, restored when the playlist window loads.
#include <string>

#include "core/Core.h"

namespace sonavex {

inline constexpr const char* kLastPlaylistName = "lastplaylist.txt";

// Where lastplaylist.txt lives: beside the executable when that folder is writable, otherwise in
// the per-user application data folder (created when needed); "" when neither is known.
std::string lastPlaylistPath(const std::string& executableDir, const std::string& userDataDir);
// The executable's folder and the per-user data folder of this process ($XDG_DATA_HOME/sonavex or
// ~/.local/share/sonavex).
std::string executableDir();
std::string userDataDir();

// Writes every path of the playlist to the file. False (and the reason) when it could not; the old
// file then stays whole.
bool savelastplaylist(const Core& core, const std::string& file, std::string* error = nullptr);
// What the restore at start found. A missing file is read whole (there is nothing to keep); a file
// that exists but could not be read whole must not be saved over, or the user's list is lost.
struct RestoreResult {
  bool readWhole = true;
  std::string reason;  // why not, for the user
};
// Appends the saved playlist (nothing when it cannot be read whole) and removes temporary files
// that a killed save left beside it.
RestoreResult restoreLastPlaylist(Core& core, const std::string& file);
// The notice for a last playlist that is kept as it is.
std::string lastPlaylistKeptNotice(const std::string& file, const std::string& reason);

}  // namespace sonavex
