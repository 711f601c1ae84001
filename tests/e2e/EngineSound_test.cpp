// What comes out of the sink follows the volume, balance and rate the program sets.
#include <cmath>

#include "EngineFixture.h"

namespace sonavex::e2e {
namespace {

class EngineSound : public EngineTest {
 protected:
  // Plays a fresh tone to its end and returns the recording of it.
  Recording playTone(const std::string& name, const Tone& tone = {}) {
    EXPECT_TRUE(playToEnd(makeTone(name, tone))) << "the stream never ended";
    EXPECT_EQ(listener.count("error"), 0);
    return capture->take();
  }
};

TEST_F(EngineSound, VolumeFollowsACubicCurveDownToSilence) {
  const Recording full = playTone("a.wav");
  engine.setVolume(-2000);
  const Recording lower = playTone("b.wav");
  engine.setVolume(kVolumeSilent);
  const Recording silent = playTone("c.wav");
  const double fullLevel = rms(full, soundSpan(full), 0);
  ASSERT_GT(fullLevel, 0.2);
  // 80 % of the cubic range is 0.8^3 of the gain: neither linear (0.8) nor a decibel scale.
  EXPECT_NEAR(rms(lower, soundSpan(lower), 0) / fullLevel, 0.512, 0.06);
  EXPECT_EQ(listener.count("new"), 3) << "a stream did not play";
  EXPECT_LT(peak(silent), 0.001);
}

TEST_F(EngineSound, BalanceLowersOnlyTheOtherChannel) {
  const double level = 0.5 / std::sqrt(2.0);  // of the tone
  constexpr double loud = -1;                 // only loud: a mono tone's share is the mixer's choice
  const struct {
    long balance;
    int channels;
    double left, right;
  } rows[] = {
      {kBalanceLeft, 2, level, 0},
      {kBalanceRight, 1, 0, loud},  // mono too
      {5000, 2, level / 2, level},  // the right channel must not take in the left
      {0, 2, level, level},         // back to the centre
  };
  const auto expectLevel = [loud](double measured, double expected) {
    if (expected == loud) {
      EXPECT_GT(measured, 0.1);
    } else {
      EXPECT_NEAR(measured, expected, expected == 0 ? 0.002 : 0.02);
    }
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.balance);
    engine.setBalance(row.balance);
    const Recording r = playTone("b" + std::to_string(row.balance) + ".wav", Tone{.channels = row.channels});
    const Span sound = soundSpan(r);
    expectLevel(rms(r, sound, 0), row.left);
    expectLevel(rms(r, sound, 1), row.right);
  }
}

TEST_F(EngineSound, RateScalesThePitchAndIsKeptForTheNextFile) {
  engine.setRate(0.5);
  const Recording half = playTone("a.wav", Tone{.seconds = 1.0});
  EXPECT_NEAR(toneFrequency(half, soundSpan(half)), 220.5, 220.5 * 0.03);
  engine.setRate(2.0);
  for (const char* name : {"b.wav", "c.ogg"}) {
    const Recording r = playTone(name);
    EXPECT_NEAR(toneFrequency(r, soundSpan(r)), 882, 882 * 0.03) << name;
  }
}

TEST_F(EngineSound, RateChangedWhilePlayingTakesEffectAtOnce) {
  const std::string path = makeTone("a.wav", Tone{.seconds = 3.0});
  engine.open(path);
  ASSERT_TRUE(runUntil([&] { return engine.position() >= 0.5; })) << "playback never advanced";
  engine.setRate(2.0);
  ASSERT_TRUE(runUntil([&] { return listener.stoppedCount() == 1; })) << "the stream never ended";
  runFor(600);
  const Recording r = capture->take();
  const Span sound = soundSpan(r);
  // The last third of what played is well after the change.
  const Span tail{sound.first + sound.count * 2 / 3, sound.count / 3};
  EXPECT_NEAR(toneFrequency(r, tail), 882, 882 * 0.03);
  EXPECT_EQ(listener.count("end"), 1);
}

}  // namespace
}  // namespace sonavex::e2e
