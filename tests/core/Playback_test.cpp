// Playing the list: which entry comes next or before, the transport buttons, the engine's
// notifications, the clock and the seek bar, the title marquee and the list's mouse and keys.
#include <gtest/gtest.h>

#include <limits>
#include <optional>

#include "core/CurrentTrack.h"
#include "core/Clock.h"
#include "core/Marquee.h"
#include "core/Transport.h"
#include "core/ListActions.h"
#include "core/Sequencer.h"
#include "core/Shuffle.h"
#include "tests/core/Kit.h"

namespace sonavex {
namespace {

using kit::Scene;
using Strings = std::vector<std::string>;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// Next ('n') and previous ('p') from the focused entry, by the loop box; with shuffle on they step
// through the order 2, 0, 3, 1 from the given position (kFresh: none yet; kNone: no order at all).
// Each step opens and marks one entry, or nothing at the end.
TEST(Sequence, NextAndPreviousByLoopShuffleOrderAndFocus) {
  const std::vector<Index> order{2, 0, 3, 1};
  constexpr Index kFresh = -2;
  const struct { const char* what; int entries, loop, shuffle; Index position, focused; const char* steps;
                 std::vector<Index> marked; Index newPosition; } rows[] = {
      {"to the end, nothing, then over again", 3, 0, 0, kNone, 1, "nnn", {2, kNone, 0}, kNone},
      {"loop wraps to the first", 4, 1, 0, kNone, 3, "nn", {0, 1}, kNone},
      {"one entry with loop replays it", 1, 1, 0, kNone, 0, "nnn", {0, 0, 0}, kNone},
      {"a box value neither off nor on reopens the entry", 3, 2, 0, kNone, 1, "n", {1}, kNone},
      {"indexes beyond 16 bits", 40002, 1, 0, kNone, 40000, "nn", {40001, 0}, kNone},
      {"an empty list ends", 0, 0, 0, kNone, kNone, "n", {kNone}, kNone},
      {"an empty list has nothing to wrap to", 0, 1, 0, kNone, kNone, "n", {kNone}, kNone},
      {"previous", 5, 0, 0, kNone, 3, "p", {2}, kNone},
      {"previous to the first", 5, 1, 0, kNone, 1, "p", {0}, kNone},
      {"nothing before the first", 5, 0, 0, kNone, 0, "p", {kNone}, kNone},
      {"previous wraps to the last", 5, 1, 0, kNone, 0, "p", {4}, kNone},
      {"previous without focus", 5, 1, 0, kNone, kNone, "p", {kNone}, kNone},
      {"previous on an empty list", 0, 1, 0, kNone, kNone, "p", {kNone}, kNone},
      {"shuffled visits the order once, then ends there", 4, 0, 1, kFresh, 0, "nnnnnn", {2, 0, 3, 1, kNone, kNone}, 3},
      {"shuffled with loop replays the same order", 4, 1, 1, kFresh, 0, "nnnnnn", {2, 0, 3, 1, 2, 0}, 1},
      {"shuffled previous", 4, 0, 1, 2, 3, "p", {0}, 1},
      {"shuffled previous, entry 0 focused mid-order", 4, 0, 1, 1, 0, "p", {2}, 0},
      {"shuffled previous, entry 0 focused mid-order, with loop", 4, 1, 1, 1, 0, "p", {2}, 0},
      {"shuffled previous from the start, with loop", 4, 1, 1, 0, 2, "p", {1}, 3},
      {"shuffled previous from the start", 4, 0, 1, 0, 2, "p", {kNone}, 0},
      {"shuffled without an order", 4, 1, 1, kNone, 2, "pn", {kNone, kNone}, kNone},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.what);
    Scene p(r.entries, r.loop, r.shuffle);
    if (r.position != kNone) p.shuffleOrder(order, r.position == kFresh ? kNone : r.position);
    p.focus(r.focused);
    p.core.face.marqueeTimerOn = p.core.face.clockTimerOn = true;
    p.core.face.lblsongname = p.core.face.lblctime = "0";
    std::optional<std::string> afterNext;  // two ahead, as the step before saw it (none past the end)
    for (std::size_t i = 0; i < r.marked.size(); ++i) {
      // Next opens what the engine was told follows, one and two tracks ahead.
      const std::vector<std::string> ahead = upcomingPaths(p.core, 2);
      const bool next = r.steps[i] == 'n', nextAgain = next && i > 0 && r.steps[i - 1] == 'n' && afterNext;
      next ? nextsong(p.core) : cmdprev_Click(p.core);
      if (next) {
        EXPECT_EQ(ahead.empty() ? "" : ahead[0], p.core.mp1.fileName());
      }
      EXPECT_TRUE(!nextAgain || *afterNext == p.core.mp1.fileName()) << "two ahead was " << *afterNext;
      afterNext = ahead.size() > 1 ? std::optional(ahead[1]) : std::nullopt;
      p.expectMarked(r.marked[i]);
      // At the end of the list nothing plays: no title scrolls and no clock runs.
      EXPECT_TRUE(r.marked[i] != kNone || p.face() == "|||VE") << p.face();
    }
    EXPECT_EQ(std::pair(p.opens(), p.core.List5.listIndex()), std::pair(r.marked.size(), r.newPosition));
  }
  Scene p(8);  // the focus the user moved decides, and only the new entry stays marked
  p.focus(2);
  nextsong(p.core);
  p.focus(5);
  p.core.list.setSelectionFlags({0, 1, 1, 0, 7, 1});
  EXPECT_EQ(std::pair(p.core.list.selectedCount(), p.core.list.selectionFlags()),
            std::pair(4, std::vector<std::uint8_t>{0, 1, 1, 0, 1, 1, 0, 0}));
  nextsong(p.core);
  p.expectMarked(6);
  p.core.list.setSelected(6, false);  // focus kept, nothing selected
  nextsong(p.core);
  p.expectMarked(7);
}

TEST(ShuffleOrder, IsAFreshPermutationOfEveryEntryDrawnAnewOnARepeatAndEmptyWhenOff) {
  Scene p(4, 0, /*shuffle=*/1);
  p.rng.next = {0.6, 0.1, 0.6, 0.9, 0.3};  // 2, 0, (2 again: drawn anew), 3, 1
  chkshuffle_Click(p.core);
  EXPECT_EQ(p.core.List5.entries(), (std::vector<Index>{2, 0, 3, 1}));
  EXPECT_EQ(std::pair(p.core.List5.at(4), p.core.List5.at(kNone)), std::pair(kNone, kNone));  // no such position
  for (Index n : {0, 1, 17, 40000}) {
    Scene q(n, 0, /*shuffle=*/1);
    q.shuffleOrder({0}, 0);  // stale
    chkshuffle_Click(q.core);
    EXPECT_TRUE(q.shuffleCoversList()) << n;
    EXPECT_EQ(q.core.List5.listIndex(), kNone);
  }
  p.core.chkshuffle = 0;
  chkshuffle_Click(p.core);
  EXPECT_TRUE(p.core.List5.empty());
}

TEST(Play, OpensTheFocusedEntryOrElseMarksTheFirstAndADoubleClickPlaysTheFocusedOneToo) {
  Scene p(5);
  cmdplay_Click(p.core);  // nothing focused: the first plays and is marked, so the second follows
  p.expectMarked(0);
  nextsong(p.core);
  EXPECT_EQ(p.engine.lastOpened(), Scene::pathOf(1));
  p.focus(2);
  p.core.list.setSelected(4, true);
  cmdplay_Click(p.core);  // the selection stays as the user made it
  EXPECT_EQ(std::tuple(p.engine.lastOpened(), p.core.shared.tracknumber, p.core.list.listIndex2(),
                       p.core.list.selectedCount()),
            std::tuple(Scene::pathOf(2), 3, 2, 2));
  p.focus(3);
  p.core.list.setSelected(1, true);
  p.core.face.progVisible = false;
  cpvcoollist2_DblClick(p.core);
  EXPECT_EQ(std::tuple(p.engine.lastOpened(), p.core.currenttrack, p.core.shared.tracknumber,
                       p.core.list.listIndex1(), p.core.list.selectedCount(), p.core.face.progVisible,
                       p.core.face.imgprogWidth),
            std::tuple(Scene::pathOf(3), 3, 4, 3, 2, true, 0.0));
  EXPECT_EQ(selectionTooltip(p.core.list), "selected song: 4   t3.mp3");
  Scene empty(0);
  cmdplay_Click(empty.core);
  EXPECT_EQ(empty.engine.opened, Strings{""});
}

TEST(PauseAndStop, PauseTogglesTimersAndSeekBarStopClearsTheTextsAndNeitherAdvances) {
  Scene p(2, /*loop=*/1);
  cmdpause_Click(p.core);  // stopped: nothing
  EXPECT_TRUE(p.engine.calls.empty());
  cmdplay_Click(p.core);
  p.startStream(141);
  cmdpause_Click(p.core);
  picprog_MouseUp(p.core, 50);  // a seek click while paused is ignored
  EXPECT_EQ(std::tuple(p.engine.state, p.face(), p.engine.positionValue), std::tuple(kPaused, "t0.mp3  |||V", 0.0));
  cmdpause_Click(p.core);
  picprog_MouseUp(p.core, 50);
  EXPECT_EQ(std::tuple(p.engine.state, p.face(), p.engine.positionValue),
            std::tuple(kPlaying, "t0.mp3  |||MCVE", 42.0));
  clockTick(p.core);
  const double fill = p.core.face.imgprogWidth;

  cmdstop_Click(p.core);  // the fill stays, and stop never moves on to the next track
  EXPECT_EQ(std::tuple(p.engine.state, p.opens(), p.core.currenttrack, p.face(), p.core.face.imgprogWidth),
            std::tuple(kStopped, 1u, 0, "|||VE", fill));

  cmdplay_Click(p.core);  // a new track after a pause can be seeked again
  p.startStream(100);
  cmdpause_Click(p.core);
  nextsong(p.core);
  p.startStream(100);
  EXPECT_EQ(p.face(), "t1.mp3  |||MCVE");
}

TEST(EngineNotifications, OnlyTheStoppedStateAdvancesOnceAndANewStreamShowsTheBareFileName) {
  Scene p(3, /*loop=*/1);
  p.focus(0);
  p.core.face.lblsongname = "t0.mp3  ";
  mp1_EndOfStream(p.core, 0);
  mp1_PlayStateChange(p.core, kStopped, kPlaying);
  mp1_PlayStateChange(p.core, kPlaying, kPaused);
  EXPECT_EQ(std::pair(p.opens(), p.face()), std::pair(std::size_t{0}, std::string("t0.mp3  |||VE")));
  cmdplay_Click(p.core);
  p.startStream(200);
  p.core.face.lblctime = p.core.face.lblttime = "1.2";
  p.core.face.lblsongnameTooltip = "Currently playing track is: 1";
  p.engine.raiseStreamEnded();  // end of stream, then the stopped state
  EXPECT_EQ(p.engine.opened, (Strings{Scene::pathOf(0), Scene::pathOf(1)}));
  EXPECT_EQ(p.face() + p.core.face.lblsongnameTooltip, "|||MCE");

  p.engine.open("/music/Best Of/a b.mp3");
  p.core.shared.marqueepos = 5;
  mp1_NewStream(p.core);
  EXPECT_EQ(std::tuple(p.core.shared.marqueetext, p.face() + p.core.face.lbltmp1, p.core.shared.marqueepos),
            std::tuple("a b.mp3    ", "a b.mp3  |||MCVEa b.mp3  ", 0));
}

TEST(Clock, FormatMinutesRoundsHalfToEvenInTheShortestForm) {
  const struct { double seconds; const char *separator, *text; } rows[] = {
      {185, ".", "3.08"}, {90, ".", "1.5"},  {60, ".", "1"},      {0, ".", "0"},
      {3, ".", "0.05"},   {3600, ".", "60"}, {37.5, ".", "0.62"}, {22.5, ".", "0.38"},
      {7.5, ".", "0.12"}, {59.9, ".", "1"},  {90, ",", "1,5"},    {60, ",", "1"},
      {-90, ".", "-1.5"}, {kNaN, ".", "0"},  {kInf, ".", "0"},    {1e300, ".", "0"}, {5.4e15, ".", "90000000000000"},
  };
  for (const auto& r : rows) EXPECT_EQ(formatMinutes(r.seconds, r.separator), r.text) << r.seconds << " s";
  // As a clock reads them, for screen readers.
  const std::pair<double, const char*> clock[] = {{0, "0:00"}, {65.9, "1:05"}, {188, "3:08"},
                                                  {3725, "62:05"}, {-3, "0:00"}, {kNaN, "0:00"}};
  for (const auto& [seconds, text] : clock) EXPECT_EQ(minutesAndSeconds(seconds), text) << seconds;
}

TEST(ClockAndSeekBar, TicksShowTimesAndFillEndTheTrackOnlyExactlyAtAKnownEndAndClicksSeek) {
  Scene p(3);
  p.focus(0);
  cmdplay_Click(p.core);  // stream not started: position and duration both 0
  p.core.face.imgprogWidth = 33;
  clockTick(p.core);
  EXPECT_EQ(std::tuple(p.face(), p.core.face.imgprogWidth, p.engine.state), std::tuple("|0|0|VE", 33.0, kPlaying));
  p.startStream(120);
  p.engine.positionValue = 90;
  clockTick(p.core);
  EXPECT_EQ(std::tuple(p.face(), p.core.face.imgprogWidth), std::tuple("t0.mp3  |1.5|2|MCVE", 8 + 90.0 * 141 / 120));
  p.engine.positionValue = 119.999;  // shows the same rounded time as the end, but is not it
  clockTick(p.core);
  EXPECT_EQ(p.opens(), 1u);
  p.engine.positionValue = 120;
  clockTick(p.core);
  EXPECT_EQ(std::tuple(p.engine.opened, p.core.shared.tracknumber, p.face()),
            std::tuple(Strings{Scene::pathOf(0), Scene::pathOf(1)}, 2, "|||MCE"));
  // A stop after the open would stop the new track.
  const auto& calls = p.engine.calls;
  EXPECT_LT(std::find(calls.begin(), calls.end(), "stop"),
            std::find(calls.begin(), calls.end(), "open:" + Scene::pathOf(1)));
  clockTick(p.core);  // the new stream has not started: nothing further
  EXPECT_EQ(p.opens(), 2u);

  p.startStream(141);  // clicks map the usable length of the bar; the fill's are in twips
  imgprog_MouseUp(p.core, 1200);
  EXPECT_EQ(std::tuple(p.engine.positionValue, p.core.face.imgprogWidth), std::tuple(72.0, 80.0));
  picprog_MouseUp(p.core, 8);
  EXPECT_EQ(p.engine.positionValue, 0);
  p.engine.positionValue = 7;  // ignored while the bar is disabled, or when the click is not a number
  picprog_MouseUp(p.core, kNaN);
  p.core.face.progEnabled = false;
  picprog_MouseUp(p.core, 100);
  imgprog_MouseUp(p.core, 1500);
  EXPECT_EQ(std::tuple(p.engine.positionValue, p.core.face.imgprogWidth), std::tuple(7.0, 8.0));
  p.core.face.progEnabled = true;
  picprog_MouseUp(p.core, 149);
  EXPECT_EQ(p.engine.positionValue, 141);
  clockTick(p.core);  // the tick after a seek to the end stops the track
  EXPECT_EQ(p.opens(), 3u);
}

// The arrow keys released over the list seek by a twenty-fifth of the track and leave the focus (the
// next track's origin) and the selection alone.
TEST(Seek, ArrowKeysJumpOnlyWithRoomInTheTrack) {
  constexpr int kLeft = 37, kRight = 39, kUp = 38, kSpace = 32;
  const struct { int key; Index focused; double duration, position, newPosition; } rows[] = {
      {kRight, 2, 100, 10, 14}, {kRight, 0, 100, 50, 54}, {kRight, 4, 100, 95, 99},
      {kRight, 2, 100, 96, 96},  // no room before the end
      {kLeft, 1, 100, 10, 6}, {kLeft, 4, 100, 50, 46},
      {kLeft, 1, 100, 4, 4},     // no room after the start
      {kRight, 2, 0, 0, 0}, {kLeft, 2, 0, 0, 0},  // no track
      {kUp, 2, 100, 10, 10}, {kSpace, 2, 100, 10, 10},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(::testing::Message() << "key " << r.key << " on " << r.focused << " at " << r.position);
    Scene p(5);
    p.focus(r.focused);
    p.engine.durationValue = r.duration;
    p.engine.positionValue = r.position;
    frmplaylist_KeyUp(p.core, r.key, /*inList=*/true);
    EXPECT_NEAR(p.engine.positionValue, r.newPosition, 1e-9);
    EXPECT_EQ(std::tuple(p.core.list.listIndex2(), p.core.list.selectedCount(), p.core.list.isSelected(r.focused)),
              std::tuple(r.focused, 1, true));
  }
}

TEST(RowUnderPointer, TheRowThePointerIsOnCountedFromTheTopRowOrNone) {
  const struct { double y; Index top, count, row; } rows[] = {
      {2 * 13 + 10, 0, 5, 2}, {2 * 13 + 3, 0, 5, 2},  // both halves of the third row
      {0, 0, 5, 0}, {12.99, 0, 5, 0}, {13, 0, 5, 1}, {3, 40000, 40010, 40000}, {9 * 13 + 1, 40000, 40010, 40009},
      {5 * 13, 0, 5, kNone},  // below the last entry
      {1, 0, 0, kNone}, {-0.5, 0, 5, kNone}, {kNaN, 0, 5, kNone}, {kInf, 0, 5, kNone}, {1e30, 0, 5, kNone},
  };
  for (const auto& r : rows) EXPECT_EQ(rowUnderPointer(r.y, r.top, r.count), r.row) << "y " << r.y << ", top " << r.top;
}

TEST(Marquee, CaptionRotatesCharactersLeftAndTicksCycleItAndNameTheTrackOnceItPlays) {
  const std::string utf8 = "\xC3\xA9t\xE2\x82\xAC";  // e-acute, t, euro sign
  const struct { std::string text; int p; std::string caption; } rows[] = {
      {"abc", 1, "abc"}, {"abc", 2, "bca"}, {"abc", 3, "cab"}, {"abc", 4, "abc"}, {"abc", 0, "abc"}, {"", 1, ""},
      {utf8, 2, "t\xE2\x82\xAC\xC3\xA9"}, {utf8, 3, "\xE2\x82\xAC\xC3\xA9t"}, {utf8, 4, utf8},
  };
  for (const auto& r : rows) EXPECT_EQ(marqueeCaption(r.text, r.p), r.caption) << "p = " << r.p;
  const std::string broken = "\x80\xFF" "a\xC3";  // no byte may be lost or doubled
  for (int p = 0; p < 7; ++p) EXPECT_EQ(marqueeCaption(broken, p).size(), broken.size());

  // Ticks cycle the title, count on without one, and name the track once it plays.
  Scene p(3);
  p.focus(2);
  cmdplay_Click(p.core);
  p.engine.open("/music/ab");
  p.startStream(100);
  const Strings expected = {"ab    ", "b    a", "    ab", "   ab ", "  ab  ", " ab   ",  // p = 1..6
                            "ab    ", "ab    ", "ab    ", "b    a"};                     // p = 7, 8, round again
  Strings shown;
  for (std::size_t i = 0; i < expected.size(); ++i) {
    marqueeTick(p.core);
    shown.push_back(p.core.face.lblsongname);
  }
  EXPECT_EQ(shown, expected);
  EXPECT_EQ(p.core.face.lblsongnameTooltip, "");
  p.engine.positionValue = 0.5;
  marqueeTick(p.core);
  EXPECT_EQ(p.core.face.lblsongnameTooltip, "Currently playing track is: 3");

  Scene empty(1);
  empty.core.face.lblsongname = "kept";
  empty.engine.positionValue = 3;
  std::vector<int> positions;
  for (int i = 0; i < 4; ++i) {
    marqueeTick(empty.core);
    positions.push_back(empty.core.shared.marqueepos);
  }
  EXPECT_EQ(empty.core.face.lblsongname, "kept");
  EXPECT_EQ(positions, (std::vector<int>{1, 2, 1, 2}));  // length 0: a cycle of two ticks
  EXPECT_EQ(empty.core.face.lblsongnameTooltip, "Currently playing track is: ");
}

// An error skips once, on the next tick, even before any stream, up to the end of the list; a looped
// list whose every entry fails stops with the reason instead of skipping for ever.
TEST(TrackErrors, SkipOnceOnTheNextTickAndStopWhenEveryEntryOfALoopedListFailed) {
  Scene once(2, /*loop=*/0);
  once.focus(0);
  cmdplay_Click(once.core);  // the file fails before a stream ever starts
  once.engine.raiseError();  // flagged for the next tick, and the marquee ticks: nothing else would
  EXPECT_EQ(std::tuple(once.core.face.lbltmp, once.face(), once.opens()), std::tuple("error", "|||MVE", 1u));
  marqueeTick(once.core);
  EXPECT_EQ(std::tuple(once.engine.lastOpened(), once.core.face.lbltmp), std::tuple(Scene::pathOf(1), ""));
  marqueeTick(once.core);
  EXPECT_EQ(once.opens(), 2u) << "one error skips exactly once";
  once.engine.raiseError();  // the last entry fails too
  marqueeTick(once.core);
  EXPECT_EQ(std::tuple(once.engine.lastOpened(), once.core.shared.tracknumber), std::tuple("", 0));

  constexpr const char* kNoDecoder = "no decoder for Windows Media audio";
  // Blank entries fail like tracks that cannot play; they do not end the list.
  const struct { kit::Paths entries; std::string lastReason; } rows[] = {
      {{"/m/a.wma", "/m/b.wma", "/m/c.wma"}, kNoDecoder}, {{"", "/m/b.wma", ""}, "the entry has no path"}};
  for (const auto& r : rows) {
    Scene p(0, /*loop=*/1);
    p.add(r.entries);
    cmdplay_Click(p.core);
    for (int tick = 0; tick < 100 && (tick == 0 || p.core.face.marqueeTimerOn); ++tick) {
      if (p.core.face.lbltmp.empty()) p.engine.raiseError(EngineFault::Track, kNoDecoder);
      marqueeTick(p.core);
      EXPECT_TRUE(tick > 0 || !p.core.face.lblsongnameTooltip.empty()) << "the reason shows while skipping";
    }
    EXPECT_EQ(p.opens(), 3u) << "each entry is tried once";
    EXPECT_EQ(p.face() + p.core.face.lblsongnameTooltip, std::string(kNoPlayableTrack) + "|||VE" + r.lastReason);
  }
  Scene p(3, /*loop=*/1);  // a stream that starts resets the count of failures
  cmdplay_Click(p.core);
  p.engine.raiseError();
  marqueeTick(p.core);  // 1 failed, entry 1 opened
  p.engine.raiseError();
  marqueeTick(p.core);  // 2 failed, entry 2 opened and it plays
  p.startStream(10);
  p.engine.raiseError();
  marqueeTick(p.core);  // only one failure since a stream started: on to entry 0
  EXPECT_EQ(p.engine.lastOpened(), Scene::pathOf(0));
  EXPECT_TRUE(p.core.face.marqueeTimerOn);
}

TEST(EngineErrors, NoSoundOutputStopsOnceWithAMessageAndSkipsNothing) {
  for (EngineFault fault : {EngineFault::Output, EngineFault::Engine}) {
    Scene p(2, /*loop=*/1);
    cmdplay_Click(p.core);
    p.engine.raiseError(fault, "Connection refused");
    EXPECT_EQ(std::pair(p.engine.calls.back(), p.face()), std::pair(std::string("stop"), std::string("|||VE")));
    marqueeTick(p.core);
    EXPECT_EQ(p.opens(), 1u) << "nothing is skipped";
    EXPECT_EQ(p.messages.shown,
              Strings{std::string(fault == EngineFault::Output ? "No sound output"
                                                               : "The media engine could not be started") +
                      ": Connection refused|Sonavex|Ok|Critical"});
    cmdplay_Click(p.core);  // the next play tries again
    EXPECT_EQ(p.opens(), 2u);
  }
}

}  // namespace
}  // namespace sonavex
