#include "player/core/Clock.h"

#include <algorithm>
#include <limits>

#include <gtest/gtest.h>

#include "player/core/Transport.h"
#include "tests/core/PlaybackFixture.h"

namespace sonavex {
namespace {

using testing::Playback;

TEST(FormatMinutes, ShowsDecimalMinutesInTheShortestForm) {
  EXPECT_EQ(formatMinutes(185), "3.08");
  EXPECT_EQ(formatMinutes(90), "1.5");
  EXPECT_EQ(formatMinutes(60), "1");
  EXPECT_EQ(formatMinutes(0), "0");
  EXPECT_EQ(formatMinutes(3), "0.05");
  EXPECT_EQ(formatMinutes(3600), "60");
}

TEST(FormatMinutes, RoundsHalvesToEven) {
  EXPECT_EQ(formatMinutes(37.5), "0.62");  // 0.625 minutes
  EXPECT_EQ(formatMinutes(22.5), "0.38");  // 0.375 minutes
  EXPECT_EQ(formatMinutes(7.5), "0.12");   // 0.125 minutes
  EXPECT_EQ(formatMinutes(59.9), "1");     // 0.998 carries into the whole minutes
}

TEST(FormatMinutes, UsesTheGivenDecimalSeparator) {
  EXPECT_EQ(formatMinutes(90, ','), "1,5");
  EXPECT_EQ(formatMinutes(60, ','), "1");
}

TEST(FormatMinutes, OddValuesGiveADefinedText) {
  EXPECT_EQ(formatMinutes(-90), "-1.5");
  EXPECT_EQ(formatMinutes(std::numeric_limits<double>::quiet_NaN()), "0");
  EXPECT_EQ(formatMinutes(std::numeric_limits<double>::infinity()), "0");
  EXPECT_EQ(formatMinutes(1e300), "0");
}

TEST(ClockTick, ShowsBothTimesAndTheFill) {
  Playback p(1);
  cmdplay_Click(p.core);
  p.startStream(185);
  p.engine.positionValue = 90;
  clockTick(p.core);
  EXPECT_EQ(p.core.face.lblctime, "1.5");
  EXPECT_EQ(p.core.face.lblttime, "3.08");
  EXPECT_DOUBLE_EQ(p.core.face.imgprogWidth, 8 + 90.0 * 141 / 185);

  p.engine.durationValue = 282;
  p.engine.positionValue = 141;  // half way
  clockTick(p.core);
  EXPECT_DOUBLE_EQ(p.core.face.imgprogWidth, 8 + 70.5);
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

TEST(ClockTick, AtTheEndStopsTheEngineAndAdvancesExactlyOnce) {
  Playback p(3, /*loop=*/0);
  p.focus(0);
  cmdplay_Click(p.core);
  p.startStream(120);
  p.engine.positionValue = 120;
  clockTick(p.core);

  ASSERT_EQ(p.engine.opened.size(), 2u);
  EXPECT_EQ(p.engine.opened[1], Playback::pathOf(1));
  EXPECT_EQ(p.core.shared.tracknumber, 2);
  EXPECT_EQ(p.core.face.lblctime, "");
  EXPECT_FALSE(p.core.face.progVisible);
  // The engine's calls: the stop comes before the next open.
  const auto stop = std::find(p.engine.calls.begin(), p.engine.calls.end(), "stop");
  const auto open = std::find(p.engine.calls.begin(), p.engine.calls.end(),
                              "open:" + Playback::pathOf(1));
  EXPECT_LT(stop, open);

  clockTick(p.core);  // the new stream has not started: nothing further
  EXPECT_EQ(p.opens(), 2u);
}

TEST(ClockTick, ShortOfTheEndDoesNotStop) {
  Playback p(2);
  cmdplay_Click(p.core);
  p.startStream(120);
  p.engine.positionValue = 119.999;
  clockTick(p.core);
  EXPECT_EQ(p.engine.state, kPlaying);
  EXPECT_EQ(p.opens(), 1u);
}

TEST(Seek, ClickOnTheBarMapsTheUsableLength) {
  Playback p(1);
  cmdplay_Click(p.core);
  p.startStream(200);

  picprog_MouseUp(p.core, 8);
  EXPECT_EQ(p.engine.positionValue, 0);
  EXPECT_EQ(p.core.face.imgprogWidth, 8);

  picprog_MouseUp(p.core, 149);
  EXPECT_EQ(p.engine.positionValue, 200);
  EXPECT_EQ(p.core.face.imgprogWidth, 149);
  clockTick(p.core);  // the tick after a seek to the end stops the track
  EXPECT_EQ(p.opens(), 2u);
}

TEST(Seek, ClickOnTheFillIsInTwips) {
  Playback p(1);
  cmdplay_Click(p.core);
  p.startStream(141);
  imgprog_MouseUp(p.core, 1200);  // 80 pixels
  EXPECT_DOUBLE_EQ(p.engine.positionValue, 72);
  EXPECT_DOUBLE_EQ(p.core.face.imgprogWidth, 80);
}

TEST(Seek, IgnoredWhileTheBarIsDisabledOrTheClickIsNotANumber) {
  Playback p(1);
  cmdplay_Click(p.core);
  p.startStream(141);
  p.core.face.progEnabled = false;
  picprog_MouseUp(p.core, 100);
  imgprog_MouseUp(p.core, 1500);
  p.core.face.progEnabled = true;
  picprog_MouseUp(p.core, std::numeric_limits<double>::quiet_NaN());
  EXPECT_EQ(p.engine.positionValue, 0);
  EXPECT_EQ(std::count_if(p.engine.calls.begin(), p.engine.calls.end(),
                          [](const std::string& c) { return c.rfind("position:", 0) == 0; }),
            0);
}

}  // namespace
}  // namespace sonavex
