#include "player/core/Marquee.h"

#include <gtest/gtest.h>

#include "player/core/Transport.h"
#include "tests/core/PlaybackFixture.h"

namespace sonavex {
namespace {

using testing::Playback;

TEST(MarqueeCaption, RotatesLeftAndShowsTheTextUnrotatedPastItsEnd) {
  EXPECT_EQ(marqueeCaption("abc", 1), "abc");
  EXPECT_EQ(marqueeCaption("abc", 2), "bca");
  EXPECT_EQ(marqueeCaption("abc", 3), "cab");
  EXPECT_EQ(marqueeCaption("abc", 4), "abc");
  EXPECT_EQ(marqueeCaption("abc", 5), "abc");
  EXPECT_EQ(marqueeCaption("abc", 0), "abc");
  EXPECT_EQ(marqueeCaption("", 1), "");
}

TEST(MarqueeCaption, CountsCharactersNotBytes) {
  const std::string name = "\xC3\xA9t\xE2\x82\xAC";  // e-acute, t, euro sign
  EXPECT_EQ(marqueeCaption(name, 2), "t\xE2\x82\xAC\xC3\xA9");
  EXPECT_EQ(marqueeCaption(name, 3), "\xE2\x82\xAC\xC3\xA9t");
  EXPECT_EQ(marqueeCaption(name, 4), name);
}

TEST(MarqueeCaption, BrokenUtf8IsRotatedWithoutLosingBytes) {
  const std::string broken = "\x80\xFF" "a\xC3";
  for (int p = 0; p < 7; ++p) EXPECT_EQ(marqueeCaption(broken, p).size(), broken.size());
}

TEST(MarqueeTick, TwoCharacterNameCyclesInEightTicks) {
  Playback p(1);
  p.engine.open("/music/ab");
  p.engine.raiseNewStream();
  ASSERT_EQ(p.core.shared.marqueetext, "ab    ");
  const std::vector<std::string> expected = {
      "ab    ", "b    a", "    ab", "   ab ", "  ab  ", " ab   ",  // p = 1..6
      "ab    ", "ab    ",                                          // p = 7, 8
      "ab    ", "b    a"};                                         // round again
  std::vector<std::string> shown;
  for (std::size_t i = 0; i < expected.size(); ++i) {
    marqueeTick(p.core);
    shown.push_back(p.core.face.lblsongname);
  }
  EXPECT_EQ(shown, expected);
}

TEST(MarqueeTick, EmptyTextLeavesTheCaptionButStillCounts) {
  Playback p(1);
  p.core.face.lblsongname = "kept";
  std::vector<int> positions;
  for (int i = 0; i < 4; ++i) {
    marqueeTick(p.core);
    positions.push_back(p.core.shared.marqueepos);
  }
  EXPECT_EQ(p.core.face.lblsongname, "kept");
  EXPECT_EQ(positions, (std::vector<int>{1, 2, 1, 2}));  // length 0: a cycle of two ticks
}

TEST(MarqueeTick, TooltipNamesTheTrackOnceItPlays) {
  Playback p(4);
  p.focus(2);
  cmdplay_Click(p.core);
  p.startStream(100);
  marqueeTick(p.core);
  EXPECT_EQ(p.core.face.lblsongnameTooltip, "");
  p.engine.positionValue = 0.5;
  marqueeTick(p.core);
  EXPECT_EQ(p.core.face.lblsongnameTooltip, "Currently playing track is: 3");
}

TEST(MarqueeTick, TooltipWithoutATrackNumberHasNoNumber) {
  Playback p(1);
  p.engine.positionValue = 3;
  marqueeTick(p.core);
  EXPECT_EQ(p.core.face.lblsongnameTooltip, "Currently playing track is: ");
}

TEST(MarqueeTick, ErrorDuringPlaybackSkipsOnTheNextTick) {
  Playback p(3, /*loop=*/0);
  p.focus(0);
  cmdplay_Click(p.core);
  p.startStream(100);
  p.engine.raiseError();
  marqueeTick(p.core);
  EXPECT_EQ(p.engine.lastOpened(), Playback::pathOf(1));
  EXPECT_EQ(p.core.face.lbltmp, "");
  marqueeTick(p.core);
  EXPECT_EQ(p.opens(), 2u) << "one error skips exactly once";
}

TEST(MarqueeTick, ErrorBeforeAnyStreamStartedStillSkips) {
  Playback p(3, /*loop=*/0);
  p.focus(0);
  cmdplay_Click(p.core);  // the file fails before a stream ever starts
  ASSERT_FALSE(p.core.face.marqueeTimerOn);
  p.engine.raiseError();
  ASSERT_TRUE(p.core.face.marqueeTimerOn) << "nothing else would ever tick";
  marqueeTick(p.core);
  EXPECT_EQ(p.engine.lastOpened(), Playback::pathOf(1));
}

TEST(MarqueeTick, ErrorOnTheLastEntryEndsTheList) {
  Playback p(2, /*loop=*/0);
  p.focus(1);
  cmdplay_Click(p.core);
  p.engine.raiseError();
  marqueeTick(p.core);
  EXPECT_EQ(p.engine.lastOpened(), "");
  EXPECT_EQ(p.core.shared.tracknumber, 0);
}

TEST(MarqueeTick, FlagIsCaseSensitive) {
  Playback p(2);
  p.focus(0);
  p.core.face.lbltmp = "Error";
  marqueeTick(p.core);
  EXPECT_EQ(p.opens(), 0u);
  EXPECT_EQ(p.core.face.lbltmp, "Error");
}

}  // namespace
}  // namespace sonavex
