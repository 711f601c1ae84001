#pragma once
// lastplaylist.txt: written on every exit path, restored when the playlist window loads.
#include <cstdint>
#include <string>

#include "core/Core.h"
#include "core/ListWork.h"

namespace sonavex {

inline constexpr const char* kLastPlaylistName = "lastplaylist.txt";

// Where lastplaylist.txt lives: beside the executable when that folder is writable, otherwise in
// the per-user application data folder (created when needed); "" when neither is known.
std::string lastPlaylistPath(const std::string& executableDir, const std::string& userDataDir);
// The executable's folder and the per-user data folder of this process ($XDG_DATA_HOME/sonavex or
// ~/.local/share/sonavex).
std::string executableDir();
std::string userDataDir();
// The per-user settings folder ($XDG_CONFIG_HOME/sonavex or ~/.config/sonavex); "" when unknown.
std::string userConfigDir();
// mkdir -p; folders it creates are private to the user, as per-user folders usually are.
void makeFolders(const std::string& folder);

// Writes every path of the playlist to the file. False (and the reason) when it could not; the old
// file then stays whole.
bool savelastplaylist(const Core& core, const std::string& file, std::string* error = nullptr);
// What the restore at start found. A missing file is read whole (there is nothing to keep); a file
// that exists but could not be read whole must not be saved over, or the user's list is lost.
struct RestoreResult {
  bool readWhole = true;
  std::string reason;  // why not, for the user
};
// Adds the saved playlist to the sink (nothing when it cannot be read whole) and removes temporary
// files that a killed save left beside it.
RestoreResult restoreLastPlaylist(IntakeSink& sink, const std::string& file);
// The same, appended at once.
RestoreResult restoreLastPlaylist(Core& core, const std::string& file);
// The notice for a last playlist that is kept as it is.
std::string lastPlaylistKeptNotice(const std::string& file, const std::string& reason);

// This run's own restore, at start (an intake that merges before every later one): appends
// core.lastPlaylist's file and notes there whether it was read whole; a file that was not is kept
// as it is, and the user is told so. Until it is over the list is not written back: the file is
// still the whole list.
void restoreLastPlaylist(Core& core);
// Whether this run writes its list back: not a second player started on purpose, nor over a file
// the start could not read whole.
bool writesLastPlaylist(const Core& core);
// This run's own save, as the program ends (or the session asks): first waits for a background
// save under way, so this one lands last; then writes, if the run writes its list back. A failure
// is told on standard error, where no window waits on it.
void savelastplaylist(Core& core);
// The line a failed save (at exit or in the background) leaves on standard error.
std::string saveFailureText(const std::string& file, const std::string& reason);

// Edits survive a crash: about kAutosaveDelayMs after the list changed it is written again, by
// the background writer. The assembly starts a timer when the list is outdated and, when it
// fires, runs autosaveLastPlaylist.
inline constexpr int kAutosaveDelayMs = 2000;
// True when the list has changed since it was last restored or written, and this run writes it
// and has not begun to end.
bool lastPlaylistOutdated(const Core& core);
// Hands the list, serialized, to the background writer when it is outdated.
void autosaveLastPlaylist(Core& core);
// The background write of `revision` ended: a failure is told on standard error once, and the list
// stays outdated, so it is written again.
void autosaveDone(Core& core, std::uint64_t revision, bool written, const std::string& reason);
// Every exit path (the close image, Escape, the Exit item, the media controls' Quit, a termination
// signal, closing the playlist window): saves, then ends the program at once. Only the first call
// does anything, so the playlist is saved exactly once.
void mnuexit_Click(Core& core);

}  // namespace sonavex
