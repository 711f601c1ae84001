#include "player/core/Marquee.h"

#include <gtest/gtest.h>

#include "tests/core/CommandTestKit.h"
#include "tests/core/PlaybackFixture.h"

namespace sonavex {
namespace {

using testing::Playback;

TEST(MarqueeCaption, RotatesCharactersLeftAndShowsTheTextUnrotatedOutsideIt) {
  const std::string utf8 = "\xC3\xA9t\xE2\x82\xAC";  // e-acute, t, euro sign
  const struct {
    std::string text;
    int p;
    std::string caption;
  } rows[] = {
      {"abc", 1, "abc"}, {"abc", 2, "bca"}, {"abc", 3, "cab"}, {"abc", 4, "abc"},
      {"abc", 5, "abc"}, {"abc", 0, "abc"}, {"", 1, ""},
      {utf8, 2, "t\xE2\x82\xAC\xC3\xA9"}, {utf8, 3, "\xE2\x82\xAC\xC3\xA9t"}, {utf8, 4, utf8},
  };
  for (const auto& r : rows) EXPECT_EQ(marqueeCaption(r.text, r.p), r.caption) << "p = " << r.p;

  const std::string broken = "\x80\xFF" "a\xC3";  // no byte may be lost or doubled
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
  p.playStarted(100);
  marqueeTick(p.core);
  EXPECT_EQ(p.core.face.lblsongnameTooltip, "");
  p.engine.positionValue = 0.5;
  marqueeTick(p.core);
  EXPECT_EQ(p.core.face.lblsongnameTooltip, "Currently playing track is: 3");

  Playback unnumbered(1);
  unnumbered.engine.positionValue = 3;
  marqueeTick(unnumbered.core);
  EXPECT_EQ(unnumbered.core.face.lblsongnameTooltip, "Currently playing track is: ");
}

TEST(MarqueeTick, ErrorSkipsOnceOnTheNextTickUpToTheEndOfTheList) {
  Playback p(2, /*loop=*/0);
  p.focus(0);
  p.playStarted(100);
  p.engine.raiseError();
  EXPECT_EQ(p.core.face.lbltmp, "error");
  EXPECT_EQ(p.opens(), 1u) << "the skip waits for the tick";
  marqueeTick(p.core);
  EXPECT_EQ(p.engine.lastOpened(), Playback::pathOf(1));
  EXPECT_EQ(p.core.face.lbltmp, "");
  marqueeTick(p.core);
  EXPECT_EQ(p.opens(), 2u) << "one error skips exactly once";

  p.engine.raiseError();  // the last entry fails too
  marqueeTick(p.core);
  EXPECT_EQ(p.engine.lastOpened(), "");
  EXPECT_EQ(p.core.shared.tracknumber, 0);
}

TEST(MarqueeTick, ErrorBeforeAnyStreamStartedStillSkips) {
  Playback p(3);
  p.focus(0);
  cmdplay_Click(p.core);  // the file fails before a stream ever starts
  ASSERT_FALSE(p.core.face.marqueeTimerOn);
  p.engine.raiseError();
  ASSERT_TRUE(p.core.face.marqueeTimerOn) << "nothing else would ever tick";
  marqueeTick(p.core);
  EXPECT_EQ(p.engine.lastOpened(), Playback::pathOf(1));
}

TEST(MarqueeTick, OnlyTheExactErrorFlagSkips) {
  Playback p(2);
  p.focus(0);
  p.core.face.lbltmp = "Error";
  marqueeTick(p.core);
  EXPECT_EQ(p.opens(), 0u);
  EXPECT_EQ(p.core.face.lbltmp, "Error");
}

}  // namespace
}  // namespace sonavex

namespace sonavex {
namespace {

using testing::Playback;

constexpr const char* kNoDecoder = "no decoder for Windows Media audio";

// Every file fails as it opens; ticks until the skipping stops (bounded).
void failEveryTrack(Playback& p) {
  for (int tick = 0; tick < 100 && (tick == 0 || p.core.face.marqueeTimerOn); ++tick) {
    if (p.core.face.lbltmp.empty()) p.engine.raiseError(EngineFault::Track, kNoDecoder);
    marqueeTick(p.core);
    if (tick == 0) {
      EXPECT_FALSE(p.core.face.lblsongnameTooltip.empty()) << "the reason shows while skipping";
    }
  }
}

TEST(MarqueeTick, ALoopedListWhoseEveryEntryFailsStopsWithTheReasonInsteadOfSkippingForEver) {
  // Blank entries fail like tracks that cannot play; they do not end the list.
  const struct {
    std::vector<std::string> entries;
    std::string lastReason;
  } rows[] = {{{"/m/a.wma", "/m/b.wma", "/m/c.wma"}, kNoDecoder},
              {{"", "/m/b.wma", ""}, "the entry has no path"}};
  for (const auto& r : rows) {
    Playback p(0, /*loop=*/1);
    for (const auto& e : r.entries) p.core.list.appendEntry(e);
    cmdplay_Click(p.core);
    failEveryTrack(p);
    EXPECT_EQ(p.opens(), 3u) << "each entry is tried once";
    EXPECT_FALSE(p.core.face.marqueeTimerOn);
    EXPECT_FALSE(p.core.face.clockTimerOn);
    EXPECT_EQ(p.core.face.lblsongname, kNoPlayableTrack);
    EXPECT_EQ(p.core.face.lblsongnameTooltip, r.lastReason);
  }
}

TEST(MarqueeTick, AStreamThatStartsResetsTheCountOfFailures) {
  Playback p(3, /*loop=*/1);
  cmdplay_Click(p.core);
  p.engine.raiseError();
  marqueeTick(p.core);  // 1 failed, entry 1 opened
  p.engine.raiseError();
  marqueeTick(p.core);  // 2 failed, entry 2 opened and it plays
  p.startStream(10);
  p.engine.raiseError();
  marqueeTick(p.core);  // only one failure since a stream started: on to entry 0
  EXPECT_EQ(p.engine.lastOpened(), Playback::pathOf(0));
  EXPECT_TRUE(p.core.face.marqueeTimerOn);
}

TEST(EngineErrors, NoSoundOutputStopsOnceWithAMessageAndSkipsNothing) {
  for (EngineFault fault : {EngineFault::Output, EngineFault::Engine}) {
    Playback p(2, /*loop=*/1);
    testkit::RecordingMessages messages;
    p.core.platform.messages = &messages;
    cmdplay_Click(p.core);
    p.engine.raiseError(fault, "Connection refused");
    EXPECT_EQ(p.engine.calls.back(), "stop");
    EXPECT_FALSE(p.core.face.marqueeTimerOn);
    marqueeTick(p.core);
    EXPECT_EQ(p.opens(), 1u) << "nothing is skipped";
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].title, "Sonavex");
    EXPECT_EQ(messages.shown[0].text,
              fault == EngineFault::Output
                  ? "No sound output: Connection refused"
                  : "The media engine could not be started: Connection refused");
    cmdplay_Click(p.core);  // the next play tries again
    EXPECT_EQ(p.opens(), 2u);
  }
}

}  // namespace
}  // namespace sonavex
