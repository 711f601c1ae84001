#include "commands/core/FindFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "tests/core/CommandTestKit.h"

namespace sonavex {
namespace {

using testkit::TempTree;
using testkit::TestCore;

Index positionOf(const std::vector<std::string>& paths, const std::string& p) {
  const auto it = std::find(paths.begin(), paths.end(), p);
  return it == paths.end() ? kNone : static_cast<Index>(it - paths.begin());
}

TEST(PatternMatch, IgnoresCaseAndNeedsTheWholeExtension) {
  EXPECT_TRUE(matchesPattern("song.mp3", "*.mp3"));
  EXPECT_TRUE(matchesPattern("SONG.Mp3", "*.mp3"));
  EXPECT_TRUE(matchesPattern("a.b.c.mp3", "*.mp3"));
  EXPECT_TRUE(matchesPattern(".mp3", "*.mp3"));
  EXPECT_FALSE(matchesPattern("song.mp3x", "*.mp3"));
  EXPECT_FALSE(matchesPattern("song.mp", "*.mp3"));
  EXPECT_FALSE(matchesPattern("mp3", "*.mp3"));
  EXPECT_FALSE(matchesPattern("song_mp3", "*.mp3"));
  EXPECT_TRUE(matchesPattern("a1.wav", "a?.wav"));
  EXPECT_FALSE(matchesPattern("a12.wav", "a?.wav"));
  EXPECT_TRUE(matchesPattern("anything", "*"));
  EXPECT_TRUE(matchesPattern("x.mp3.mp3", "*.mp3"));
}

TEST(FolderScan, AppendsPatternByPatternInPreOrder) {
  TempTree t;
  t.file("x.mp3");
  t.file("sub/y.mp3");
  t.file("z.wav");
  TestCore c;
  ScanCounts counts;
  scanFolderTree(c.core, t.root(), addFolderPatterns(), counts);
  EXPECT_EQ(c.paths(), (std::vector<std::string>{t.path("x.mp3"), t.path("sub/y.mp3"), t.path("z.wav")}));
  EXPECT_EQ(c.core.list.displayName(1), "2   y.mp3");
  EXPECT_EQ(counts.FileCount, 3);
  EXPECT_EQ(counts.DirCount, 1);
}

TEST(FolderScan, FilesOfAFolderComeBeforeItsSubfoldersAndEachSubtreeStaysTogether) {
  TempTree t;
  t.file("a/1.mp3");
  t.file("a/deep/2.mp3");
  t.file("a/deep/deeper/3.mp3");
  t.file("b/4.mp3");
  t.file("b/5.wma");
  t.file("top.mp3");
  TestCore c;
  ScanCounts counts;
  scanFolderTree(c.core, t.root(), addFolderPatterns(), counts);
  const auto p = c.paths();
  ASSERT_EQ(p.size(), 6u);
  EXPECT_EQ(p[0], t.path("top.mp3"));
  const Index a = positionOf(p, t.path("a/1.mp3"));
  EXPECT_EQ(positionOf(p, t.path("a/deep/2.mp3")), a + 1);
  EXPECT_EQ(positionOf(p, t.path("a/deep/deeper/3.mp3")), a + 2);
  EXPECT_EQ(p.back(), t.path("b/5.wma"));  // the only .wma comes after every .mp3
}

TEST(FolderScan, FindsTheEngineFormatsAfterTheListedOnes) {
  TempTree t;
  t.file("d.m4a");
  t.file("c.opus");
  t.file("b.ogg");
  t.file("a.flac");
  t.file("e.cda");
  t.file("f.mid");
  t.file("g.asf");  // offered by the file dialog, not searched for
  TestCore dir;
  ScanCounts counts;
  scanFolderTree(dir.core, t.root(), addFolderPatterns(), counts);
  EXPECT_EQ(dir.paths(), (std::vector<std::string>{t.path("f.mid"), t.path("e.cda"), t.path("a.flac"),
                                                   t.path("b.ogg"), t.path("c.opus"), t.path("d.m4a")}));
  TestCore drop;
  scanFolderTree(drop.core, t.root(), dropFolderPatterns(), counts);
  EXPECT_EQ(drop.paths(), (std::vector<std::string>{t.path("f.mid"), t.path("a.flac"), t.path("b.ogg"),
                                                    t.path("c.opus"), t.path("d.m4a")}));
}

TEST(FolderScan, VisitsEverySubfolderEvenAfterOneNamedUnderscore) {
  TempTree t;
  for (const char* d : {"_", "0", "1", "2", "zz", "~"}) t.file(std::string(d) + "/in.mp3");
  t.file("_/x/in.mp3");
  TestCore c;
  ScanCounts counts;
  scanFolderTree(c.core, t.root(), addFolderPatterns(), counts);
  EXPECT_EQ(c.core.list.count(), 7);
  EXPECT_NE(positionOf(c.paths(), t.path("_/x/in.mp3")), kNone);
}

TEST(FolderScan, TrailingSlashOrNotGivesTheSameEntries) {
  TempTree t;
  t.file("s/a.mp3");
  TestCore plain, slashed;
  ScanCounts counts;
  scanFolderTree(plain.core, t.root(), addFolderPatterns(), counts);
  scanFolderTree(slashed.core, t.root() + "/", addFolderPatterns(), counts);
  EXPECT_EQ(plain.paths(), slashed.paths());
  EXPECT_EQ(plain.paths(), std::vector<std::string>{t.path("s/a.mp3")});  // no doubled "/"
}

TEST(FolderScan, FollowsLinksToFoldersOncePerRealFolder) {
  TempTree t;
  TempTree outside;
  outside.file("o.mp3");
  t.file("music/a.mp3");
  t.link(t.root(), "music/up");            // back to an ancestor
  t.link(t.path("music"), "music/self");   // to itself
  t.link(outside.root(), "ext1");           // elsewhere, reached twice
  t.link(outside.root(), "ext2");
  TestCore c;
  ScanCounts counts;
  scanFolderTree(c.core, t.root(), addFolderPatterns(), counts);
  const auto p = c.paths();
  ASSERT_EQ(p.size(), 2u);
  EXPECT_EQ(std::count(p.begin(), p.end(), t.path("music/a.mp3")), 1);
  EXPECT_EQ(std::count_if(p.begin(), p.end(), [](const std::string& s) { return fileNameOf(s) == "o.mp3"; }), 1);
}

TEST(FolderScan, LinksToFilesAreFilesAndBrokenLinksDoNotStopTheScan) {
  TempTree t;
  const std::string real = t.file("real.wav");
  t.link(real, "alias.mp3");
  t.link(t.path("gone"), "broken.mp3");
  t.file("z/after.mp3");
  TestCore c;
  ScanCounts counts;
  scanFolderTree(c.core, t.root(), addFolderPatterns(), counts);
  EXPECT_NE(positionOf(c.paths(), t.path("alias.mp3")), kNone);
  EXPECT_NE(positionOf(c.paths(), t.path("z/after.mp3")), kNone);
  EXPECT_TRUE(c.messages.shown.empty());
}

TEST(FolderScan, MissingOrEmptyFolderAddsNothingAndSaysNothing) {
  TempTree t;
  t.dir("empty");
  t.file("nomusic/readme.txt");
  TestCore c;
  ScanCounts counts;
  for (const auto& f : {t.path("empty"), t.path("nomusic"), t.path("missing"), t.path("nomusic/readme.txt")})
    scanFolderTree(c.core, f, addFolderPatterns(), counts);
  EXPECT_EQ(c.core.list.count(), 0);
  EXPECT_TRUE(c.messages.shown.empty());
}

TEST(FolderScan, EmptyNameIsNotTheRootFolder) {
  TestCore c;
  ScanCounts counts;
  scanFolderTree(c.core, "", addFolderPatterns(), counts);
  std::string path;
  Index files = 0, dirs = 0;
  EXPECT_EQ(FindFiles(c.core, path, "*", files, dirs), 0u);
  EXPECT_EQ(c.core.list.count(), 0);
  EXPECT_EQ(dirs, 0);
}

TEST(FolderScan, OddNamesArriveByteForByte) {
  TempTree t;
  const std::vector<std::string> names{"with space.mp3", "-leading dash.mp3", "many.dots.in.it.mp3",
                                       "new\nline.mp3",  "bad \xff\xfe utf8.mp3", std::string(251, 'n') + ".mp3"};
  for (const auto& n : names) t.file("odd/" + n);
  t.file(std::string(255, 'd') + "/deep.mp3");
  TestCore c;
  ScanCounts counts;
  scanFolderTree(c.core, t.root(), addFolderPatterns(), counts);
  ASSERT_EQ(c.core.list.count(), 7);
  for (const auto& n : names) EXPECT_NE(positionOf(c.paths(), t.path("odd/" + n)), kNone) << n;
  EXPECT_NE(positionOf(c.paths(), t.path(std::string(255, 'd') + "/deep.mp3")), kNone);
}

TEST(FolderScanErrors, UnreadableFoldersReportOnceEachAndTheScanGoesOn) {
  TempTree t;
  t.file("a.mp3");
  for (int i = 0; i < 30; ++i) {
    t.file("locked" + std::to_string(i) + "/hidden.mp3");
    chmod(t.path("locked" + std::to_string(i)).c_str(), 0);
  }
  t.file("open/b.mp3");
  const std::string out = testkit::runUnprivileged(t.root(), [&](int fd) {
    TestCore c;
    ScanCounts counts;
    scanFolderTree(c.core, t.root(), addFolderPatterns(), counts);
    std::string report = std::to_string(c.core.list.count()) + "\n";
    for (const auto& m : c.messages.shown) {
      const bool shape = m.title == "Sonavex" && m.buttons == MsgButtons::Ok && m.icon == MsgIcon::Information;
      report += (shape ? "ok|" : "bad|") + m.text + "\n";
    }
    testkit::writeAll(fd, report);
  });
  if (out == testkit::kCannotDropRights) GTEST_SKIP() << "needs an unprivileged user";
  const std::string expectedLine = "ok|Error: " + std::to_string(EACCES) + " - " + std::strerror(EACCES) + "\n";
  std::string expected = "2\n";
  for (int i = 0; i < 30; ++i) expected += expectedLine;
  EXPECT_EQ(out, expected);
}

// Removes a chain of nested folders too deep to be named by one path.
void removeChain(const std::string& base, const std::string& component, int depth) {
  std::vector<int> fds{open(base.c_str(), O_DIRECTORY)};
  for (int i = 0; i < depth - 1 && fds.back() >= 0; ++i) fds.push_back(openat(fds.back(), component.c_str(), O_DIRECTORY));
  for (auto it = fds.rbegin(); it != fds.rend(); ++it) {
    if (*it < 0) continue;
    unlinkat(*it, component.c_str(), AT_REMOVEDIR);
    close(*it);
  }
}

TEST(FolderScanErrors, PathTooLongIsReportedAndTheNextFolderIsScanned) {
  TempTree t;
  // Build a chain of folders whose full path passes the system's path limit.
  const std::string component(200, 'p');
  std::string rel = "long";
  t.dir(rel);
  int fd = open(t.path(rel).c_str(), O_DIRECTORY);
  ASSERT_GE(fd, 0);
  for (int depth = 0; depth < 25; ++depth) {
    ASSERT_EQ(mkdirat(fd, component.c_str(), 0755), 0);
    const int next = openat(fd, component.c_str(), O_DIRECTORY);
    close(fd);
    fd = next;
    ASSERT_GE(fd, 0);
  }
  close(fd);
  t.file("zz/after.mp3");
  t.file("long/first.mp3");
  TestCore c;
  ScanCounts counts;
  scanFolderTree(c.core, t.root(), addFolderPatterns(), counts);
  ASSERT_EQ(c.messages.shown.size(), 1u);
  EXPECT_EQ(c.messages.shown[0].text,
            "Error: " + std::to_string(ENAMETOOLONG) + " - " + std::strerror(ENAMETOOLONG));
  EXPECT_NE(positionOf(c.paths(), t.path("zz/after.mp3")), kNone);
  EXPECT_NE(positionOf(c.paths(), t.path("long/first.mp3")), kNone);
  removeChain(t.path("long"), component, 25);
}

TEST(FindFilesOnePattern, AddsSlashToTheCallersPathAndReturnsTheBytesAppended) {
  TempTree t;
  t.file("one.MP3", 100);
  t.file("s/two.mp3", 23);
  t.file("s/t/three.wav", 5000);
  t.file("u/skip.txt", 7);
  TestCore c;
  std::string path = t.root();
  Index files = 1, dirs = 2;  // counters go on from what the caller had
  EXPECT_EQ(FindFiles(c.core, path, "*.mp3", files, dirs), 123u);
  EXPECT_EQ(path, t.root() + "/");
  EXPECT_EQ(files, 3);
  EXPECT_EQ(dirs, 5);
  EXPECT_EQ(c.paths(), (std::vector<std::string>{t.path("one.MP3"), t.path("s/two.mp3")}));
}

}  // namespace
}  // namespace sonavex
