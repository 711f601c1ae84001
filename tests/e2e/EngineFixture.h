#pragma once
// A real engine playing into the test sink, with a recorder on the sink's monitor.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "EngineEvents.h"
#include "SinkCapture.h"
#include "TestAudio.h"
#include "engine/gst/GstMediaEngine.h"

namespace sonavex::e2e {

class EngineTest : public testing::Test {
 protected:
  void SetUp() override {
    SONAVEX_REQUIRE_SOUND_SERVER();
    capture = std::make_unique<SinkCapture>(testSink());
    ASSERT_TRUE(capture->ok()) << "cannot record " << testSink() << ".monitor";
  }

  // Writes the tone in the format the name's extension asks for and returns its path.
  std::string makeTone(const std::string& name, const Tone& tone = {}) {
    const std::string wav = dir.path(name + ".source.wav");
    EXPECT_TRUE(writeToneWav(wav, tone));
    const std::string target = dir.path(name);
    if (name.ends_with(".wav")) {
      EXPECT_TRUE(writeToneWav(target, tone));
    } else if (name.ends_with(".mid")) {
      EXPECT_TRUE(writeMidi(target));
    } else {
      const std::string problem = encode(wav, target);
      EXPECT_EQ(problem, "") << "cannot make test audio";
    }
    return target;
  }

  // Opens path and runs the event loop until the stream ends or fails, watching the duration the
  // engine reports on the way; then lets the sink play out what it still holds.
  bool playToEnd(const std::string& path) {
    const std::size_t before = listener.events.size();
    maxDuration = 0;
    engine.open(path);
    const bool finished = runUntil([&] {
      maxDuration = std::max(maxDuration, engine.duration());
      for (std::size_t i = before; i < listener.events.size(); ++i) {
        const auto& e = listener.events[i];
        if (e.kind == "error" || (e.kind == "state" && e.newState == kStopped)) return true;
      }
      return false;
    });
    runFor(600);
    return finished;
  }

  TempDir dir;
  GstMediaEngine engine;
  RecordingListener listener{engine};
  std::unique_ptr<SinkCapture> capture;
  double maxDuration = 0;
};

}  // namespace sonavex::e2e
