#include "playlist/core/PlaylistModel.h"

#include <gtest/gtest.h>

namespace sonavex {
namespace {

TEST(DisplayName, NumbersAtAppendAndTakesTheTextAfterTheLastSeparator) {
  PlaylistModel m;
  for (int i = 0; i < 4; ++i) m.appendEntry("/x/y" + std::to_string(i));
  m.appendEntry("/music/Best Of/a b.mp3");
  m.appendEntry("plain.mp3");
  m.appendEntry("/music/dir/");
  EXPECT_EQ(m.displayName(4), "5   a b.mp3");
  EXPECT_EQ(m.displayName(5), "6   plain.mp3");
  EXPECT_EQ(m.displayName(6), "7   ");
  // The file name part starts after the first three spaces only.
  EXPECT_EQ(fileNamePartOf("12   a   b.mp3"), "a   b.mp3");
  EXPECT_EQ(fileNamePartOf("3   "), "");
}

TEST(MarkEntry, SelectsExactlyThatEntryOrNone) {
  PlaylistModel m;
  for (int i = 0; i < 5; ++i) m.appendEntry("/p" + std::to_string(i));
  m.setSelected(1, true);
  m.setSelected(3, true);
  m.markEntry(2);
  EXPECT_EQ(m.selectedCount(), 1);
  EXPECT_TRUE(m.isSelected(2));
  EXPECT_EQ(m.listIndex1(), 2);
  EXPECT_EQ(m.listIndex2(), 2);
  m.markEntry(kNone);
  EXPECT_EQ(m.selectedCount(), 0);
  EXPECT_EQ(m.listIndex1(), kNone);
  EXPECT_EQ(m.listIndex2(), kNone);
}

TEST(Indexes, HoldMoreThan32767Entries) {
  PlaylistModel m;
  for (int i = 0; i < 40000; ++i) m.appendEntry("/a.mp3");
  EXPECT_EQ(m.displayName(39999), "40000   a.mp3");
  m.markEntry(39999);
  EXPECT_EQ(m.listIndex2(), 39999);
}

}  // namespace
}  // namespace sonavex
