#include "playlist/core/PlaylistFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "tests/core/CommandTestKit.h"
#include "tests/core/FileTestKit.h"

namespace sonavex {
namespace {

namespace fs = std::filesystem;
using testkit::namesIn;
using testkit::slurp;
using V = std::vector<std::string>;

TEST(PlaylistFormat, WritesEveryPathWithCrLfAndLeavesOutPathsWithLineBreaks) {
  EXPECT_EQ(serializePlaylist({}), "");
  EXPECT_EQ(serializePlaylist({"/m/a b.c.mp3", "", "-x"}), "/m/a b.c.mp3\r\n\r\n-x\r\n");
  std::size_t leftOut = 0;
  EXPECT_EQ(serializePlaylist({"/a", "/b\nc", "/d\re", "/f"}, &leftOut), "/a\r\n/f\r\n");
  EXPECT_EQ(leftOut, 2u);
}

TEST(PlaylistFormat, CrLfLoneLfAndLoneCrEachEndOneLine) {
  const struct {
    const char* bytes;
    V lines;
  } rows[] = {{"a\r\nb\nc\rd", {"a", "b", "c", "d"}}, {"a\r\r\nb\n\n", {"a", "", "b", ""}},
              {"\n\r", {"", ""}},                      {"last", {"last"}},
              {"", {}}};
  for (const auto& r : rows) EXPECT_EQ(parsePlaylist(r.bytes), r.lines) << '"' << r.bytes << '"';
}

struct PlaylistFiles : ::testing::Test, testkit::TestCore {
  testkit::TempTree tmp;
  std::string bigFile() const {  // sparse: huge on paper, no disk space used
    const std::string big = tmp.file("big.plt");
    fs::resize_file(big, kMaxPlaylistFileBytes + 1);
    return big;
  }
};

TEST_F(PlaylistFiles, AwkwardPathsRoundTripByteForByteButANulNeverBecomesAnEntry) {
  V paths = {"/music/a song with  spaces.mp3", "/m/several.dots.in.name..mp3",
             "-leading-dash.mp3", std::string("/important.txt\0song.mp3", 23),
             "/bad\xff\xfe utf8 \xc3(.mp3", "", "/dir/", std::string(10 << 20, 'x')};
  const std::string file = tmp.path("awkward.plt");
  ASSERT_TRUE(writeFileAtomically(file, serializePlaylist(paths)));
  std::size_t refused = 0;
  ASSERT_TRUE(appendPlaylistFile(core.list, file, nullptr, &refused));
  EXPECT_EQ(refused, 1u);
  paths.erase(paths.begin() + 3);
  ASSERT_TRUE(core.list.paths() == paths);
  EXPECT_EQ(core.list.displayName(4), "5   ");
  EXPECT_EQ(core.list.displayName(2), "3   -leading-dash.mp3");
  // A blank entry survives a save and a restore byte for byte.
  ASSERT_TRUE(writeFileAtomically(file, serializePlaylist(core.list.paths())));
  std::string bytes;
  ASSERT_TRUE(readWholeFile(file, bytes));
  EXPECT_TRUE(bytes == serializePlaylist(paths));
}

TEST_F(PlaylistFiles, LoadingAppendsInOneNotificationNumberedOnFromExistingEntries) {
  struct Observer : PlaylistObserver {
    std::vector<std::pair<Index, Index>> appended;
    void entriesAppended(Index first, Index count) override { appended.emplace_back(first, count); }
    void entriesReset() override { appended.emplace_back(-1, -1); }
    void selectionChanged() override {}
  } observer;
  const std::string file = tmp.write("two.plt", "/a/x.mp3\r\n/b/y.mp3");  // no final break
  add({"/old.mp3"});
  core.list.setObserver(&observer);
  ASSERT_TRUE(appendPlaylistFile(core.list, file));
  ASSERT_TRUE(appendPlaylistFile(core.list, file));
  core.list.setObserver(nullptr);
  EXPECT_EQ(observer.appended, (std::vector<std::pair<Index, Index>>{{1, 2}, {3, 2}}));
  EXPECT_EQ(core.list.displayNames(),
            (V{"1   old.mp3", "2   x.mp3", "3   y.mp3", "4   x.mp3", "5   y.mp3"}));
}

TEST_F(PlaylistFiles, EmptyFilesAddNothingAndUnreadableOrOversizedFilesAreRefusedWhole) {
  EXPECT_TRUE(appendPlaylistFile(core.list, tmp.file("empty.plt")));
  tmp.write("many.plt", std::string(kMaxPlaylistLines + 1, '\n'));
  const struct {
    std::string path, reason;
  } refused[] = {{tmp.path("missing.plt"), "No such file"}, {tmp.root(), "directory"},
                 {tmp.path("many.plt"), "lines"},           {bigFile(), "larger"}};
  for (const auto& r : refused) {
    std::string reason;
    EXPECT_FALSE(appendPlaylistFile(core.list, r.path, &reason)) << r.path;
    EXPECT_NE(reason.find(r.reason), std::string::npos) << reason;
  }
  EXPECT_EQ(core.list.count(), 0);
}

TEST_F(PlaylistFiles, AtomicWriteReplacesContentWithUsualModeAndLeavesNoTemporaryFile) {
  const std::string file = tmp.write("p.plt", "old\r\n");
  const mode_t old = ::umask(027);
  const bool ok = writeFileAtomically(file, "new\r\n");
  ::umask(old);
  ASSERT_TRUE(ok);
  EXPECT_EQ(slurp(file), "new\r\n");
  EXPECT_EQ(fs::status(file).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_EQ(namesIn(tmp.root()), std::set<std::string>{"p.plt"});
}

TEST_F(PlaylistFiles, FailedWritesKeepTheOldFileWholeAndLeaveNothingBehind) {
  const std::string file = tmp.write("p.plt", "old\r\n");
  const std::string folder = tmp.dir("folder");
  std::string reason;
  {
    testkit::FileSizeLimit limit(4096);  // the write itself fails part way
    EXPECT_FALSE(writeFileAtomically(file, std::string(100000, 'z'), &reason));
  }
  EXPECT_FALSE(reason.empty());
  EXPECT_FALSE(writeFileAtomically(file + "/p.plt", "a\r\n"));  // below a file
  EXPECT_FALSE(writeFileAtomically(folder, "a\r\n"));           // onto a folder
  // A NUL would cut the name short and write another file.
  EXPECT_FALSE(writeFileAtomically(tmp.path("cut") + std::string("\0.plt", 5), "a\r\n"));
  EXPECT_EQ(slurp(file), "old\r\n");
  EXPECT_TRUE(fs::is_empty(folder));
  EXPECT_EQ(namesIn(tmp.root()), (std::set<std::string>{"folder", "p.plt"}));
}

TEST_F(PlaylistFiles, WriteIntoAReadOnlyFolderFailsEvenWhereTheFileItselfIsWritable) {
  const std::string file = tmp.write("ro/p.plt", "old\r\n");
  fs::permissions(file, fs::perms(0666));
  fs::permissions(tmp.path("ro"), fs::perms(0555));
  const std::string outcome = testkit::runUnprivileged(tmp.root(), [&] {
    return std::string(writeFileAtomically(file, "new\r\n") ? "written" : "refused");
  });
  if (outcome == testkit::kCannotDropRights) GTEST_SKIP() << outcome;
  EXPECT_EQ(outcome, "refused");
  EXPECT_EQ(slurp(file), "old\r\n");
}

TEST_F(PlaylistFiles, LoadAppendsAndRebuildsTheShuffleOrderWithoutPlaying) {
  add({"/old.mp3"});
  core.chkshuffle = 1;
  dialog.selection = tmp.write("list.plt", "/a.mp3\r\n/b.mp3\r\n/c.mp3\r\n");
  cmdload_Click(core);
  EXPECT_EQ(dialog.Filter, kPlaylistFilter);
  EXPECT_EQ(dialog.opened, 1);
  EXPECT_EQ(core.list.count(), 4);
  EXPECT_TRUE(shuffleCoversList());
  EXPECT_EQ(core.List5.listIndex(), kNone);
  EXPECT_EQ(core.shared.currenttrack, 0);
  EXPECT_TRUE(engine.calls.empty());
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(PlaylistFiles, LoadWithNothingToReadStillRebuildsTheShuffleOrderSilently) {
  add({"/old.mp3"});
  core.chkshuffle = 1;
  // Cancelled, a missing file, and several files chosen at once (NUL-separated).
  for (const std::string& answer : {std::string(), tmp.path("missing.plt"),
                                    tmp.path("a") + std::string("\0b\0c", 4)}) {
    core.List5.clear();
    dialog.selection = answer;
    cmdload_Click(core);
    EXPECT_EQ(core.list.count(), 1);
    EXPECT_EQ(core.List5.entries(), std::vector<Index>{0});
  }
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(PlaylistFiles, LoadTellsWhyAnExistingFileCannotBeRead) {
  dialog.selection = bigFile();
  cmdload_Click(core);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_NE(messages.shown[0].text.find(dialog.selection), std::string::npos);
  EXPECT_NE(messages.shown[0].text.find("larger"), std::string::npos);
  EXPECT_EQ(messages.shown[0].icon, MsgIcon::Information);
  EXPECT_EQ(core.list.count(), 0);
}

TEST_F(PlaylistFiles, SaveWritesTheExactBytesOrNothingOnCancelAndReportsWhatFailed) {
  add({"/m/a b.mp3", "/m/two\nlines.mp3", "/m/c.d.wav"});
  cmdsave_Click(core);  // cancelled: the dialog gives no name
  EXPECT_TRUE(namesIn(tmp.root()).empty());
  EXPECT_EQ(dialog.Filter, kPlaylistFilter);

  dialog.FileName = tmp.file("plain") + "/saved.plt";
  cmdsave_Click(core);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_NE(messages.shown[0].text.find(dialog.FileName), std::string::npos);
  EXPECT_NE(messages.shown[0].text.find("Not a directory"), std::string::npos);
  EXPECT_EQ(messages.shown[0].title, "Sonavex");

  dialog.FileName = tmp.path("saved.plt");
  cmdsave_Click(core);
  EXPECT_EQ(slurp(dialog.FileName), "/m/a b.mp3\r\n/m/c.d.wav\r\n");
  ASSERT_EQ(messages.shown.size(), 2u);
  EXPECT_NE(messages.shown[1].text.find("1 entry was left out"), std::string::npos);
}

}  // namespace
}  // namespace sonavex
