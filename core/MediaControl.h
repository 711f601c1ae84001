#pragma once
// What the desktop's media controls (panel applets, media keys, playerctl) see of the player, and
// what they may ask of it. Every request runs the command the player's own button or menu item
// runs; nothing here plays, pauses or changes the list by another way.
#include <cstdint>
#include <string>

#include "core/Core.h"

namespace sonavex {

inline constexpr double kMinimumRate = 0.25;
inline constexpr double kMaximumRate = 2.0;

struct MediaControlState {
  std::string playbackStatus;  // "Playing", "Paused" or "Stopped"
  std::string loopStatus;      // "Playlist" (the loop box ticked) or "None"
  bool shuffle = false;
  double rate = 1.0;           // the Pitch item that carries the check mark
  double volume = 1.0;         // 0..1, as the volume popup's fill shows it
  Index track = kNone;         // the entry open in the engine; kNone while stopped
  std::string path;            // its path (bytes)
  std::int64_t lengthMicroseconds = 0;
  TrackTags tags;              // what the engine has read of the open track's tags
  bool canGoNext = false;
  bool canGoPrevious = false;
  bool canPlay = false;
  bool canPause = false;
  bool canSeek = false;
  bool operator==(const MediaControlState&) const = default;
};

MediaControlState mediaControlState(const Core& core);

// "Play": resumes a paused track, starts the focused (or first) entry when stopped.
void mediaPlay(Core& core);
// "Pause": pauses a playing track; nothing otherwise.
void mediaPause(Core& core);
// "PlayPause": pause or resume; play when stopped.
void mediaPlayPause(Core& core);

// A jump by `offsetSeconds` within the open track. Past its end the track is over: the caller then
// runs the next button's command.
enum class SeekOutcome { Done, PastTheEnd, Ignored };
SeekOutcome mediaSeek(Core& core, double offsetSeconds);
// A jump to `seconds` of `track`; ignored unless that track is the open one and the place lies
// within it.
bool mediaSetPosition(Core& core, Index track, double seconds);

void mediaSetLoop(Core& core, bool on);     // the loop box
void mediaSetShuffle(Core& core, bool on);  // the shuffle box, with its new shuffle order
// The Pitch item nearest `rate` (clamped to 0.25..2.0), under that item's own rule.
void mediaSetRate(Core& core, double rate);
// A click on the volume popup's arc at `volume` (0..1) of its length.
void mediaSetVolume(Core& core, double volume);

// The object path that names entry `track` to the media controls, and back.
std::string mediaTrackId(Index track);
Index mediaTrackOf(const std::string& trackId);

}  // namespace sonavex
