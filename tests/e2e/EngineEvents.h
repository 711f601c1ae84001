#pragma once
// Records the engine's notifications and runs the program's event loop while a test waits.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <functional>
#include <string>
#include <vector>

#include "engine/core/MediaEngine.h"

namespace sonavex::e2e {

// Generous: an idle sink can hold a new stream back for a second or two.
inline constexpr int kDeadlineMs = 15000;

struct EngineEvent {
  std::string kind;      // "new", "end", "state", "error"
  long oldState = 0;
  long newState = 0;
  std::string fileName;  // what the engine reported as its file at that moment
  double duration = 0;   // what the engine reported as the duration at that moment
};

class RecordingListener : public MediaEngineListener {
 public:
  explicit RecordingListener(MediaEngine& engine) : engine_(engine) { engine.setListener(this); }
  ~RecordingListener() override { engine_.setListener(nullptr); }

  std::vector<EngineEvent> events;
  std::function<void(const EngineEvent&)> onEvent;  // lets a test act as the program would

  void mp1_EndOfStream(long) override { record("end"); }
  void mp1_PlayStateChange(long oldState, long newState) override {
    record("state", oldState, newState);
  }
  void mp1_Error() override { record("error"); }
  void mp1_NewStream() override { record("new"); }

  int count(const std::string& kind) const {
    int n = 0;
    for (const auto& e : events) n += e.kind == kind ? 1 : 0;
    return n;
  }
  int stoppedCount() const {
    int n = 0;
    for (const auto& e : events) n += (e.kind == "state" && e.newState == kStopped) ? 1 : 0;
    return n;
  }

 private:
  void record(const std::string& kind, long oldState = 0, long newState = 0) {
    EngineEvent e;
    e.kind = kind;
    e.oldState = oldState;
    e.newState = newState;
    e.fileName = engine_.fileName();
    e.duration = engine_.duration();
    events.push_back(e);
    if (onEvent) onEvent(events.back());
  }
  MediaEngine& engine_;
};

// Runs the Qt event loop (which dispatches the default GLib context) until done() holds or the
// deadline passes. Returns done().
inline bool runUntil(const std::function<bool()>& done, int deadlineMs = kDeadlineMs) {
  QElapsedTimer clock;
  clock.start();
  while (!done() && clock.elapsed() < deadlineMs) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(5);
  }
  return done();
}

// Runs the event loop for a while, for checks that something does not happen.
inline void runFor(int ms) {
  runUntil([] { return false; }, ms);
}

// The sink this test process plays into, or empty when no test sound server runs.
std::string testSink();

}  // namespace sonavex::e2e

// Skips a test that needs the test sound server when it is not there.
#define SONAVEX_REQUIRE_SOUND_SERVER()                                                    \
  do {                                                                                   \
    if (::sonavex::e2e::testSink().empty())                                              \
      GTEST_SKIP() << "no test sound server: run under scripts/with-pulse.sh";            \
  } while (0)
