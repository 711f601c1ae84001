#include "playlist/core/ListActions.h"

#include <limits>

#include <gtest/gtest.h>

#include "tests/core/PlaybackFixture.h"

namespace sonavex {
namespace {

using testing::Playback;

constexpr int kRight = 39;
constexpr int kLeft = 37;

TEST(DoubleClick, PlaysTheFocusedEntryAndResetsTheFill) {
  Playback p(5);
  p.focus(3);
  p.core.list.setSelected(1, true);
  p.core.face.progVisible = false;
  p.core.face.imgprogWidth = 120;
  cpvcoollist2_DblClick(p.core);
  EXPECT_EQ(p.engine.opened, std::vector<std::string>{Playback::pathOf(3)});
  EXPECT_EQ(p.core.shared.currenttrack, 3);
  EXPECT_EQ(p.core.shared.tracknumber, 4);
  EXPECT_EQ(p.core.list.listIndex1(), 3);
  EXPECT_TRUE(p.core.face.progVisible);
  EXPECT_EQ(p.core.face.imgprogWidth, 0);
  EXPECT_EQ(p.core.list.selectedCount(), 2) << "the selection stays as the double click made it";
}

// A track of 100 s: one twenty-fifth is 4 s.
struct Keys : ::testing::Test {
  Playback p{5};
  void press(int key, Index focused, double position) {
    p.focus(focused);
    p.engine.durationValue = 100;
    p.engine.positionValue = position;
    p.core.shared.lastkey = key;
    keyboardscroll(p.core);
  }
};

TEST_F(Keys, RightJumpsForwardAndMovesTheSelectionBackUp) {
  press(kRight, 2, 10);
  EXPECT_EQ(p.engine.positionValue, 14);
  EXPECT_TRUE(p.core.list.isSelected(1));
  EXPECT_FALSE(p.core.list.isSelected(2));
}

TEST_F(Keys, RightOnTheLastEntryStillSeeks) {
  press(kRight, 4, 50);
  EXPECT_EQ(p.engine.positionValue, 54);
  EXPECT_TRUE(p.core.list.isSelected(3));
}

TEST_F(Keys, RightDoesNothingOnTheFirstEntryOrNearTheEnd) {
  press(kRight, 0, 10);
  EXPECT_EQ(p.engine.positionValue, 10);
  press(kRight, 2, 96);
  EXPECT_EQ(p.engine.positionValue, 96);
  EXPECT_TRUE(p.core.list.isSelected(2));
}

TEST_F(Keys, LeftJumpsBackAndMovesTheSelectionBackDown) {
  press(kLeft, 1, 10);
  EXPECT_EQ(p.engine.positionValue, 6);
  EXPECT_TRUE(p.core.list.isSelected(2));
  EXPECT_FALSE(p.core.list.isSelected(1));
}

TEST_F(Keys, LeftDoesNothingOnTheLastEntryOrNearTheStart) {
  press(kLeft, 4, 50);
  EXPECT_EQ(p.engine.positionValue, 50);
  press(kLeft, 1, 4);
  EXPECT_EQ(p.engine.positionValue, 4);
  EXPECT_TRUE(p.core.list.isSelected(1));
}

TEST_F(Keys, OtherKeysAndNoTrackDoNothing) {
  press(46, 2, 10);  // Delete
  press(38, 2, 10);  // Up
  EXPECT_TRUE(p.engine.calls.empty());
  p.focus(2);
  p.engine.durationValue = 0;
  p.engine.positionValue = 0;
  for (int key : {kLeft, kRight}) {
    p.core.shared.lastkey = key;
    keyboardscroll(p.core);
  }
  EXPECT_TRUE(p.engine.calls.empty());
  EXPECT_TRUE(p.core.list.isSelected(2));
}

TEST(RowUnderPointer, TheRowThePointerIsOn) {
  EXPECT_EQ(rowUnderPointer(2 * 13 + 10, 0, 5), 2);  // lower half of the third row
  EXPECT_EQ(rowUnderPointer(2 * 13 + 3, 0, 5), 2);   // upper half of the same row
  EXPECT_EQ(rowUnderPointer(3, 0, 5), 0);            // upper half of the first row
  EXPECT_EQ(rowUnderPointer(0, 0, 5), 0);
  EXPECT_EQ(rowUnderPointer(12.99, 0, 5), 0);
  EXPECT_EQ(rowUnderPointer(13, 0, 5), 1);
}

TEST(RowUnderPointer, CountsFromTheTopVisibleRow) {
  EXPECT_EQ(rowUnderPointer(3, 40000, 40010), 40000);
  EXPECT_EQ(rowUnderPointer(9 * 13 + 1, 40000, 40010), 40009);
}

TEST(RowUnderPointer, OutsideTheRowsIsNone) {
  EXPECT_EQ(rowUnderPointer(5 * 13, 0, 5), kNone);  // below the last entry
  EXPECT_EQ(rowUnderPointer(1, 0, 0), kNone);       // empty list
  EXPECT_EQ(rowUnderPointer(-0.5, 0, 5), kNone);
  EXPECT_EQ(rowUnderPointer(std::numeric_limits<double>::quiet_NaN(), 0, 5), kNone);
  EXPECT_EQ(rowUnderPointer(std::numeric_limits<double>::infinity(), 0, 5), kNone);
  EXPECT_EQ(rowUnderPointer(1e30, 0, 5), kNone);
}

TEST(SelectionTooltip, NamesTheFocusedEntry) {
  Playback p(3);
  p.focus(1);
  EXPECT_EQ(selectionTooltip(p.core.list), "selected song: 2   t1.mp3");
  p.focus(kNone);
  EXPECT_EQ(selectionTooltip(p.core.list), "selected song: ");
}

}  // namespace
}  // namespace sonavex
