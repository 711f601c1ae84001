#include "playlist/core/FileDrop.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/core/CommandTestKit.h"

namespace sonavex {
namespace {

using testkit::TempTree;
using testkit::TestCore;

TEST(Drop, FilesInDropOrderThenTheFoldersAudioByType) {
  TempTree t;
  const std::string f1 = t.file("loose/second.mp3");
  const std::string f2 = t.file("loose/first.wav");
  t.file("album/b.wav");
  t.file("album/cd/a.mp3");
  t.file("album/c.cda");  // only the add-folder command looks for these
  TestCore c;
  filedragging(c.core, {f1, f2, t.path("album")});
  EXPECT_EQ(c.paths(), (std::vector<std::string>{f1, f2, t.path("album/cd/a.mp3"), t.path("album/b.wav")}));
  EXPECT_EQ(c.names()[1], "2   first.wav");
}

TEST(Drop, DropsAFileAgainWithTheNextNumber) {
  TempTree t;
  const std::string song = t.file("song.mp3");
  TestCore c;
  for (int i = 0; i < 9; ++i) c.core.list.appendEntry(song);
  filedragging(c.core, {song});
  EXPECT_EQ(c.core.list.count(), 10);
  EXPECT_EQ(c.core.list.displayName(9), "10   song.mp3");
}

TEST(DropClassification, TheFileSystemDecidesForNamesThatExist) {
  TempTree t;
  const std::string flac = t.file("song.flac");
  const std::string noExt = t.file("README");
  t.file("Vol.001/inside.mp3");
  TestCore c;
  filedragging(c.core, {flac, noExt, t.path("Vol.001")});
  EXPECT_EQ(c.paths(), (std::vector<std::string>{flac, noExt, t.path("Vol.001/inside.mp3")}));
}

TEST(DropClassification, TheNamesShapeDecidesOnlyForNamesThatDoNotExist) {
  TempTree t;
  TestCore c;
  filedragging(c.core, {t.path("gone.mp3"), t.path("gone.flac"), t.path("gonefolder"), "q9/", "ab", "", "/x."});
  EXPECT_EQ(c.paths(), std::vector<std::string>{t.path("gone.mp3")});
  EXPECT_TRUE(c.messages.shown.empty());
}

TEST(DropClassification, ALinkToAFolderIsAFolder) {
  TempTree t;
  t.file("real/in.ogg");
  const std::string link = t.link(t.path("real"), "link.abc");
  TestCore c;
  filedragging(c.core, {link});
  EXPECT_EQ(c.paths(), std::vector<std::string>{link + "/in.ogg"});
}

TEST(Drop, BusyPointerOnlyWhileAFolderIsScanned) {
  TempTree t;
  const std::string f = t.file("a.mp3");
  TestCore files;
  filedragging(files.core, {f, f});
  EXPECT_TRUE(files.busy.changes.empty());
  TestCore folders;
  filedragging(folders.core, {t.root(), f, t.root()});
  EXPECT_EQ(folders.busy.changes, (std::vector<bool>{true, false, true, false}));
}

TEST(DropShuffle, OneRebuildAfterTheLastItemCoveringTheGrownPlaylist) {
  TempTree t;
  std::vector<std::string> dropped;
  for (int i = 0; i < 5; ++i) dropped.push_back(t.file(std::to_string(i) + ".mp3"));
  TestCore c;
  c.add({"/x.mp3", "/y.mp3"});
  c.core.chkshuffle = 1;
  c.core.List5.append(1);
  c.core.List5.setListIndex(0);
  // Draws 0, 1, 2, ... of 7: one rebuild over seven entries takes exactly seven draws.
  c.rng.script = [](long n) { return (static_cast<double>(n % 7) + 0.5) / 7.0; };
  filedragging(c.core, dropped);
  EXPECT_EQ(c.rng.draws, 7);
  EXPECT_EQ(c.core.List5.entries(), (std::vector<Index>{0, 1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(c.core.List5.listIndex(), kNone);
}

TEST(Drop, OddNamesAreKeptByteForByte) {
  TempTree t;
  const std::vector<std::string> names{t.file("-dash.mp3"), t.file("line\nbreak.mp3"), t.file("\xc3\x28 bad.wma"),
                                       t.file(std::string(251, 'q') + ".mp3")};
  TestCore c;
  filedragging(c.core, names);
  EXPECT_EQ(c.paths(), names);
}

}  // namespace
}  // namespace sonavex
