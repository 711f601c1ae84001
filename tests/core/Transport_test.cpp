#include "player/core/Transport.h"

#include <gtest/gtest.h>

#include "player/core/Clock.h"
#include "tests/core/PlaybackFixture.h"

namespace sonavex {
namespace {

using testing::Playback;

TEST(Play, OpensTheFocusedEntryOrElseMarksAndOpensTheFirst) {
  Playback p(5);
  cmdplay_Click(p.core);  // nothing focused: the first plays and is marked, so the second follows
  p.expectMarked(0);
  nextsong(p.core);
  EXPECT_EQ(p.engine.lastOpened(), Playback::pathOf(1));

  p.focus(2);
  p.core.list.setSelected(4, true);
  cmdplay_Click(p.core);
  EXPECT_EQ(p.engine.lastOpened(), Playback::pathOf(2));
  EXPECT_EQ(p.core.shared.tracknumber, 3);
  EXPECT_EQ(p.core.list.listIndex2(), 2);
  EXPECT_EQ(p.core.list.selectedCount(), 2);

  Playback empty(0);
  cmdplay_Click(empty.core);
  EXPECT_EQ(empty.engine.opened, std::vector<std::string>{""});
}

TEST(Pause, TogglesPlayingAndPausedWithTimersAndSeekBarAndIgnoresOtherStates) {
  Playback p(2);
  cmdpause_Click(p.core);  // stopped: nothing
  EXPECT_TRUE(p.engine.calls.empty());

  p.playStarted(141);
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

TEST(Stop, ClearsTheTextsKeepsTheFillAndDoesNotAdvance) {
  Playback p(3, /*loop=*/1);
  p.focus(0);
  p.playStarted(185);
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

TEST(PreviousPlain, OpensAndMarksTheEntryBeforeByTheLoopBox) {
  struct Row {
    int entries, loop;
    Index focused, expected;
  };
  const Row rows[] = {
      {5, 0, 3, 2},          {5, 1, 1, 0},         {5, 0, 1, 0},
      {5, 0, 0, kNone},      // nothing further back
      {5, 1, 0, 4},          // wraps to the last entry
      {5, 1, kNone, kNone},  {5, 0, kNone, kNone}, {0, 1, kNone, kNone},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(::testing::Message() << r.entries << " entries, loop " << r.loop << ", focused "
                                      << r.focused);
    Playback p(r.entries, r.loop);
    p.focus(r.focused);
    cmdprev_Click(p.core);
    EXPECT_EQ(p.opens(), 1u);
    p.expectMarked(r.expected);
  }
}

// Previous in shuffle order steps one position back through the order, mirroring nextsong.
TEST(PreviousShuffled, StepsBackWrapsWithLoopAndEndsWithout) {
  struct Row {
    int loop;
    std::vector<Index> order;
    Index position, focused, expected, newPosition;
  };
  const Row rows[] = {
      {0, {2, 0, 3, 1}, 2, 3, 0, 1},
      {1, {2, 0, 3, 1}, 2, 3, 0, 1},
      {0, {2, 0, 3, 1}, 1, 0, 2, 0},  // entry 0 focused mid-order still steps back
      {1, {2, 0, 3, 1}, 0, 2, 1, 3},  // from the start round to the last position
      {0, {2, 0, 3, 1}, 0, 2, kNone, 0},
      {1, {}, kNone, 2, kNone, kNone},  // no order at all
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(::testing::Message() << "loop " << r.loop << ", position " << r.position
                                      << ", order of " << r.order.size());
    Playback p(4, r.loop, /*shuffle=*/1);
    p.shuffleOrder(r.order, r.position);
    p.focus(r.focused);
    cmdprev_Click(p.core);
    p.expectMarked(r.expected);
    EXPECT_EQ(p.core.List5.listIndex(), r.newPosition);
  }
}

TEST(PreviousShuffled, NextAfterPreviousReturnsToTheSameTrack) {
  Playback p(4, 0, 1);
  p.shuffleOrder({2, 0, 3, 1}, kNone);
  p.focus(1);
  for (int i = 0; i < 3; ++i) nextsong(p.core);  // position 2: entry 3
  cmdprev_Click(p.core);
  EXPECT_EQ(p.engine.lastOpened(), Playback::pathOf(0));
  nextsong(p.core);
  EXPECT_EQ(p.engine.lastOpened(), Playback::pathOf(3));
}

}  // namespace
}  // namespace sonavex
