#include "player/core/Clock.h"

#include <algorithm>
#include <limits>

#include <gtest/gtest.h>

#include "tests/core/PlaybackFixture.h"

namespace sonavex {
namespace {

using testing::Playback;

TEST(FormatMinutes, DecimalMinutesRoundedHalfToEvenInTheShortestForm) {
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  constexpr double kInf = std::numeric_limits<double>::infinity();
  const struct {
    double seconds;
    const char* separator;
    const char* text;
  } rows[] = {
      {185, ".", "3.08"}, {90, ".", "1.5"},   {60, ".", "1"},     {0, ".", "0"},
      {3, ".", "0.05"},   {3600, ".", "60"},  {37.5, ".", "0.62"}, {22.5, ".", "0.38"},
      {7.5, ".", "0.12"}, {59.9, ".", "1"},   {90, ",", "1,5"},   {60, ",", "1"},
      {-90, ".", "-1.5"}, {kNaN, ".", "0"},   {kInf, ".", "0"},   {1e300, ".", "0"},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(formatMinutes(r.seconds, r.separator), r.text) << r.seconds << " s";
  }
}

TEST(ClockTick, ShowsBothTimesAndTheFill) {
  Playback p(1);
  p.playStarted(185);
  p.engine.positionValue = 90;
  clockTick(p.core);
  EXPECT_EQ(p.core.face.lblctime, "1.5");
  EXPECT_EQ(p.core.face.lblttime, "3.08");
  EXPECT_DOUBLE_EQ(p.core.face.imgprogWidth, 8 + 90.0 * 141 / 185);
}

TEST(ClockTick, UnknownDurationLeavesTheFillAndDoesNotEndTheTrack) {
  Playback p(2);
  cmdplay_Click(p.core);  // opened, stream not started: position and duration both 0
  p.core.face.imgprogWidth = 33;
  clockTick(p.core);
  EXPECT_EQ(p.core.face.imgprogWidth, 33);
  EXPECT_EQ(p.core.face.lblctime, "0");
  EXPECT_EQ(p.core.face.lblttime, "0");
  EXPECT_EQ(p.opens(), 1u);
  EXPECT_EQ(p.engine.state, kPlaying);
}

TEST(ClockTick, ExactlyAtTheEndStopsTheEngineThenAdvancesOnce) {
  Playback p(3);
  p.focus(0);
  p.playStarted(120);
  p.engine.positionValue = 119.999;  // shows the same rounded time as the end, but is not it
  clockTick(p.core);
  EXPECT_EQ(p.engine.state, kPlaying);
  EXPECT_EQ(p.opens(), 1u);

  p.engine.positionValue = 120;
  clockTick(p.core);
  ASSERT_EQ(p.engine.opened.size(), 2u);
  EXPECT_EQ(p.engine.opened[1], Playback::pathOf(1));
  EXPECT_EQ(p.core.shared.tracknumber, 2);
  EXPECT_EQ(p.core.face.lblctime, "");
  EXPECT_FALSE(p.core.face.progVisible);
  // A stop after the open would stop the new track.
  const auto& calls = p.engine.calls;
  EXPECT_LT(std::find(calls.begin(), calls.end(), "stop"),
            std::find(calls.begin(), calls.end(), "open:" + Playback::pathOf(1)));

  clockTick(p.core);  // the new stream has not started: nothing further
  EXPECT_EQ(p.opens(), 2u);
}

TEST(Seek, ClicksMapTheUsableLengthOfTheBarAndTwipsOnTheFill) {
  Playback p(1);
  p.playStarted(141);
  imgprog_MouseUp(p.core, 1200);  // 80 pixels
  EXPECT_DOUBLE_EQ(p.engine.positionValue, 72);
  EXPECT_DOUBLE_EQ(p.core.face.imgprogWidth, 80);

  picprog_MouseUp(p.core, 8);
  EXPECT_EQ(p.engine.positionValue, 0);
  EXPECT_EQ(p.core.face.imgprogWidth, 8);

  picprog_MouseUp(p.core, 149);
  EXPECT_EQ(p.engine.positionValue, 141);
  EXPECT_EQ(p.core.face.imgprogWidth, 149);
  clockTick(p.core);  // the tick after a seek to the end stops the track
  EXPECT_EQ(p.opens(), 2u);
}

TEST(Seek, IgnoredWhileTheBarIsDisabledOrTheClickIsNotANumber) {
  Playback p(1);
  p.playStarted(141);
  p.core.face.progEnabled = false;
  picprog_MouseUp(p.core, 100);
  imgprog_MouseUp(p.core, 1500);
  p.core.face.progEnabled = true;
  picprog_MouseUp(p.core, std::numeric_limits<double>::quiet_NaN());
  EXPECT_EQ(std::count_if(p.engine.calls.begin(), p.engine.calls.end(),
                          [](const std::string& c) { return c.rfind("position:", 0) == 0; }),
            0);
}

}  // namespace
}  // namespace sonavex
