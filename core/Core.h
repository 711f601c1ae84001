#pragma once
// Everything the windows share, without the windows: the playlist and its undo history, the
// shuffle order and play modes, the program-wide values, what the player window shows, the engine
// and the platform services. Each window event hands this to a core operation and then renders
// the result.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "core/ListState.h"
#include "core/model/MediaEngine.h"
#include "core/model/Platform.h"
#include "core/model/SoundShaping.h"

namespace sonavex {

// Program-wide values shared by the windows.
// (`currenttrack`, the current entry, is part of ListState.)
struct SharedValues {
  std::optional<Index> tracknumber;    // currenttrack + 1; empty until first set
  int lastkey = 0;                     // key code of the last key released over player or playlist
  std::string marqueetext;             // the title that scrolls
  int marqueepos = 0;                  // scroll position, 1-based after a tick
  std::string fileinfopath;            // the file the file info dialog shows
  // Tracks that failed one after another since a stream last started; when every entry has failed
  // the list cannot play and the skipping stops.
  Index failedInARow = 0;
  std::string lastErrorText;           // why the last track failed; "" once a stream starts
  std::uint64_t opensAsked = 0;        // the media controls' opens so far: the latest one plays
};

// What the player window `frmMain` shows, and which timers run. The windows render this.
struct PlayerFace {
  std::string lblsongname;         // scrolling title (bytes of the file name)
  std::string lblsongnameTooltip;
  std::string lblctime;            // elapsed time
  std::string lblttime;            // total time
  std::string lbltmp;              // media-error flag: "error" or ""
  std::string lbltmp1;             // the file name followed by two spaces
  double imgprogWidth = 157;       // fill width of the seek bar in pixels
  bool progVisible = true;         // picprog and imgprog shown
  bool progEnabled = true;         // picprog and imgprog accept clicks
  bool marqueeTimerOn = false;     // Timer2 of frmMain (222 ms)
  bool clockTimerOn = false;       // Timer2 of frmplaylist (1000 ms)
  unsigned long seeks = 0;         // counts the jumps within a track, so others can tell of them
};

// What the volume popup shows and remembers.
struct VolumeFace {
  int level = 0;             // last level chosen by a click on the popup, 0..10000
  double fillWidth = 294;    // pixels; the design width until the first click or menu choice
};

// Which item of the Balance and Pitch menus carries the check mark.
struct AudioChecks {
  int balance = 1;  // "Middle": the balance the playlist window sets when it loads
  int rate = 4;     // "1"
};

// The equalizer, ReplayGain and the user's presets, and the file they are kept in ("": none).
struct SoundState {
  EqualizerSettings eq;
  ReplayGainSettings replayGain;
  std::vector<EqualizerPreset> userPresets;
  std::string settingsPath;
};

// Told after every command that the core has changed, so that every window and the media controls
// show the new state; no command knows who shows it (see core/Command.h).
class CoreObserver {
 public:
  virtual ~CoreObserver() = default;
  virtual void coreChanged() = 0;
};

// lastplaylist.txt: where it is kept, and whether this run writes it when it ends.
struct LastPlaylistFile {
  std::string path;
  bool saves = true;  // off for a second player started on purpose
  // What the restore at start found: a file that exists but could not be read whole is kept as it
  // is, or the user's list would be lost.
  bool readWhole = true;
  std::string unreadReason;
  // The list's revision when it was last restored or written: a later one is not on disk yet.
  std::uint64_t savedRevision = 0;
  // The restore at start is still reading: until it is over, the file on disk is the whole list.
  bool restoring = false;
  // The last background write failed (told once, tried again until one succeeds).
  bool lastWriteFailed = false;
};

class ListWork;

struct Core : ListState {
  Core(MediaEngine& engine, RandomSource& random);
  ~Core();

  int chkloop = 1;          // loop box, on at start
  SharedValues shared;
  PlayerFace face;
  VolumeFace vol;
  AudioChecks checks;
  SoundState sound;
  MediaEngine& mp1;
  Platform platform;
  std::string decimalSeparator = ".";  // the user's decimal separator for the time labels
  LastPlaylistFile lastPlaylist;
  bool ending = false;  // an exit path has run; the program ends once
  CoreObserver* observer = nullptr;
  // Intakes and edits under way off the program's thread (core/ListWork.h).
  std::unique_ptr<ListWork> work;
};

}  // namespace sonavex
