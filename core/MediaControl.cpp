#include "core/MediaControl.h"

#include "core/StreamTitle.h"
#include "core/model/StreamAddress.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/AudioMenus.h"
#include "core/Transport.h"
#include "core/VolumePopup.h"
#include "core/Shuffle.h"

namespace sonavex {

namespace {
constexpr double kMicroseconds = 1e6;
constexpr const char* kTrackPrefix = "/org/sonavex/Track/";
constexpr const char* kNoTrack = "/org/mpris/MediaPlayer2/TrackList/NoTrack";
constexpr double kVolumeScaleWidth = kVolumeClientWidth;

bool trackOpen(const Core& core) { return core.mp1.playState() != kStopped; }
}  // namespace

MediaControlState mediaControlState(const Core& core) {
  MediaControlState s;
  const long state = core.mp1.playState();
  s.playbackStatus = state == kPlaying ? "Playing" : state == kPaused ? "Paused" : "Stopped";
  s.loopStatus = core.chkloop == 1 ? "Playlist" : "None";
  s.shuffle = core.chkshuffle == 1;
  if (core.checks.rate >= 0 && core.checks.rate < static_cast<int>(kRateItems.size())) {
    s.rate = kRateItems[static_cast<std::size_t>(core.checks.rate)].value;
  }
  const double fill = std::isfinite(core.vol.fillWidth) ? core.vol.fillWidth : 0.0;
  // Adding +0 reads a fill of -0 (a request for -0) back as 0, not as "-0".
  s.volume = std::clamp(fill / volumeBarLength(kVolumeScaleWidth), 0.0, 1.0) + 0.0;
  const bool hasEntries = !core.list.empty();
  if (trackOpen(core)) {
    s.track = core.currenttrack;
    s.path = core.mp1.fileName();
    s.tags = core.mp1.tags();
    if (isStreamAddress(s.path)) s.tags.title = streamName(core);
    const double duration = core.mp1.duration();
    if (std::isfinite(duration) && duration > 0) {
      s.lengthMicroseconds = static_cast<std::int64_t>(std::llround(duration * kMicroseconds));
    }
  }
  s.canGoNext = hasEntries;
  s.canGoPrevious = hasEntries;
  s.canPlay = hasEntries || trackOpen(core);
  s.canPause = state == kPlaying || state == kPaused;
  s.canSeek = state == kPlaying && s.lengthMicroseconds > 0;
  return s;
}

void mediaPlay(Core& core) {
  switch (core.mp1.playState()) {
    case kPlaying:
      break;
    case kPaused:
      cmdpause_Click(core);
      break;
    default:
      cmdplay_Click(core);
  }
}

void mediaPause(Core& core) {
  if (core.mp1.playState() == kPlaying) cmdpause_Click(core);
}

void mediaPlayPause(Core& core) {
  if (trackOpen(core)) {
    cmdpause_Click(core);
  } else {
    cmdplay_Click(core);
  }
}

SeekOutcome mediaSeek(Core& core, double offsetSeconds) {
  if (core.mp1.playState() != kPlaying || !std::isfinite(offsetSeconds)) return SeekOutcome::Ignored;
  const double duration = core.mp1.duration();
  if (!(duration > 0)) return SeekOutcome::Ignored;
  const double target = std::max(0.0, core.mp1.position() + offsetSeconds);
  if (target >= duration) return SeekOutcome::PastTheEnd;
  core.mp1.setPosition(target);
  ++core.face.seeks;
  return SeekOutcome::Done;
}

bool mediaSetPosition(Core& core, Index track, double seconds) {
  if (core.mp1.playState() != kPlaying || track != core.currenttrack) return false;
  const double duration = core.mp1.duration();
  if (!std::isfinite(seconds) || seconds < 0 || !(seconds <= duration)) return false;
  core.mp1.setPosition(seconds);
  ++core.face.seeks;
  return true;
}

void mediaSetLoop(Core& core, bool on) { core.chkloop = on ? 1 : 0; }

void mediaSetShuffle(Core& core, bool on) {
  if ((core.chkshuffle == 1) == on) return;
  core.chkshuffle = on ? 1 : 0;
  chkshuffle_Click(core);
}

void mediaSetRate(Core& core, double rate) {
  if (!std::isfinite(rate)) return;
  rate = std::clamp(rate, kMinimumRate, kMaximumRate);
  std::size_t nearest = 0;
  for (std::size_t i = 1; i < kRateItems.size(); ++i) {
    if (std::abs(kRateItems[i].value - rate) < std::abs(kRateItems[nearest].value - rate)) nearest = i;
  }
  rateItem_Click(core, static_cast<int>(nearest));
}

void mediaSetVolume(Core& core, double volume) {
  if (!std::isfinite(volume)) return;
  const double length = volumeBarLength(kVolumeScaleWidth);
  frmvol_MouseUp(core, kVolumeScaleWidth, std::clamp(volume, 0.0, 1.0) * length);
}

std::string mediaTrackId(Index track) {
  return track >= 0 ? kTrackPrefix + std::to_string(track) : kNoTrack;
}

Index mediaTrackOf(const std::string& trackId) {
  const std::string prefix = kTrackPrefix;
  if (trackId.rfind(prefix, 0) != 0 || trackId.size() == prefix.size()) return kNone;
  const std::string digits = trackId.substr(prefix.size());
  if (digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string::npos) return kNone;
  return static_cast<Index>(std::stol(digits));
}

}  // namespace sonavex
