#pragma once
// A scriptable engine for tests: it records what the program asked for, and a test decides what the
// engine reports (position, duration, state) and when a notification arrives.
#include <string>
#include <vector>

#include "core/model/MediaEngine.h"

namespace sonavex {

class FakeMediaEngine : public MediaEngine {
 public:
  // What the program did, in order ("open:<path>", "play", "pause", "stop", "position:<s>", ...).
  std::vector<std::string> calls;
  std::vector<std::string> opened;  // every path given to open(), in order

  double positionValue = 0;
  double durationValue = 0;
  long state = kStopped;
  std::string file;
  double rate = 1.0;
  long volume = 0;
  EqualizerSettings equalizer;
  ReplayGainSettings replayGain;
  long balance = 0;
  EngineError error;  // what lastError() reports
  TrackTags tagsValue;
  int bufferingValue = 100;

  void open(const std::string& path) override {
    calls.push_back("open:" + path);
    opened.push_back(path);
    file = path;
    positionValue = durationValue = 0;
    state = path.empty() ? kStopped : kPlaying;
  }
  void play() override {
    calls.push_back("play");
    if (state == kPaused) state = kPlaying;
  }
  void pause() override {
    calls.push_back("pause");
    if (state == kPlaying) state = kPaused;
  }
  void stop() override {
    calls.push_back("stop");
    state = kStopped;
  }
  long playState() const override { return state; }
  std::string fileName() const override { return file; }
  double position() const override { return positionValue; }
  void setPosition(double seconds) override { record("position:", positionValue = seconds); }
  double duration() const override { return durationValue; }
  void setRate(double r) override { record("rate:", rate = r); }
  void setVolume(long v) override { record("volume:", volume = v); }
  void setBalance(long b) override { record("balance:", balance = b); }
  void setEqualizer(const EqualizerSettings& s) override { equalizer = s; }
  void setReplayGain(const ReplayGainSettings& s) override { replayGain = s; }
  EngineError lastError() const override { return error; }
  TrackTags tags() const override { return tagsValue; }
  int buffering() const override { return bufferingValue; }

  // Notifications, raised when the test says so.
  void raiseNewStream() {
    if (listener()) listener()->mp1_NewStream();
  }
  void raiseStreamEnded() {  // end of stream followed by the stopped state
    const long old = state;
    state = kStopped;
    positionValue = durationValue;
    if (!listener()) return;
    listener()->mp1_EndOfStream(0);
    listener()->mp1_PlayStateChange(old, kStopped);
  }
  void raiseError(EngineFault fault = EngineFault::Track, const std::string& text = "") {
    error = {fault, text};
    if (listener()) listener()->mp1_Error();
  }

  std::string lastOpened() const { return opened.empty() ? std::string() : opened.back(); }

 private:
  template <typename Value>
  void record(const char* what, Value value) {
    calls.push_back(what + std::to_string(value));
  }
};

}  // namespace sonavex
