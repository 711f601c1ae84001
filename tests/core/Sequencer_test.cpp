#include "playlist/core/Sequencer.h"

#include <algorithm>

#include <gtest/gtest.h>

#include "player/core/Transport.h"
#include "playlist/core/Shuffle.h"
#include "tests/core/PlaybackFixture.h"

namespace sonavex {
namespace {

using testing::Playback;

// What the list and the shared values say about the entry just chosen.
void expectMarked(const Playback& p, Index g) {
  EXPECT_EQ(p.engine.lastOpened(), p.core.list.path(g));
  EXPECT_EQ(p.core.shared.currenttrack, g);
  EXPECT_EQ(p.core.shared.tracknumber, g + 1);
  EXPECT_EQ(p.core.list.listIndex1(), g);
  EXPECT_EQ(p.core.list.listIndex2(), g);
  const auto& flags = p.core.list.selectionFlags();
  EXPECT_EQ(std::count(flags.begin(), flags.end(), 1), g == kNone ? 0 : 1);
  EXPECT_EQ(p.core.list.selectedCount(), g == kNone ? 0 : 1);
  if (g != kNone) {
    EXPECT_TRUE(p.core.list.isSelected(g));
  }
}

TEST(NextsongPlainOrder, StepsToTheEndThenNothingThenStartsOver) {
  Playback p(3, /*loop=*/0);
  p.focus(1);
  nextsong(p.core);
  expectMarked(p, 2);
  nextsong(p.core);
  EXPECT_EQ(p.engine.lastOpened(), "");
  expectMarked(p, kNone);
  nextsong(p.core);
  expectMarked(p, 0);
}

TEST(NextsongPlainOrder, LoopWrapsFromTheLastEntryToTheFirst) {
  Playback p(4, /*loop=*/1);
  p.focus(3);
  nextsong(p.core);
  expectMarked(p, 0);
  nextsong(p.core);
  expectMarked(p, 1);
}

TEST(NextsongPlainOrder, FollowsTheEntryTheUserClickedNotTheOnePlaying) {
  Playback p(8, /*loop=*/0);
  p.focus(2);
  nextsong(p.core);  // entry 3 playing
  p.focus(5);
  nextsong(p.core);
  expectMarked(p, 6);
}

TEST(NextsongPlainOrder, MarksOnlyTheNewEntryWhateverTheUserHadSelected) {
  Playback p(6, /*loop=*/0);
  p.focus(1);
  p.core.list.setSelected(4, true);
  nextsong(p.core);
  expectMarked(p, 2);
  p.core.list.setSelectionFlags({0, 1, 1, 0, 7, 1});
  ASSERT_EQ(p.core.list.selectedCount(), 4);
  nextsong(p.core);
  expectMarked(p, 3);
  p.core.list.setSelected(3, false);  // focus kept, nothing selected
  nextsong(p.core);
  expectMarked(p, 4);
}

TEST(NextsongPlainOrder, MarksOnlyTheNewEntryAfterEntriesMoved) {
  Playback p(6, /*loop=*/0);
  p.focus(3);
  p.core.list.removeAt(1);  // the marked entry moves up to 2
  p.core.list.insertAt(0, "/music/first.mp3", "0   first.mp3");  // and down to 3 again
  p.core.list.setListIndex2(0);
  nextsong(p.core);
  expectMarked(p, 1);
  p.core.list.setSelected(4, true);
  p.core.list.removeAt(1);  // removes the marked entry; entry 3 stays selected
  p.core.list.setListIndex2(2);
  nextsong(p.core);
  expectMarked(p, 3);
}

TEST(NextsongPlainOrder, OneEntryWithLoopReplaysIt) {
  Playback p(1, /*loop=*/1);
  p.focus(0);
  for (int i = 0; i < 3; ++i) {
    nextsong(p.core);
    expectMarked(p, 0);
  }
  EXPECT_EQ(p.opens(), 3u);
}

TEST(NextsongPlainOrder, UnknownBoxValueReopensTheFocusedEntry) {
  Playback p(3, /*loop=*/2);  // a box value that is neither off nor on
  p.focus(1);
  nextsong(p.core);
  expectMarked(p, 1);
}

TEST(NextsongEmptyList, EndsTheListWhateverTheBoxes) {
  for (int loop : {0, 1}) {
    for (int shuffle : {0, 1}) {
      Playback p(0, loop, shuffle);
      chkshuffle_Click(p.core);
      nextsong(p.core);
      SCOPED_TRACE(::testing::Message() << "loop " << loop << " shuffle " << shuffle);
      EXPECT_EQ(p.engine.opened, std::vector<std::string>{""});
      EXPECT_EQ(p.core.shared.currenttrack, kNone);
      EXPECT_EQ(p.core.shared.tracknumber, 0);
      EXPECT_EQ(p.core.List5.listIndex(), kNone);
    }
  }
}

class NextsongShuffled : public ::testing::TestWithParam<int> {};

TEST_P(NextsongShuffled, VisitsTheOrderOnceThenEndsOrReplaysIt) {
  const int loop = GetParam();
  Playback p(4, loop, /*shuffle=*/1);
  p.random.script({0.6, 0.1, 0.6, 0.9, 0.3});  // 2, 0, (2 again: drawn anew), 3, 1
  chkshuffle_Click(p.core);
  ASSERT_EQ(p.core.List5.entries(), (std::vector<Index>{2, 0, 3, 1}));
  EXPECT_EQ(p.core.List5.listIndex(), kNone);

  p.focus(0);
  for (Index expected : {2, 0, 3, 1}) {
    nextsong(p.core);
    expectMarked(p, expected);
  }
  nextsong(p.core);
  if (loop == 1) {
    expectMarked(p, 2);
    EXPECT_EQ(p.core.List5.listIndex(), 0);
  } else {
    expectMarked(p, kNone);
    nextsong(p.core);  // stays at the end of the order
    expectMarked(p, kNone);
    EXPECT_EQ(p.core.List5.listIndex(), 3);
  }
}

INSTANTIATE_TEST_SUITE_P(LoopOffAndOn, NextsongShuffled, ::testing::Values(0, 1));

TEST(NextsongLargeList, StepsBeyondSixteenBitIndexes) {
  Playback p(40002, /*loop=*/1);
  p.focus(40000);
  nextsong(p.core);
  expectMarked(p, 40001);
  nextsong(p.core);
  expectMarked(p, 0);
}

TEST(PlayStateChange, OnlyTheStoppedStateAdvances) {
  Playback p(3, /*loop=*/0);
  p.focus(0);
  mp1_PlayStateChange(p.core, kStopped, kPlaying);
  mp1_PlayStateChange(p.core, kPlaying, kPaused);
  EXPECT_EQ(p.opens(), 0u);
  mp1_PlayStateChange(p.core, kPlaying, kStopped);
  EXPECT_EQ(p.engine.opened, std::vector<std::string>{Playback::pathOf(1)});
}

TEST(TrackEnded, EngineEndAdvancesOnceAndClearsThePlayerTexts) {
  Playback p(3, /*loop=*/0);
  p.focus(0);
  cmdplay_Click(p.core);
  p.startStream(200);
  p.core.face.lblctime = "1.2";
  p.core.face.lblttime = "3.33";
  p.core.face.lblsongnameTooltip = "Currently playing track is: 1";

  p.engine.raiseStreamEnded();  // end of stream, then the stopped state

  EXPECT_EQ(p.engine.opened, (std::vector<std::string>{Playback::pathOf(0), Playback::pathOf(1)}));
  EXPECT_EQ(p.core.face.lblsongname, "");
  EXPECT_EQ(p.core.face.lblsongnameTooltip, "");
  EXPECT_EQ(p.core.face.lblctime, "");
  EXPECT_EQ(p.core.face.lblttime, "");
  EXPECT_FALSE(p.core.face.progVisible);
}

TEST(EndOfStream, DoesNothingByItself) {
  Playback p(3, /*loop=*/1);
  p.focus(0);
  p.core.face.lblsongname = "t0.mp3  ";
  mp1_EndOfStream(p.core, 0);
  EXPECT_EQ(p.opens(), 0u);
  EXPECT_EQ(p.core.list.listIndex2(), 0);
  EXPECT_EQ(p.core.face.lblsongname, "t0.mp3  ");
  EXPECT_TRUE(p.core.face.progVisible);
}

TEST(NewStream, ShowsTheBareFileNameAndStartsBothTimers) {
  Playback p(1);
  p.engine.open("/music/Best Of/a b.mp3");
  p.core.shared.marqueepos = 5;
  p.core.face.progVisible = false;
  mp1_NewStream(p.core);
  EXPECT_EQ(p.core.shared.marqueetext, "a b.mp3    ");
  EXPECT_EQ(p.core.face.lblsongname, "a b.mp3  ");
  EXPECT_EQ(p.core.face.lbltmp1, "a b.mp3  ");
  EXPECT_EQ(p.core.shared.marqueepos, 0);
  EXPECT_TRUE(p.core.face.marqueeTimerOn);
  EXPECT_TRUE(p.core.face.clockTimerOn);
  EXPECT_TRUE(p.core.face.progVisible);
}

TEST(NewStream, AfterAPauseTheNewTrackCanBeSeekedAgain) {
  Playback p(3, /*loop=*/0);
  p.focus(0);
  cmdplay_Click(p.core);
  p.startStream(100);
  cmdpause_Click(p.core);
  ASSERT_FALSE(p.core.face.progEnabled);
  nextsong(p.core);
  p.startStream(100);
  EXPECT_TRUE(p.core.face.progEnabled);
}

TEST(Error, RaisesTheFlagAndArmsTheMarquee) {
  Playback p(2);
  mp1_Error(p.core);
  EXPECT_EQ(p.core.face.lbltmp, "error");
  EXPECT_TRUE(p.core.face.marqueeTimerOn);
  EXPECT_EQ(p.opens(), 0u);  // the skip itself waits for the marquee tick
}

}  // namespace
}  // namespace sonavex
