// Every format the player offers plays from start to end with the notifications the playlist needs.
#include <gst/gst.h>

#include "EngineFixture.h"

namespace sonavex::e2e {
namespace {

class EnginePlaysFormat : public EngineTest, public testing::WithParamInterface<std::string> {};

TEST_P(EnginePlaysFormat, StartsOnceReportsLengthEndsOnceAndSounds) {
  const std::string path = makeTone("tone." + GetParam());
  ASSERT_TRUE(playToEnd(path)) << "the stream never ended";
  const Recording r = capture->take();

  ASSERT_EQ(listener.count("error"), 0);
  ASSERT_EQ(listener.count("new"), 1);
  EXPECT_EQ(listener.events.front().kind, "new");
  EXPECT_EQ(listener.events.front().fileName, path);
  EXPECT_GT(maxDuration, 0.5) << "no duration while playing";

  EXPECT_EQ(listener.count("end"), 1);
  ASSERT_EQ(listener.stoppedCount(), 1);
  const EngineEvent& last = listener.events.back();
  EXPECT_EQ(last.kind, "state");
  EXPECT_EQ(last.oldState, kPlaying);
  EXPECT_EQ(listener.events[listener.events.size() - 2].kind, "end");

  EXPECT_EQ(engine.playState(), kStopped);
  EXPECT_GT(engine.duration(), 0.5);
  EXPECT_EQ(engine.position(), engine.duration()) << "the clock must see the end";
  EXPECT_EQ(engine.fileName(), path);

  // The synthesiser plays MIDI quietly (its default gain is low).
  const bool midi = GetParam() == "mid";
  const Span sound = soundSpan(r, midi ? 0.003 : 0.02);
  ASSERT_GT(sound.count, 0u) << "nothing came out of the sink";
  if (!midi) {
    EXPECT_GT(rms(r, sound, 0), 0.2);
    EXPECT_NEAR(toneFrequency(r, sound), 441, 441 * 0.03);
  }
}

INSTANTIATE_TEST_SUITE_P(Formats, EnginePlaysFormat,
                         testing::Values("mp3", "wav", "ogg", "flac", "wma", "mid"),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace sonavex::e2e
