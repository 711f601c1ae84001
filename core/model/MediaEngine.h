#pragma once
// The one media engine (`mp1`) that decodes and plays every track.
//
// Contract shared by every implementation:
// - open(path) loads the file and starts playing it by itself; no play() follows. open("") plays
//   nothing, leaves the engine stopped and raises no notification at all.
// - stop() asked for by the program stops and raises no notification: only a stream that ends by
//   itself reports the stopped state (play state changed to kStopped), once per stream.
// - Notifications reach the listener on the program's (UI) thread, one at a time, never from inside
//   a call the program made into the engine.
// - Notifications that belong to a stream that is no longer current (after open() or stop()) are
//   dropped.
// - queueNext() says which paths follow the playing stream, in order; the engine takes the first
//   when the stream has been read to its end and plays it without a gap. The end is then reported
//   when the next stream starts at the sink, and open() of that same path carries on with the
//   stream already playing (new-stream and playing notifications follow as for any open). When
//   what follows changes after it was taken, it is withdrawn: the playing stream plays to its own
//   end, which is reported as usual, and the program opens what it chooses then.
// - A stream from an address (see StreamAddress.h) connects and fills its buffer before it plays,
//   and again whenever it runs short; buffering() says how far that is, and mp1_BufferingChanged
//   tells of each change. A live stream has no length (duration() 0) and cannot be moved in
//   (setPosition() does nothing); a connection lost while it plays is made again a few times
//   before the stream fails.
// - Before every error notification lastError() is set: what failed and a text for the user. A
//   fault of the track (missing file, no decoder) lets the playlist move on; a fault of the sound
//   output or of the engine itself would fail every track alike, so the program stops instead.
#include <string>
#include <vector>

#include "core/model/SoundShaping.h"

namespace sonavex {

// Play states as the engine reports them.
inline constexpr long kStopped = 0;
inline constexpr long kPaused = 1;
inline constexpr long kPlaying = 2;

// Limits of the volume and balance properties.
inline constexpr long kVolumeSilent = -10000;  // 0 is full volume
inline constexpr long kBalanceLeft = -10000;   // right channel silent
inline constexpr long kBalanceRight = 10000;   // left channel silent

// What an error notification was about.
enum class EngineFault {
  Track,   // this file cannot be played (missing, unreadable, no decoder, no audio in it)
  Output,  // no sound output could be opened (no sound server, no device)
  Engine,  // the engine itself cannot start (library or element missing)
};

struct EngineError {
  EngineFault fault = EngineFault::Track;
  std::string text;  // for the user, e.g. "no decoder for Windows Media audio; install ..."
  std::string path = {};  // the file it was about ("" when it was about no file)
};

// What the playing file says of itself, as far as the engine has read it.
struct TrackTags {
  std::string title;
  std::string artist;
  std::string album;
  int trackNumber = 0;  // 0: none
  std::string artUrl;   // a file: URL of the embedded cover picture, saved once; "" for none
  bool operator==(const TrackTags&) const = default;
};

class MediaEngineListener {
 public:
  virtual ~MediaEngineListener() = default;
  virtual void mp1_EndOfStream(long result) = 0;
  virtual void mp1_PlayStateChange(long oldState, long newState) = 0;
  virtual void mp1_Error() = 0;
  virtual void mp1_NewStream() = 0;
  // tags() has changed.
  virtual void mp1_TagsChanged() {}
  // buffering() has changed.
  virtual void mp1_BufferingChanged() {}
};

class MediaEngine {
 public:
  virtual ~MediaEngine() = default;

  void setListener(MediaEngineListener* listener) { listener_ = listener; }

  virtual void open(const std::string& path) = 0;  // opens and starts playing
  virtual void play() = 0;                         // resumes a paused track
  virtual void pause() = 0;                        // position kept
  virtual void stop() = 0;
  // The paths that follow the current stream, in the order they would play; none: it ends as
  // usual. Called whenever that may have changed.
  virtual void queueNext(std::vector<std::string> /*upcoming*/) {}

  virtual long playState() const = 0;  // kStopped, kPaused or kPlaying
  virtual std::string fileName() const = 0;  // the path last given to open()
  virtual double position() const = 0;       // seconds
  virtual void setPosition(double seconds) = 0;  // seeks; out-of-range values are clamped
  virtual double duration() const = 0;  // seconds; 0 while unknown

  virtual void setRate(double rate) = 0;         // 1.0 normal; 0.25..2.0 used
  virtual void setVolume(long volume) = 0;       // -10000 (silent) .. 0 (full)
  virtual void setBalance(long balance) = 0;     // -10000 (left) .. 10000 (right)
  // Heard from the sound still to be buffered on; the equalizer off costs nothing.
  virtual void setEqualizer(const EqualizerSettings& settings) = 0;
  // From the playing stream's tags on.
  virtual void setReplayGain(const ReplayGainSettings& settings) = 0;

  // The error of the last error notification.
  virtual EngineError lastError() const = 0;
  // What the playing stream's tags say so far; empty while stopped. A stream from an address
  // gives the song now playing as its title and the station's name as its album.
  virtual TrackTags tags() const { return {}; }
  // How much of what a stream from an address needs before it plays has come, 0..100: 0 while it
  // connects; 100 while it plays, and for a file.
  virtual int buffering() const { return 100; }

 protected:
  MediaEngineListener* listener() const { return listener_; }

 private:
  MediaEngineListener* listener_ = nullptr;
};

// An engine that plays nothing: for a copy of the core that works on the list alone.
class NoMediaEngine : public MediaEngine {
 public:
  void open(const std::string&) override {}
  void play() override {}
  void pause() override {}
  void stop() override {}
  long playState() const override { return kStopped; }
  std::string fileName() const override { return {}; }
  double position() const override { return 0; }
  void setPosition(double) override {}
  double duration() const override { return 0; }
  void setRate(double) override {}
  void setVolume(long) override {}
  void setBalance(long) override {}
  void setEqualizer(const EqualizerSettings&) override {}
  void setReplayGain(const ReplayGainSettings&) override {}
  EngineError lastError() const override { return {}; }
};

}  // namespace sonavex
