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

TEST_F(EngineSound, SilentVolumeSetBeforeOpeningGivesSilence) {
  engine.setVolume(kVolumeSilent);
  const Recording r = playTone("a.wav");
  EXPECT_EQ(listener.count("new"), 1) << "the stream did not play";
  EXPECT_LT(peak(r), 0.001);
}

TEST_F(EngineSound, LowerVolumeGivesLowerLevelOnACubicCurve) {
  const Recording full = playTone("a.wav");
  engine.setVolume(-2000);
  const Recording lower = playTone("b.wav");
  const double fullLevel = rms(full, soundSpan(full), 0);
  const double lowerLevel = rms(lower, soundSpan(lower), 0);
  ASSERT_GT(fullLevel, 0.2);
  // 80 % of the cubic range is 0.8^3 of the gain: neither linear (0.8) nor a decibel scale.
  EXPECT_NEAR(lowerLevel / fullLevel, 0.512, 0.06);
}

TEST_F(EngineSound, BalanceFullyLeftSilencesTheRightChannel) {
  engine.setBalance(kBalanceLeft);
  const Recording r = playTone("a.wav");
  const Span sound = soundSpan(r);
  ASSERT_GT(rms(r, sound, 0), 0.2);
  EXPECT_LT(rms(r, sound, 1), 0.002);
}

TEST_F(EngineSound, BalanceFullyRightSilencesTheLeftChannelEvenForMono) {
  engine.setBalance(kBalanceRight);
  const Recording r = playTone("a.wav", Tone{.channels = 1});
  const Span sound = soundSpan(r);
  ASSERT_GT(rms(r, sound, 1), 0.1);
  EXPECT_LT(rms(r, sound, 0), 0.002);
}

TEST_F(EngineSound, HalfwayBalanceHalvesTheOtherChannelAndLeavesThisOneAlone) {
  engine.setBalance(5000);
  const Recording r = playTone("a.wav");
  const Span sound = soundSpan(r);
  const double toneLevel = 0.5 / std::sqrt(2.0);
  EXPECT_NEAR(rms(r, sound, 1), toneLevel, 0.02) << "the right channel must not take in the left";
  EXPECT_NEAR(rms(r, sound, 0), toneLevel / 2, 0.02);
}

TEST_F(EngineSound, CentredBalanceKeepsBothChannelsEqual) {
  engine.setBalance(kBalanceLeft);
  engine.setBalance(0);
  const Recording r = playTone("a.wav");
  const Span sound = soundSpan(r);
  EXPECT_NEAR(rms(r, sound, 1) / rms(r, sound, 0), 1.0, 0.02);
}

TEST_F(EngineSound, DoubleRateDoublesThePitchAndIsKeptForTheNextFile) {
  engine.setRate(2.0);
  const Recording first = playTone("a.wav");
  EXPECT_NEAR(toneFrequency(first, soundSpan(first)), 882, 882 * 0.03);
  const Recording second = playTone("b.ogg");
  EXPECT_NEAR(toneFrequency(second, soundSpan(second)), 882, 882 * 0.03);
}

TEST_F(EngineSound, HalfRateHalvesThePitch) {
  engine.setRate(0.5);
  const Recording r = playTone("a.wav", Tone{.seconds = 1.0});
  EXPECT_NEAR(toneFrequency(r, soundSpan(r)), 220.5, 220.5 * 0.03);
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
