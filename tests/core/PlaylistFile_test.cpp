#include "playlist/core/PlaylistFile.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <set>

#include "engine/core/FakeMediaEngine.h"

namespace sonavex {
namespace {

namespace fs = std::filesystem;

// A fresh folder under the system's temporary folder, removed with everything in it.
struct TempFolder {
  fs::path dir;
  TempFolder() {
    std::string pattern = (fs::temp_directory_path() / "sonavex-pl-XXXXXX").string();
    dir = ::mkdtemp(pattern.data());
  }
  ~TempFolder() {
    fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add);
    fs::remove_all(dir);
  }
  std::string file(const std::string& name) const { return (dir / name).string(); }
  std::set<std::string> names() const {
    std::set<std::string> out;
    for (const auto& e : fs::directory_iterator(dir)) out.insert(e.path().filename().string());
    return out;
  }
};

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

void put(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

struct FakeDialog : FileDialog {
  std::string answer;
  int opens = 0, saves = 0;
  void ShowOpen() override { ++opens, FileName = answer; }
  void ShowSave() override { ++saves, FileName = answer; }
};

struct FakeMessages : MessageBoxes {
  struct Shown { std::string text, title; MsgButtons buttons; MsgIcon icon; };
  std::vector<Shown> shown;
  MsgAnswer show(const std::string& text, const std::string& title, MsgButtons buttons,
                 MsgIcon icon) override {
    shown.push_back({text, title, buttons, icon});
    return MsgAnswer::Ok;
  }
};

struct CountingObserver : PlaylistObserver {
  std::vector<std::pair<Index, Index>> appended;
  int resets = 0;
  void entriesAppended(Index first, Index count) override { appended.emplace_back(first, count); }
  void entriesReset() override { ++resets; }
  void selectionChanged() override {}
};

struct PlaylistFiles : ::testing::Test {
  FakeMediaEngine engine;
  SeededRandom rng{7};
  Core core{engine, rng};
  FakeDialog dialog;
  FakeMessages messages;
  TempFolder tmp;
  PlaylistFiles() {
    core.platform.cd1 = &dialog;
    core.platform.messages = &messages;
  }
};

TEST(PlaylistFormat, WritesEveryPathFollowedByCrLfAndNothingElse) {
  EXPECT_EQ(serializePlaylist({}), "");
  EXPECT_EQ(serializePlaylist({"/m/a b.c.mp3", "", "-x"}), "/m/a b.c.mp3\r\n\r\n-x\r\n");
}

TEST(PlaylistFormat, CrLfLoneLfAndLoneCrEachEndOneLine) {
  using V = std::vector<std::string>;
  EXPECT_EQ(parsePlaylist("a\r\nb\nc\rd"), (V{"a", "b", "c", "d"}));
  EXPECT_EQ(parsePlaylist("a\r\r\nb\n\n"), (V{"a", "", "b", ""}));
  EXPECT_EQ(parsePlaylist("\n\r"), (V{"", ""}));
  EXPECT_EQ(parsePlaylist("last"), (V{"last"}));
  EXPECT_TRUE(parsePlaylist("").empty());
}

TEST(PlaylistFormat, PathWithLineBreakIsLeftOutAndCounted) {
  std::size_t leftOut = 0;
  EXPECT_EQ(serializePlaylist({"/a", "/b\nc", "/d\re", "/f"}, &leftOut), "/a\r\n/f\r\n");
  EXPECT_EQ(leftOut, 2u);
}

TEST_F(PlaylistFiles, AwkwardPathsRoundTripByteForByte) {
  const std::vector<std::string> paths = {
      "/music/a song with  spaces.mp3", "/m/several.dots.in.name..mp3", "-leading-dash.mp3",
      std::string("/nul\0inside.mp3", 15), "/bad\xff\xfe utf8 \xc3(.mp3", "", "/dir/",
      std::string(10 * 1024 * 1024, 'x')};
  const std::string file = tmp.file("awkward.plt");
  ASSERT_TRUE(writeFileAtomically(file, serializePlaylist(paths)));
  ASSERT_TRUE(appendPlaylistFile(core.list, file));
  EXPECT_EQ(core.list.paths(), paths);
  EXPECT_EQ(core.list.displayName(5), "6   ");
  EXPECT_EQ(core.list.displayName(2), "3   -leading-dash.mp3");
}

TEST_F(PlaylistFiles, LoadingAppendsInOneNotificationAndNumbersOnFromExistingEntries) {
  const std::string file = tmp.file("two.plt");
  put(file, "/a/x.mp3\r\n/b/y.mp3");  // last line without a break still counts
  core.list.appendEntry("/old.mp3");
  CountingObserver observer;
  core.list.setObserver(&observer);
  ASSERT_TRUE(appendPlaylistFile(core.list, file));
  ASSERT_TRUE(appendPlaylistFile(core.list, file));
  EXPECT_EQ(observer.appended, (std::vector<std::pair<Index, Index>>{{1, 2}, {3, 2}}));
  EXPECT_EQ(core.list.displayNames(),
            (std::vector<std::string>{"1   old.mp3", "2   x.mp3", "3   y.mp3", "4   x.mp3",
                                      "5   y.mp3"}));
  core.list.setObserver(nullptr);
}

TEST_F(PlaylistFiles, EmptyFileAddsNothingAndUnreadableFilesChangeNothing) {
  put(tmp.file("empty.plt"), "");
  std::string reason;
  EXPECT_TRUE(appendPlaylistFile(core.list, tmp.file("empty.plt")));
  EXPECT_FALSE(appendPlaylistFile(core.list, tmp.file("missing.plt"), &reason));
  EXPECT_FALSE(reason.empty());
  EXPECT_FALSE(appendPlaylistFile(core.list, tmp.dir.string()));
  EXPECT_EQ(core.list.count(), 0);
}

TEST_F(PlaylistFiles, FilesBeyondTheBoundsAreRefusedWhole) {
  put(tmp.file("many.plt"), std::string(kMaxPlaylistLines + 1, '\n'));
  std::string reason;
  EXPECT_FALSE(appendPlaylistFile(core.list, tmp.file("many.plt"), &reason));
  EXPECT_NE(reason.find("lines"), std::string::npos);
  // A sparse file: huge on paper, no disk space used.
  const std::string big = tmp.file("big.plt");
  put(big, "");
  fs::resize_file(big, kMaxPlaylistFileBytes + 1);
  EXPECT_FALSE(appendPlaylistFile(core.list, big, &reason));
  EXPECT_EQ(core.list.count(), 0);
}

TEST_F(PlaylistFiles, AtomicWriteReplacesContentWithUsualModeAndLeavesNoTemporaryFile) {
  const std::string file = tmp.file("p.plt");
  put(file, "old\r\n");
  const mode_t old = ::umask(027);
  const bool ok = writeFileAtomically(file, "new\r\n");
  ::umask(old);
  ASSERT_TRUE(ok);
  EXPECT_EQ(slurp(file), "new\r\n");
  EXPECT_EQ(fs::status(file).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_EQ(tmp.names(), std::set<std::string>{"p.plt"});
}

TEST_F(PlaylistFiles, FailedWriteKeepsOldFileWholeAndRemovesTemporaryFile) {
  const std::string file = tmp.file("p.plt");
  put(file, "old\r\n");
  // Writes beyond a 4 KiB file size limit fail even for root.
  ::signal(SIGXFSZ, SIG_IGN);
  rlimit saved{};
  ::getrlimit(RLIMIT_FSIZE, &saved);
  rlimit small = saved;
  small.rlim_cur = 4096;
  ::setrlimit(RLIMIT_FSIZE, &small);
  std::string reason;
  const bool ok = writeFileAtomically(file, std::string(100000, 'z'), &reason);
  ::setrlimit(RLIMIT_FSIZE, &saved);
  ::signal(SIGXFSZ, SIG_DFL);
  EXPECT_FALSE(ok);
  EXPECT_FALSE(reason.empty());
  EXPECT_EQ(slurp(file), "old\r\n");
  EXPECT_EQ(tmp.names(), std::set<std::string>{"p.plt"});
}

TEST_F(PlaylistFiles, WriteIntoImpossibleFolderOrOntoAFolderFails) {
  put(tmp.file("plain"), "x");
  std::string reason;
  EXPECT_FALSE(writeFileAtomically(tmp.file("plain") + "/p.plt", "a\r\n", &reason));
  EXPECT_FALSE(reason.empty());
  fs::create_directory(tmp.file("folder"));
  EXPECT_FALSE(writeFileAtomically(tmp.file("folder"), "a\r\n"));
  EXPECT_TRUE(fs::is_directory(tmp.file("folder")));
  // A NUL would cut the name short and write another file.
  EXPECT_FALSE(writeFileAtomically(tmp.file("cut") + std::string("\0.plt", 5), "a\r\n"));
  EXPECT_EQ(tmp.names(), (std::set<std::string>{"folder", "plain"}));
}

TEST_F(PlaylistFiles, WriteIntoReadOnlyFolderFailsAndKeepsOldFile) {
  if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
  const std::string file = tmp.file("p.plt");
  put(file, "old\r\n");
  fs::permissions(tmp.dir, fs::perms::owner_read | fs::perms::owner_exec);
  EXPECT_FALSE(writeFileAtomically(file, "new\r\n"));
  EXPECT_EQ(slurp(file), "old\r\n");
}

TEST_F(PlaylistFiles, LoadCommandAppendsAndRebuildsShuffleOrderWithoutPlaying) {
  const std::string file = tmp.file("list.plt");
  put(file, "/a.mp3\r\n/b.mp3\r\n/c.mp3\r\n");
  core.list.appendEntry("/old.mp3");
  core.chkshuffle = 1;
  core.shared.currenttrack = 0;
  dialog.answer = file;
  cmdload_Click(core);
  EXPECT_EQ(dialog.Filter, kPlaylistFilter);
  EXPECT_EQ(dialog.opens, 1);
  EXPECT_EQ(core.list.count(), 4);
  std::vector<Index> order = core.List5.entries();
  std::sort(order.begin(), order.end());
  EXPECT_EQ(order, (std::vector<Index>{0, 1, 2, 3}));
  EXPECT_EQ(core.List5.listIndex(), kNone);
  EXPECT_EQ(core.shared.currenttrack, 0);
  EXPECT_TRUE(engine.calls.empty());
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(PlaylistFiles, LoadCommandWithNothingToReadStillRebuildsShuffleOrder) {
  core.list.appendEntry("/old.mp3");
  core.chkshuffle = 1;
  for (const std::string& answer :
       {std::string(), tmp.file("missing.plt"), tmp.file("a") + std::string("\0b\0c", 4)}) {
    core.List5.clear();
    dialog.answer = answer;
    cmdload_Click(core);
    EXPECT_EQ(core.list.count(), 1);
    EXPECT_EQ(core.List5.entries(), std::vector<Index>{0});
  }
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(PlaylistFiles, LoadCommandTellsWhyAnExistingFileCannotBeRead) {
  const std::string big = tmp.file("big.plt");
  put(big, "");
  fs::resize_file(big, kMaxPlaylistFileBytes + 1);
  dialog.answer = big;
  cmdload_Click(core);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_NE(messages.shown[0].text.find(big), std::string::npos);
  EXPECT_NE(messages.shown[0].text.find("larger"), std::string::npos);
  EXPECT_EQ(messages.shown[0].title, "Sonavex");
  EXPECT_EQ(messages.shown[0].buttons, MsgButtons::Ok);
  EXPECT_EQ(messages.shown[0].icon, MsgIcon::Information);
  EXPECT_EQ(core.list.count(), 0);
}

TEST_F(PlaylistFiles, LoadCommandTellsWhenPermissionIsDenied) {
  if (::geteuid() == 0) GTEST_SKIP() << "root reads any file";
  const std::string file = tmp.file("locked.plt");
  put(file, "/a.mp3\r\n");
  fs::permissions(file, fs::perms::none);
  dialog.answer = file;
  cmdload_Click(core);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_NE(messages.shown[0].text.find("Permission denied"), std::string::npos);
  EXPECT_EQ(core.list.count(), 0);
}

TEST_F(PlaylistFiles, SaveCommandWritesExactBytesOrNothingOnCancel) {
  core.list.appendEntry("/m/a b.mp3");
  core.list.appendEntry("/m/c.d.wav");
  dialog.answer = "";
  cmdsave_Click(core);
  EXPECT_TRUE(tmp.names().empty());
  dialog.answer = tmp.file("saved.plt");
  cmdsave_Click(core);
  EXPECT_EQ(dialog.Filter, kPlaylistFilter);
  EXPECT_EQ(dialog.saves, 2);
  EXPECT_EQ(slurp(dialog.answer), "/m/a b.mp3\r\n/m/c.d.wav\r\n");
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(PlaylistFiles, SaveCommandReportsFailureAndLeftOutEntries) {
  core.list.appendEntry("/m/a.mp3");
  core.list.appendEntry("/m/two\nlines.mp3");
  put(tmp.file("plain"), "x");
  dialog.answer = tmp.file("plain") + "/saved.plt";
  cmdsave_Click(core);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_NE(messages.shown[0].text.find(dialog.answer), std::string::npos);
  EXPECT_NE(messages.shown[0].text.find("Not a directory"), std::string::npos);
  EXPECT_EQ(messages.shown[0].title, "Sonavex");

  dialog.answer = tmp.file("saved.plt");
  cmdsave_Click(core);
  ASSERT_EQ(messages.shown.size(), 2u);
  EXPECT_NE(messages.shown[1].text.find("1 entry was left out"), std::string::npos);
  EXPECT_EQ(slurp(dialog.answer), "/m/a.mp3\r\n");
}

}  // namespace
}  // namespace sonavex
