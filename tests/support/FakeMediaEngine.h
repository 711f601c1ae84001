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
  long balance = 0;
  EngineError error;  // what lastError() reports

  void open(const std::string& path) override;
  void play() override;
  void pause() override;
  void stop() override;
  long playState() const override { return state; }
  std::string fileName() const override { return file; }
  double position() const override { return positionValue; }
  void setPosition(double seconds) override;
  double duration() const override { return durationValue; }
  void setRate(double r) override;
  void setVolume(long v) override;
  void setBalance(long b) override;
  EngineError lastError() const override { return error; }

  // Notifications, raised when the test says so.
  void raiseNewStream();
  void raiseStreamEnded();  // end of stream followed by the stopped state
  void raiseError(EngineFault fault = EngineFault::Track, const std::string& text = "");

  std::string lastOpened() const { return opened.empty() ? std::string() : opened.back(); }
};

}  // namespace sonavex
