#include "player/core/Transport.h"

#include <gtest/gtest.h>

#include "player/core/Clock.h"
#include "tests/core/PlaybackFixture.h"

namespace sonavex {
namespace {

using testing::Playback;

TEST(Play, WithNothingFocusedPlaysTheFirstEntry) {
  Playback p(3);
  cmdplay_Click(p.core);
  EXPECT_EQ(p.engine.opened, std::vector<std::string>{Playback::pathOf(0)});
  EXPECT_EQ(p.core.shared.currenttrack, 0);
  EXPECT_EQ(p.core.shared.tracknumber, 1);
}

TEST(Play, PlaysTheFocusedEntryWithoutMovingTheSelection) {
  Playback p(5);
  p.focus(2);
  p.core.list.setSelected(4, true);
  cmdplay_Click(p.core);
  EXPECT_EQ(p.engine.opened, std::vector<std::string>{Playback::pathOf(2)});
  EXPECT_EQ(p.core.shared.tracknumber, 3);
  EXPECT_EQ(p.core.list.listIndex2(), 2);
  EXPECT_EQ(p.core.list.selectedCount(), 2);
  EXPECT_TRUE(p.core.list.isSelected(4));
}

TEST(Play, AnEmptyListHandsOverTheEmptyPath) {
  Playback p(0);
  cmdplay_Click(p.core);
  EXPECT_EQ(p.engine.opened, std::vector<std::string>{""});
}

TEST(Pause, TogglesBetweenPausedAndPlayingWithTimersAndSeekBar) {
  Playback p(2);
  cmdplay_Click(p.core);
  p.startStream(141);

  cmdpause_Click(p.core);
  EXPECT_EQ(p.engine.state, kPaused);
  EXPECT_FALSE(p.core.face.marqueeTimerOn);
  EXPECT_FALSE(p.core.face.clockTimerOn);
  picprog_MouseUp(p.core, 50);
  EXPECT_EQ(p.engine.positionValue, 0) << "a seek click while paused must be ignored";

  cmdpause_Click(p.core);
  EXPECT_EQ(p.engine.state, kPlaying);
  EXPECT_TRUE(p.core.face.marqueeTimerOn);
  EXPECT_TRUE(p.core.face.clockTimerOn);
  picprog_MouseUp(p.core, 50);
  EXPECT_EQ(p.engine.positionValue, 42);
}

TEST(Pause, WhileStoppedDoesNothing) {
  Playback p(2);
  cmdpause_Click(p.core);
  EXPECT_TRUE(p.engine.calls.empty());
  EXPECT_TRUE(p.core.face.progEnabled);
}

TEST(Stop, ClearsTheTextsKeepsTheFillAndDoesNotAdvance) {
  Playback p(3, /*loop=*/1);
  p.focus(0);
  cmdplay_Click(p.core);
  p.startStream(185);
  p.engine.positionValue = 90;
  clockTick(p.core);
  const double fill = p.core.face.imgprogWidth;

  cmdstop_Click(p.core);

  EXPECT_EQ(p.engine.state, kStopped);
  EXPECT_EQ(p.opens(), 1u) << "stop must not move on to the next track";
  EXPECT_EQ(p.core.shared.currenttrack, 0);
  EXPECT_EQ(p.core.face.lblsongname, "");
  EXPECT_EQ(p.core.face.lblctime, "");
  EXPECT_EQ(p.core.face.lblttime, "");
  EXPECT_FALSE(p.core.face.marqueeTimerOn);
  EXPECT_FALSE(p.core.face.clockTimerOn);
  EXPECT_EQ(p.core.face.imgprogWidth, fill);
  EXPECT_TRUE(p.core.face.progVisible);
}

// Previous in plain order: rules by loop box and focused entry.
struct PlainCase {
  int loop;
  Index focused;
  Index expected;
};

class PreviousPlain : public ::testing::TestWithParam<PlainCase> {};

TEST_P(PreviousPlain, OpensAndMarksTheEntryBefore) {
  const PlainCase c = GetParam();
  Playback p(5, c.loop);
  p.focus(c.focused);
  cmdprev_Click(p.core);
  EXPECT_EQ(p.engine.lastOpened(), p.core.list.path(c.expected));
  EXPECT_EQ(p.core.shared.currenttrack, c.expected);
  EXPECT_EQ(p.core.shared.tracknumber, c.expected + 1);
  EXPECT_EQ(p.core.list.listIndex1(), c.expected);
  EXPECT_EQ(p.core.list.listIndex2(), c.expected);
  EXPECT_EQ(p.core.list.selectedCount(), c.expected == kNone ? 0 : 1);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, PreviousPlain,
    ::testing::Values(PlainCase{0, 3, 2},       // a: one back
                      PlainCase{1, 1, 0},       // c: one back, loop on
                      PlainCase{0, 1, 0},       // a: second entry to the first
                      PlainCase{0, 0, kNone},   // e: nothing further back
                      PlainCase{1, 0, 4},       // g: wrap to the last entry
                      PlainCase{1, kNone, kNone},
                      PlainCase{0, kNone, kNone}));

TEST(PreviousPlain, EmptyListOpensNothing) {
  Playback p(0, /*loop=*/1);
  cmdprev_Click(p.core);
  EXPECT_EQ(p.engine.opened, std::vector<std::string>{""});
  EXPECT_EQ(p.core.shared.currenttrack, kNone);
  EXPECT_EQ(p.core.shared.tracknumber, 0);
}

// Previous in shuffle order steps back through List5, mirroring nextsong.
TEST(PreviousShuffled, StepsOnePositionBackInTheOrder) {
  for (int loop : {0, 1}) {  // rules b and d
    Playback p(4, loop, 1);
    p.shuffleOrder({2, 0, 3, 1}, 2);
    p.focus(3);
    cmdprev_Click(p.core);
    EXPECT_EQ(p.engine.lastOpened(), Playback::pathOf(0));
    EXPECT_EQ(p.core.List5.listIndex(), 1);
    EXPECT_EQ(p.core.shared.tracknumber, 1);
  }
}

TEST(PreviousShuffled, AtTheStartWrapsWithLoopAndEndsWithout) {
  Playback looped(4, 1, 1);  // rule h
  looped.shuffleOrder({2, 0, 3, 1}, 0);
  looped.focus(2);
  cmdprev_Click(looped.core);
  EXPECT_EQ(looped.engine.lastOpened(), Playback::pathOf(1));
  EXPECT_EQ(looped.core.List5.listIndex(), 3);

  Playback unlooped(4, 0, 1);  // rule f
  unlooped.shuffleOrder({2, 0, 3, 1}, 0);
  unlooped.focus(2);
  cmdprev_Click(unlooped.core);
  EXPECT_EQ(unlooped.engine.lastOpened(), "");
  EXPECT_EQ(unlooped.core.shared.currenttrack, kNone);
}

TEST(PreviousShuffled, EntryZeroFocusedMidOrderStillStepsBack) {
  Playback p(4, 0, 1);
  p.shuffleOrder({2, 0, 3, 1}, 1);  // entry 0 sits at position 1
  p.focus(0);
  cmdprev_Click(p.core);
  EXPECT_EQ(p.engine.lastOpened(), Playback::pathOf(2));
}

TEST(PreviousShuffled, EmptyOrderOpensNothing) {
  Playback p(4, 1, 1);
  p.focus(2);
  cmdprev_Click(p.core);
  EXPECT_EQ(p.engine.lastOpened(), "");
  EXPECT_EQ(p.core.shared.currenttrack, kNone);
}

TEST(PreviousShuffled, NextAfterPreviousReturnsToTheSameTrack) {
  Playback p(4, 0, 1);
  p.shuffleOrder({2, 0, 3, 1}, kNone);
  p.focus(1);
  nextsong(p.core);
  nextsong(p.core);
  nextsong(p.core);  // position 2: entry 3
  cmdprev_Click(p.core);
  EXPECT_EQ(p.engine.lastOpened(), Playback::pathOf(0));
  nextsong(p.core);
  EXPECT_EQ(p.engine.lastOpened(), Playback::pathOf(3));
}

}  // namespace
}  // namespace sonavex
