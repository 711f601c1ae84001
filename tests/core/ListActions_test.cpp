#include "playlist/core/ListActions.h"

#include <limits>

#include <gtest/gtest.h>

#include "tests/core/PlaybackFixture.h"

namespace sonavex {
namespace {

using testing::Playback;

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

// The arrow keys seek by a twenty-fifth of the track and undo the focus move the key made.
TEST(SeekKeys, JumpOnlyWithRoomInTheTrackAndAnEntryToGoBackTo) {
  constexpr int kLeft = 37, kRight = 39, kUp = 38, kDelete = 46;
  const struct {
    int key;
    Index focused;
    double duration, position, newPosition;
    Index selected;
  } rows[] = {
      {kRight, 2, 100, 10, 14, 1}, {kRight, 4, 100, 50, 54, 3},
      {kRight, 0, 100, 10, 10, 0},  // first entry: nothing to undo
      {kRight, 2, 100, 96, 96, 2},  // no room before the end
      {kLeft, 1, 100, 10, 6, 2},    {kLeft, 4, 100, 50, 50, 4},  // last entry
      {kLeft, 1, 100, 4, 4, 1},     // no room after the start
      {kRight, 2, 0, 0, 0, 2},      {kLeft, 2, 0, 0, 0, 2},  // no track
      {kUp, 2, 100, 10, 10, 2},     {kDelete, 2, 100, 10, 10, 2},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(::testing::Message() << "key " << r.key << " on entry " << r.focused << " at "
                                      << r.position << " of " << r.duration);
    Playback p(5);
    p.focus(r.focused);
    p.engine.durationValue = r.duration;
    p.engine.positionValue = r.position;
    p.core.shared.lastkey = r.key;
    keyboardscroll(p.core);
    EXPECT_EQ(p.engine.positionValue, r.newPosition);
    EXPECT_EQ(p.core.list.selectedCount(), 1);
    EXPECT_TRUE(p.core.list.isSelected(r.selected));
  }
}

TEST(RowUnderPointer, TheRowThePointerIsOnCountedFromTheTopRowOrNone) {
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  constexpr double kInf = std::numeric_limits<double>::infinity();
  const struct {
    double y;
    Index top, count, row;
  } rows[] = {
      {2 * 13 + 10, 0, 5, 2},  // lower half of the third row
      {2 * 13 + 3, 0, 5, 2},   // upper half of the same row
      {3, 0, 5, 0},  {0, 0, 5, 0},  {12.99, 0, 5, 0},  {13, 0, 5, 1},
      {3, 40000, 40010, 40000},     {9 * 13 + 1, 40000, 40010, 40009},
      {5 * 13, 0, 5, kNone},  // below the last entry
      {1, 0, 0, kNone},       {-0.5, 0, 5, kNone},  {kNaN, 0, 5, kNone},
      {kInf, 0, 5, kNone},    {1e30, 0, 5, kNone},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(rowUnderPointer(r.y, r.top, r.count), r.row) << "y " << r.y << ", top " << r.top;
  }
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
