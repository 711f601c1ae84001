#include "playlist/core/Sequencer.h"

#include <gtest/gtest.h>

#include "playlist/core/Shuffle.h"
#include "tests/core/PlaybackFixture.h"

namespace sonavex {
namespace {

using testing::Playback;

// Plain order: from the focused entry, successive nextsong calls mark these entries.
struct PlainRun {
  const char* what;
  int entries, loop;
  Index focused;
  std::vector<Index> marked;
};

TEST(NextsongPlainOrder, StepsWrapsAndEndsByTheLoopBox) {
  const PlainRun runs[] = {
      {"to the end, nothing, then over again", 3, 0, 1, {2, kNone, 0}},
      {"loop wraps to the first", 4, 1, 3, {0, 1}},
      {"one entry with loop replays it", 1, 1, 0, {0, 0, 0}},
      {"a box value neither off nor on reopens the entry", 3, 2, 1, {1}},
      {"indexes beyond 16 bits", 40002, 1, 40000, {40001, 0}},
  };
  for (const PlainRun& run : runs) {
    SCOPED_TRACE(run.what);
    Playback p(run.entries, run.loop);
    p.focus(run.focused);
    p.core.face.marqueeTimerOn = p.core.face.clockTimerOn = true;
    p.core.face.lblsongname = p.core.face.lblctime = "0";
    for (Index g : run.marked) {
      nextsong(p.core);
      p.expectMarked(g);
      // At the end of the list nothing plays: no title scrolls and no clock runs.
      if (g == kNone) {
        EXPECT_FALSE(p.core.face.marqueeTimerOn || p.core.face.clockTimerOn);
        EXPECT_EQ(p.core.face.lblsongname + p.core.face.lblctime, "");
      }
    }
    EXPECT_EQ(p.opens(), run.marked.size());
  }
}

TEST(NextsongPlainOrder, FollowsTheEntryTheUserClickedNotTheOnePlaying) {
  Playback p(8);
  p.focus(2);
  nextsong(p.core);  // entry 3 playing
  p.focus(5);
  nextsong(p.core);
  p.expectMarked(6);
}

TEST(NextsongPlainOrder, MarksOnlyTheNewEntryWhateverWasSelectedOrMoved) {
  Playback p(6);
  p.focus(1);
  p.core.list.setSelectionFlags({0, 1, 1, 0, 7, 1});
  nextsong(p.core);
  p.expectMarked(2);
  p.core.list.setSelected(2, false);  // focus kept, nothing selected
  nextsong(p.core);
  p.expectMarked(3);
  p.core.list.removeAt(1);  // the marked entry moves up to 2
  p.core.list.setListIndex2(0);
  nextsong(p.core);
  p.expectMarked(1);
}

TEST(NextsongEmptyList, EndsTheListWhateverTheBoxes) {
  for (int loop : {0, 1}) {
    for (int shuffle : {0, 1}) {
      SCOPED_TRACE(::testing::Message() << "loop " << loop << " shuffle " << shuffle);
      Playback p(0, loop, shuffle);
      chkshuffle_Click(p.core);
      nextsong(p.core);
      EXPECT_EQ(p.engine.opened, std::vector<std::string>{""});
      p.expectMarked(kNone);
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
    p.expectMarked(expected);
  }
  nextsong(p.core);
  if (loop == 1) {
    p.expectMarked(2);  // the same order again, not a new one
    EXPECT_EQ(p.core.List5.listIndex(), 0);
  } else {
    p.expectMarked(kNone);
    nextsong(p.core);  // stays at the end of the order
    p.expectMarked(kNone);
    EXPECT_EQ(p.core.List5.listIndex(), 3);
  }
}

INSTANTIATE_TEST_SUITE_P(LoopOffAndOn, NextsongShuffled, ::testing::Values(0, 1));

TEST(EngineNotifications, OnlyTheStoppedStateAdvances) {
  Playback p(3, /*loop=*/1);
  p.focus(0);
  p.core.face.lblsongname = "t0.mp3  ";
  mp1_EndOfStream(p.core, 0);
  mp1_PlayStateChange(p.core, kStopped, kPlaying);
  mp1_PlayStateChange(p.core, kPlaying, kPaused);
  EXPECT_EQ(p.opens(), 0u);
  EXPECT_EQ(p.core.face.lblsongname, "t0.mp3  ");
  EXPECT_TRUE(p.core.face.progVisible);
  mp1_PlayStateChange(p.core, kPlaying, kStopped);
  EXPECT_EQ(p.engine.opened, std::vector<std::string>{Playback::pathOf(1)});
}

TEST(EngineNotifications, TrackEndAdvancesOnceAndClearsThePlayerTexts) {
  Playback p(3);
  p.focus(0);
  p.playStarted(200);
  p.core.face.lblctime = "1.2";
  p.core.face.lblttime = "3.33";
  p.core.face.lblsongnameTooltip = "Currently playing track is: 1";

  p.engine.raiseStreamEnded();  // end of stream, then the stopped state

  EXPECT_EQ(p.engine.opened, (std::vector<std::string>{Playback::pathOf(0), Playback::pathOf(1)}));
  for (const std::string* text : {&p.core.face.lblsongname, &p.core.face.lblsongnameTooltip,
                                  &p.core.face.lblctime, &p.core.face.lblttime}) {
    EXPECT_EQ(*text, "");
  }
  EXPECT_FALSE(p.core.face.progVisible);
}

TEST(EngineNotifications, NewStreamShowsTheBareFileNameAndStartsBothTimers) {
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

TEST(EngineNotifications, ANewTrackAfterAPauseCanBeSeekedAgain) {
  Playback p(3);
  p.focus(0);
  p.playStarted(100);
  cmdpause_Click(p.core);
  ASSERT_FALSE(p.core.face.progEnabled);
  nextsong(p.core);
  p.startStream(100);
  EXPECT_TRUE(p.core.face.progEnabled);
}

}  // namespace
}  // namespace sonavex
