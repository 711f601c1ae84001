#include "playlist/core/FileDrop.h"

#include <gtest/gtest.h>

#include "tests/core/CommandTestKit.h"

namespace sonavex {
namespace {

using testkit::TempTree;
using testkit::TestCore;
using Paths = std::vector<std::string>;

TEST(Drop, ItemsInDropOrderFoldersGivingTheirAudioByType) {
  TempTree t;
  const std::string f1 = t.file("loose/second.mp3"), f2 = t.file("loose/first.wav");
  t.file("album/b.wav");
  t.file("album/cd/a.mp3");
  t.file("album/c.cda");  // only the add-folder command looks for these
  TestCore c;
  for (int i = 0; i < 8; ++i) c.core.list.appendEntry(f1);
  filedragging(c.core, {f1, t.path("album"), f2});
  const Paths all = c.paths();
  EXPECT_EQ(Paths(all.begin() + 8, all.end()),
            (Paths{f1, t.path("album/cd/a.mp3"), t.path("album/b.wav"), f2}));
  EXPECT_EQ(c.names()[8], "9   second.mp3");
  EXPECT_EQ(c.names()[11], "12   first.wav");
}

TEST(DropClassification, TheFileSystemDecidesAndTheNamesShapeOnlyForNamesThatDoNotExist) {
  TempTree t;
  const std::string flac = t.file("song.flac"), noExt = t.file("README");
  t.file("Vol.001/inside.mp3");
  t.file("real/in.ogg");
  const std::string folderLink = t.link(t.path("real"), "link.abc");
  TestCore c;
  filedragging(c.core, {flac, noExt, t.path("Vol.001"), folderLink,
                        // missing: "x.abc" is a file, anything else a folder that scans to nothing
                        t.path("gone.mp3"), t.path("gone.flac"), t.path("gonefolder"), "q9/", "ab", "", "/x."});
  EXPECT_EQ(c.paths(), (Paths{flac, noExt, t.path("Vol.001/inside.mp3"), folderLink + "/in.ogg", t.path("gone.mp3")}));
  EXPECT_TRUE(c.messages.shown.empty());
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
  Paths dropped;
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
  const Paths names{t.file("-dash.mp3"), t.file("line\nbreak.mp3"), t.file("\xc3\x28 bad.wma"),
                    t.file(std::string(251, 'q') + ".mp3")};
  TestCore c;
  filedragging(c.core, names);
  EXPECT_EQ(c.paths(), names);
}

}  // namespace
}  // namespace sonavex
