#include "commands/core/FindFiles.h"

#include <fcntl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "tests/core/CommandTestKit.h"

namespace sonavex {
namespace {

using testkit::TempTree;
using testkit::TestCore;
using Paths = std::vector<std::string>;

bool contains(const Paths& paths, const std::string& p) {
  return std::find(paths.begin(), paths.end(), p) != paths.end();
}

std::string errorText(int error) { return "Error: " + std::to_string(error) + " - " + std::strerror(error); }

struct Scan {
  TestCore c;
  ScanCounts counts;
  explicit Scan(const std::string& folder, const std::vector<std::string>& patterns = addFolderPatterns()) {
    scanFolderTree(c.core, folder, patterns, counts);
  }
  Paths paths() const { return c.paths(); }
};

TEST(PatternMatch, IgnoresCaseAndNeedsTheWholeExtension) {
  const struct {
    const char *name, *pattern;
    bool matches;
  } rows[] = {
      {"song.mp3", "*.mp3", true},  {"SONG.Mp3", "*.mp3", true},   {"a.b.c.mp3", "*.mp3", true},
      {".mp3", "*.mp3", true},      {"x.mp3.mp3", "*.mp3", true},  {"song.mp3x", "*.mp3", false},
      {"song.mp", "*.mp3", false},  {"mp3", "*.mp3", false},       {"song_mp3", "*.mp3", false},
      {"a1.wav", "a?.wav", true},   {"a12.wav", "a?.wav", false},  {"anything", "*", true},
  };
  for (const auto& row : rows) EXPECT_EQ(matchesPattern(row.name, row.pattern), row.matches) << row.name << " ~ " << row.pattern;
}

TEST(FolderScan, PatternByPatternEachFolderInNameOrderItsFilesBeforeItsSubfolders) {
  TempTree t;
  // Made out of name order, and enough of them that the listing order is not name order either.
  for (const char* f : {"track2.mp3", "B.mp3", "track10.mp3", "C.wma", "a.mp3", "b.wma", "z.wav", "sub10/x.mp3",
                        "Sub2/x.mp3", "sub1/deep/deeper/3.mp3", "sub1/x.wma", "sub1/deep/2.mp3", "sub1/1.mp3",
                        "Sub3/x.mp3", "sub0/x.mp3"})
    t.file(f);
  for (int i = 0; i < 20; ++i) t.file("n" + std::to_string(10 + i * 7 % 20) + ".mp3");
  // Case folded, digits as text: the order of the sort-by-name command.
  Paths want{"a.mp3", "B.mp3"};
  for (int n = 10; n < 30; ++n) want.push_back("n" + std::to_string(n) + ".mp3");
  for (const char* f : {"track10.mp3", "track2.mp3", "sub0/x.mp3", "sub1/1.mp3", "sub1/deep/2.mp3",
                        "sub1/deep/deeper/3.mp3", "sub10/x.mp3", "Sub2/x.mp3", "Sub3/x.mp3", "b.wma", "C.wma",
                        "sub1/x.wma", "z.wav"})
    want.push_back(f);
  for (auto& f : want) f = t.path(f);
  const Scan s(t.root());
  EXPECT_EQ(s.paths(), want);
  EXPECT_EQ(s.c.core.list.displayName(1), "2   B.mp3");
  EXPECT_EQ(s.counts.FileCount, static_cast<Index>(want.size()));
  EXPECT_EQ(s.counts.DirCount, 7);
}

TEST(FolderScan, FindsTheEngineFormatsAfterTheListedOnes) {
  TempTree t;
  for (const char* f : {"d.m4a", "c.opus", "b.ogg", "a.flac", "e.cda", "f.mid", "g.asf"}) t.file(f);  // .asf: dialog only
  EXPECT_EQ(Scan(t.root()).paths(), (Paths{t.path("f.mid"), t.path("e.cda"), t.path("a.flac"), t.path("b.ogg"),
                                           t.path("c.opus"), t.path("d.m4a")}));
  EXPECT_EQ(Scan(t.root(), dropFolderPatterns()).paths(),
            (Paths{t.path("f.mid"), t.path("a.flac"), t.path("b.ogg"), t.path("c.opus"), t.path("d.m4a")}));
}

TEST(FolderScan, VisitsEverySubfolderEvenAfterOneNamedUnderscore) {
  TempTree t;
  for (const char* d : {"_", "0", "1", "2", "zz", "~", "_/x"}) t.file(std::string(d) + "/in.mp3");
  const Scan s(t.root());
  EXPECT_EQ(s.c.core.list.count(), 7);
  EXPECT_TRUE(contains(s.paths(), t.path("_/x/in.mp3")));
}

TEST(FolderScan, TrailingSlashOrNotGivesTheSameEntries) {
  TempTree t;
  t.file("s/a.mp3");
  EXPECT_EQ(Scan(t.root()).paths(), Paths{t.path("s/a.mp3")});  // no doubled "/"
  EXPECT_EQ(Scan(t.root() + "/").paths(), Paths{t.path("s/a.mp3")});
}

TEST(FolderScan, FollowsLinksToFoldersOncePerRealFolder) {
  TempTree t, outside;
  outside.file("o.mp3");
  t.file("music/a.mp3");
  t.link(t.root(), "music/up");           // back to an ancestor
  t.link(t.path("music"), "music/self");  // to itself
  t.link(outside.root(), "ext1");          // elsewhere, reached twice
  t.link(outside.root(), "ext2");
  const Paths p = Scan(t.root()).paths();
  ASSERT_EQ(p.size(), 2u);
  EXPECT_EQ(std::count(p.begin(), p.end(), t.path("music/a.mp3")), 1);
  EXPECT_EQ(std::count_if(p.begin(), p.end(), [](const std::string& s) { return fileNameOf(s) == "o.mp3"; }), 1);
}

TEST(FolderScan, LinksToFilesAreFilesAndBrokenLinksDoNotStopTheScan) {
  TempTree t;
  t.link(t.file("real.wav"), "alias.mp3");
  t.link(t.path("gone"), "broken.mp3");
  t.file("z/after.mp3");
  const Scan s(t.root());
  EXPECT_TRUE(contains(s.paths(), t.path("alias.mp3")));
  EXPECT_TRUE(contains(s.paths(), t.path("z/after.mp3")));
  EXPECT_TRUE(s.c.messages.shown.empty());
}

TEST(FolderScan, MissingEmptyOrNoFolderAddsNothingAndSaysNothing) {
  TempTree t;
  t.dir("empty");
  t.file("nomusic/readme.txt");
  for (const auto& f : {t.path("empty"), t.path("nomusic"), t.path("missing"), t.path("nomusic/readme.txt")}) {
    const Scan s(f);
    EXPECT_EQ(s.c.core.list.count(), 0) << f;
    EXPECT_TRUE(s.c.messages.shown.empty()) << f;
  }
}

TEST(FolderScan, EmptyNameIsNotTheRootFolder) {
  const Scan s("");
  EXPECT_EQ(s.c.core.list.count(), 0);
  TestCore c;
  std::string path;
  Index files = 0, dirs = 0;
  EXPECT_EQ(FindFiles(c.core, path, "*", files, dirs), 0u);
  EXPECT_EQ(c.core.list.count(), 0);
  EXPECT_EQ(dirs, 0);
}

TEST(FolderScan, OddNamesArriveByteForByte) {
  TempTree t;
  const Paths names{"odd/with space.mp3", "odd/-leading dash.mp3", "odd/many.dots.in.it.mp3", "odd/new\nline.mp3",
                    "odd/bad \xff\xfe utf8.mp3", "odd/" + std::string(251, 'n') + ".mp3",
                    std::string(255, 'd') + "/deep.mp3"};
  for (const auto& n : names) t.file(n);
  const Scan s(t.root());
  ASSERT_EQ(s.c.core.list.count(), 7);
  for (const auto& n : names) EXPECT_TRUE(contains(s.paths(), t.path(n))) << n;
}

TEST(FolderScanErrors, UnreadableFoldersReportOnceEachAndTheScanGoesOn) {
  TempTree t;
  t.file("a.mp3");
  t.file("open/b.mp3");
  for (const char* locked : {"locked1", "locked2", "locked3"}) {
    t.file(std::string(locked) + "/hidden.mp3");
    chmod(t.path(locked).c_str(), 0);
  }
  const std::string out = testkit::runUnprivileged(t.root(), [&] {
    const Scan s(t.root());
    std::string report = std::to_string(s.c.core.list.count()) + "\n";
    for (const auto& m : s.c.messages.shown) {
      const bool shape = m.title == "Sonavex" && m.buttons == MsgButtons::Ok && m.icon == MsgIcon::Information;
      report += (shape ? "ok|" : "bad|") + m.text + "\n";
    }
    return report;
  });
  if (out == testkit::kCannotDropRights) GTEST_SKIP() << "needs an unprivileged user";
  const std::string line = "ok|" + errorText(EACCES) + "\n";
  EXPECT_EQ(out, "2\n" + line + line + line);
}

TEST(FolderScanErrors, PathTooLongIsReportedAndTheNextFolderIsScanned) {
  TempTree t;
  // A chain of folders whose full path passes the system's path limit, made and removed by handle.
  const std::string component(200, 'p');
  std::vector<int> fds{open(t.dir("long").c_str(), O_DIRECTORY)};
  for (int depth = 0; depth < 25; ++depth) {
    ASSERT_GE(fds.back(), 0);
    ASSERT_EQ(mkdirat(fds.back(), component.c_str(), 0755), 0);
    fds.push_back(openat(fds.back(), component.c_str(), O_DIRECTORY));
  }
  t.file("zz/after.mp3");
  t.file("long/first.mp3");
  const Scan s(t.root());
  ASSERT_EQ(s.c.messages.shown.size(), 1u);
  EXPECT_EQ(s.c.messages.shown[0].text, errorText(ENAMETOOLONG));
  EXPECT_TRUE(contains(s.paths(), t.path("zz/after.mp3")));
  EXPECT_TRUE(contains(s.paths(), t.path("long/first.mp3")));
  for (std::size_t i = fds.size() - 1; i-- > 0;) {
    unlinkat(fds[i], component.c_str(), AT_REMOVEDIR);
    close(fds[i + 1]);
  }
  close(fds[0]);
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
  EXPECT_EQ(c.paths(), (Paths{t.path("one.MP3"), t.path("s/two.mp3")}));
}

}  // namespace
}  // namespace sonavex
