// Playlist files (.plt, and those of other programs) and lastplaylist.txt: the formats, reading
// whole or refusing, atomic saves, saving soon after a change, and where the last playlist lives.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <functional>
#include <set>

#include "core/LastPlaylist.h"
#include "core/PlaylistFile.h"
#include "tests/core/Kit.h"

namespace sonavex {
namespace {

namespace fs = std::filesystem;
using kit::Paths;
using Names = std::set<std::string>;

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// While alive, writes past `bytes` in any file fail (EFBIG) instead of killing the process: a
// write failure that hits root too.
struct FileSizeLimit {
  explicit FileSizeLimit(rlim_t bytes) {
    std::signal(SIGXFSZ, SIG_IGN);
    ::getrlimit(RLIMIT_FSIZE, &saved);
    const rlimit small{bytes, saved.rlim_max};
    ::setrlimit(RLIMIT_FSIZE, &small);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, SIG_DFL);
  }
  rlimit saved{};
};

// Whether `check` holds in a child process without root's rights, so that permission bits count
// (as a normal user it just forks): 1 or 0, or -1 when the child cannot become a user that reaches
// `folder`.
int holdsUnprivileged(const std::string& folder, const std::function<bool()>& check) {
  const pid_t child = fork();
  if (child == 0) {
    const bool dropped =
        !(geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) && access(folder.c_str(), R_OK | X_OK) == 0;
    _exit(!dropped ? 2 : check() ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return !WIFEXITED(status) ? 0 : WEXITSTATUS(status) == 2 ? -1 : WEXITSTATUS(status) == 0;
}

struct PlaylistFiles : ::testing::Test, kit::Scene {
  Names files() const {
    Names names;
    for (const auto& e : fs::directory_iterator(tmp.root)) names.insert(e.path().filename().string());
    return names;
  }
  std::string bigFile() const {  // sparse: huge on paper, no disk space used
    fs::resize_file(tmp.file("big.plt"), kMaxPlaylistFileBytes + 1);
    return tmp.path("big.plt");
  }
  std::string tooManyLines() const { return tmp.write("many.plt", std::string(kMaxPlaylistLines + 1, '\n')); }
  std::string loop() const { return tmp.link("loop.plt", "loop.plt"); }  // a link to itself: ELOOP
  kit::TempTree tmp;
};

// CR LF, a lone LF and a lone CR each end one line.
TEST_F(PlaylistFiles, AwkwardPathsRoundTripByteForByteButANulOrAnEndlessLineNeverBecomesAnEntry) {
  const struct { const char* bytes; Paths lines; } rows[] = {{"a\r\nb\nc\rd", {"a", "b", "c", "d"}},
      {"a\r\r\nb\n\n", {"a", "", "b", ""}}, {"\n\r", {"", ""}}, {"last", {"last"}}, {"", {}}};
  for (const auto& r : rows) EXPECT_EQ(parsePlaylist(r.bytes), r.lines) << '"' << r.bytes << '"';
  Paths paths = {"/music/a song with  spaces.mp3", "/m/several.dots.in.name..mp3", "-leading-dash.mp3",
                 std::string("/important.txt\0song.mp3", 23), "/bad\xff\xfe utf8 \xc3(.mp3", "", "/dir/",
                 std::string(kMaxEntryBytes, 'x'), std::string(kMaxEntryBytes + 1, 'x')};
  const std::string file = tmp.path("awkward.plt");
  ASSERT_TRUE(writeFileAtomically(file, serializePlaylist(paths)));
  LeftOutEntries leftOut;
  ASSERT_TRUE(appendPlaylistFile(core.list, file, nullptr, &leftOut));
  EXPECT_EQ(std::pair(leftOut.withNul, leftOut.tooLong), (std::pair<std::size_t, std::size_t>(1, 1)));
  paths.pop_back();
  paths.erase(paths.begin() + 3);
  ASSERT_TRUE(core.list.paths() == paths);
  EXPECT_EQ(core.list.displayName(2) + "|" + core.list.displayName(4), "3   -leading-dash.mp3|5   ");
  // A blank entry survives a save and a restore byte for byte.
  ASSERT_TRUE(writeFileAtomically(file, serializePlaylist(core.list.paths())));
  EXPECT_TRUE(slurp(file) == serializePlaylist(paths));
}

TEST_F(PlaylistFiles, LoadingAppendsInOneNotificationNumberedOnFromExistingEntries) {
  struct Observer : PlaylistObserver {
    std::vector<std::pair<Index, Index>> seen;
    void entriesAppended(Index first, Index count) override { seen.emplace_back(first, count); }
    void entriesReset() override { seen.emplace_back(-1, -1); }
    void selectionChanged() override {}
  } observer;
  const std::string file = tmp.write("two.plt", "/a/x.mp3\r\n/b/y.mp3");  // no final break
  {
    PlaylistBatch batch(core.list);  // one that ends before the view is attached leaves nothing behind
    core.list.clear();
  }
  add({"/old.mp3"});
  core.list.setObserver(&observer);
  ASSERT_TRUE(appendPlaylistFile(core.list, file));
  ASSERT_TRUE(appendPlaylistFile(core.list, file));
  add({"/z.mp3"});  // outside a batch: told at once
  core.list.setObserver(nullptr);
  EXPECT_EQ(observer.seen, (std::vector<std::pair<Index, Index>>{{1, 2}, {3, 2}, {5, 1}}));
  EXPECT_EQ(names(), (Paths{"1   old.mp3", "2   x.mp3", "3   y.mp3", "4   x.mp3", "5   y.mp3", "6   z.mp3"}));
}

// A playlist that cannot be read whole is refused with the reason, and adds nothing; a missing last
// playlist counts as read whole (it is saved at the end), one that cannot be read is kept.
TEST_F(PlaylistFiles, EmptyFilesAddNothingAndUnreadableOrOversizedFilesAreRefusedWhole) {
  EXPECT_TRUE(appendPlaylistFile(core.list, tmp.file("empty.plt")));
  const struct { std::string path, reason; } refused[] = {
      {tmp.path("missing.plt"), "No such file"}, {tmp.root, "directory"}, {tooManyLines(), "lines"},
      {bigFile(), "larger"}, {std::string("/etc/passwd\0.plt", 16), "Invalid"}};
  for (const auto& r : refused) {
    std::string reason;
    EXPECT_FALSE(appendPlaylistFile(core.list, r.path, &reason)) << r.path;
    EXPECT_NE(reason.find(r.reason), std::string::npos) << reason;
  }
  const struct { std::string path; bool readWhole; } last[] = {
      {tmp.path("missing.txt"), true}, {tmp.file("plain") + "/below.txt", true}, {std::string(), true},
      {tmp.root, false},               {tooManyLines(), false},                  {loop(), false}};
  for (const auto& r : last) {
    const RestoreResult result = restoreLastPlaylist(core, r.path);
    EXPECT_EQ(std::pair(result.readWhole, result.reason.empty()), std::pair(r.readWhole, r.readWhole)) << r.path;
  }
  EXPECT_EQ(core.list.count(), 0);
}

TEST_F(PlaylistFiles, AtomicWritesReplaceWithTheUsualModeOrKeepTheOldFileWholeAndLeaveNothingBehind) {
  const std::string file = tmp.write("p.plt", "old\r\n"), folder = tmp.dir("folder");
  const mode_t old = ::umask(027);
  const bool ok = writeFileAtomically(file, "new\r\n");
  ::umask(old);
  ASSERT_TRUE(ok);
  EXPECT_EQ(slurp(file), "new\r\n");
  EXPECT_EQ(fs::status(file).permissions() & fs::perms::all, fs::perms(0640));
  std::string reason;
  {
    FileSizeLimit limit(4096);  // the write itself fails part way
    EXPECT_FALSE(writeFileAtomically(file, std::string(100000, 'z'), &reason));
  }
  EXPECT_FALSE(reason.empty());
  EXPECT_FALSE(writeFileAtomically(file + "/p.plt", "a\r\n"));  // below a file
  EXPECT_FALSE(writeFileAtomically(folder, "a\r\n"));           // onto a folder
  // A NUL would cut the name short and write another file.
  EXPECT_FALSE(writeFileAtomically(tmp.path("cut") + std::string("\0.plt", 5), "a\r\n"));
  EXPECT_EQ(std::tuple(slurp(file), fs::is_empty(folder), files()),
            std::tuple("new\r\n", true, Names{"folder", "p.plt"}));
}

TEST_F(PlaylistFiles, LoadAppendsAndRebuildsTheShuffleOrderWithoutPlayingAndTellsWhyAFileCannotBeRead) {
  add({"/old.mp3"});
  core.chkshuffle = 1;
  // Cancelled, a missing file, and several files chosen at once (NUL-separated): nothing to read.
  for (const std::string& answer : {std::string(), tmp.path("missing.plt"), tmp.path("a") + std::string("\0b\0c", 4)}) {
    core.List5.clear();
    dialog.selection = answer;
    cmdload_Click(core);
    EXPECT_EQ(core.List5.entries(), std::vector<Index>{0});
  }
  dialog.selection = tmp.write("list.plt", "/a.mp3\r\n/b.mp3\r\n/c.mp3\r\n");
  cmdload_Click(core);
  EXPECT_EQ(std::tuple(dialog.opened, core.list.count(), core.List5.listIndex(), core.currenttrack),
            std::tuple(4, 4, kNone, 0));
  EXPECT_TRUE(shuffleCoversList() && engine.calls.empty() && messages.shown.empty());
  const std::pair<std::string, std::string> unreadable[] = {{bigFile(), "the file is larger than 1 GiB"},
                                                            {loop(), std::strerror(ELOOP)}};
  for (const auto& [file, reason] : unreadable) {
    dialog.selection = file;
    cmdload_Click(core);
    EXPECT_EQ(messages.shown.back(),
              "The playlist file " + file + " could not be read: " + reason + ".|Sonavex|Ok|Information");
  }
  EXPECT_EQ(std::pair(messages.shown.size(), core.list.count()), std::pair(std::size_t{2}, 4));
}

TEST_F(PlaylistFiles, SaveWritesTheExactBytesInTheFormatTheNameSaysOrNothingOnCancelAndReportsWhatFailed) {
  add({"/m/a b.mp3", "/m/two\nlines.mp3", "/m/c.d.wav", "/m/three\rlines.mp3"});
  cmdsave_Click(core);  // cancelled: the dialog gives no name
  EXPECT_TRUE(files().empty());
  dialog.FileName = tmp.file("plain") + "/saved.plt";
  cmdsave_Click(core);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0],
            "The playlist could not be saved to " + dialog.FileName + ": Not a directory.|Sonavex|Ok|Information");
  dialog.FileName = tmp.path("saved.plt");
  cmdsave_Click(core);
  EXPECT_EQ(slurp(dialog.FileName), "/m/a b.mp3\r\n/m/c.d.wav\r\n");
  core.list.assign({"/m/a b.mp3", "/m/two\nlines.mp3", "/m/c.d.wav"}, {"", "", ""});
  cmdsave_Click(core);
  ASSERT_EQ(messages.shown.size(), 3u);
  EXPECT_NE(messages.shown[1].find(dialog.FileName + ", but 2 entries were left out"), std::string::npos);
  EXPECT_NE(messages.shown[2].find(dialog.FileName + ", but 1 entry was left out"), std::string::npos);

  // A name ending in .m3u8, in any case, gets M3U8, which loads back the same list; any other name
  // the program's own format.
  core.list.assign({"/m/a b.mp3", "", "#hash.mp3", "/m/two\nlines.mp3", "/m/raw\xFF.mp3", "/m/c.wav"}, Paths(6, ""));
  dialog.FileName = tmp.path("mix.M3U8");
  cmdsave_Click(core);
  EXPECT_EQ(slurp(dialog.FileName), "#EXTM3U\n/m/a b.mp3\n/m/raw\xFF.mp3\n/m/c.wav\n");
  EXPECT_NE(messages.shown.back().find(", but 3 entries were left out: an empty path"), std::string::npos);
  kit::Scene loaded;
  loadPlaylistFile(loaded.core, dialog.FileName);
  EXPECT_EQ(loaded.paths(), (Paths{"/m/a b.mp3", "/m/raw\xFF.mp3", "/m/c.wav"}));
  dialog.FileName = tmp.path("mix.m3u");
  cmdsave_Click(core);
  EXPECT_EQ(slurp(dialog.FileName), "/m/a b.mp3\r\n\r\n#hash.mp3\r\n/m/raw\xFF.mp3\r\n/m/c.wav\r\n");
}

TEST_F(PlaylistFiles, AnAddressIsKeptAsWrittenInEveryFormatAndAnM3u8KeepsItsStationName) {
  add({"/m/a.mp3"});
  core.list.appendEntry("HTTP://r.example/live?x=1", "Radio");
  const std::string last = tmp.path(kLastPlaylistName);
  ASSERT_TRUE(savelastplaylist(core, last));
  for (const char* name : {"saved.plt", "saved.m3u8"}) {
    dialog.FileName = tmp.path(name);
    cmdsave_Click(core);
  }
  const struct { std::string file, shown; } rows[] = {
      {last, "HTTP://r.example/live?x=1"}, {tmp.path("saved.plt"), "HTTP://r.example/live?x=1"},
      {tmp.path("saved.m3u8"), "Radio"}};
  for (const auto& r : rows) {
    kit::Scene next;
    EXPECT_TRUE(restoreLastPlaylist(next.core, r.file).readWhole);
    EXPECT_EQ(next.names(), (Paths{"1   a.mp3", "2   " + r.shown})) << r.file;
    EXPECT_EQ(next.paths(), paths()) << r.file;
  }
}

TEST_F(PlaylistFiles, TheLastPlaylistIsRestoredInOrderWithoutPlayingOrShuffling) {
  const std::string file = tmp.path(kLastPlaylistName);
  savelastplaylist(core, file);
  EXPECT_TRUE(fs::exists(file));
  EXPECT_EQ(slurp(file), "") << "an empty playlist saves zero bytes";
  add({"/music/a b.mp3", "", "/music/x.y.z.wav"});
  EXPECT_TRUE(savelastplaylist(core, file));
  EXPECT_EQ(slurp(file), "/music/a b.mp3\r\n\r\n/music/x.y.z.wav\r\n");
  std::string reason;
  EXPECT_FALSE(savelastplaylist(core, tmp.root, &reason));
  EXPECT_EQ(reason, "Is a directory");
  kit::Scene next;
  next.core.chkshuffle = 1;  // whatever the box says, a restore builds no order
  EXPECT_TRUE(restoreLastPlaylist(next.core, file).readWhole);
  EXPECT_EQ(std::tuple(next.paths(), next.core.list.displayName(2), next.core.currenttrack),
            std::tuple(paths(), "3   x.y.z.wav", 0));
  EXPECT_TRUE(next.core.List5.empty() && next.engine.calls.empty());
}

// A background writer that writes nothing: it notes the bytes it is given, and what the file held
// when the exit save waited for it.
struct NotingWriter : BackgroundWriter {
  std::string file;
  Paths calls;
  int failures = 0;  // so many writes fail first
  void write(std::string, std::function<std::string()> bytes,
             std::function<void(bool, const std::string&)> done) override {
    calls.push_back(bytes());
    const bool fails = failures-- > 0;
    if (done) done(!fails, fails ? "No space left on device" : "");
  }
  void waitIdle() override { calls.push_back("idle:" + slurp(file)); }
};

// A background write that fails is told once and tried again at the next tick.
TEST_F(PlaylistFiles, AChangedListGoesToTheBackgroundWriterOnlyWhenThisRunWritesItAndTheExitSaveLandsLast) {
  const std::string file = tmp.write(kLastPlaylistName, "/m/a.mp3\r\n");
  const struct { bool saves, readWhole, ending, writes; } rows[] = {
      {false, true, false, false}, {true, false, false, false}, {true, true, true, false}, {true, true, false, true}};
  for (const auto& r : rows) {
    kit::Scene s;
    NotingWriter writer;
    writer.failures = 1;
    writer.file = s.core.lastPlaylist.path = file;
    s.core.platform.writer = &writer;
    restoreLastPlaylist(s.core);
    EXPECT_FALSE(lastPlaylistOutdated(s.core)) << "what was just read needs no writing";
    std::tie(s.core.lastPlaylist.saves, s.core.lastPlaylist.readWhole, s.core.ending) =
        std::tuple(r.saves, r.readWhole, r.ending);
    s.add({"/m/b.mp3"});
    EXPECT_EQ(lastPlaylistOutdated(s.core), r.writes);
    testing::internal::CaptureStderr();
    for (int tick = 0; tick < 3; ++tick) autosaveLastPlaylist(s.core);  // fails, written, nothing new
    EXPECT_EQ(testing::internal::GetCapturedStderr(), r.writes ? saveFailureText(file, "No space left on device") : "");
    s.add({"/m/c.mp3"});
    mnuexit_Click(s.core);
    const Paths calls = r.writes ? Paths{"/m/a.mp3\r\n/m/b.mp3\r\n", "/m/a.mp3\r\n/m/b.mp3\r\n", "idle:/m/a.mp3\r\n"}
                        : r.ending ? Paths{}  // the exit has run already
                                   : Paths{"idle:/m/a.mp3\r\n"};
    EXPECT_EQ(writer.calls, calls);
    EXPECT_EQ(slurp(file), r.writes ? "/m/a.mp3\r\n/m/b.mp3\r\n/m/c.mp3\r\n" : "/m/a.mp3\r\n");
  }
}

TEST_F(PlaylistFiles, TheRestoreRemovesOnlyStaleTemporariesOfOurOwnSaves) {
  const auto aged = [](const std::string& path) {
    const struct timespec old[2] = {{1, 0}, {1, 0}};
    ::utimensat(AT_FDCWD, path.c_str(), old, AT_SYMLINK_NOFOLLOW);
  };
  aged(tmp.write(".sonavex-a1B2c3", "killed save"));
  tmp.write(".sonavex-fresh1", "a save running now");
  aged(tmp.write(".sonavex-toolong", "not our name"));
  aged(tmp.write("sonavex-abcdef", "not our name"));
  aged(tmp.dir(".sonavex-dir123"));
  aged(tmp.link(tmp.path("sonavex-abcdef"), ".sonavex-link12"));
  restoreLastPlaylist(core, tmp.path(kLastPlaylistName));
  EXPECT_EQ(files(),
            (Names{".sonavex-fresh1", ".sonavex-toolong", "sonavex-abcdef", ".sonavex-dir123", ".sonavex-link12"}));
}

TEST_F(PlaylistFiles, TheLastPlaylistLivesBesideTheExecutableWhenItsFolderIsWritableElseInTheUserFolder) {
  const std::string bin = tmp.dir("bin"), data = tmp.path("home/.local/share/sonavex");
  for (const std::string& exeDir : {bin, bin + "/"})
    EXPECT_EQ(lastPlaylistPath(exeDir, data), bin + "/lastplaylist.txt");
  EXPECT_FALSE(fs::exists(data));
  for (const std::string& exeDir : {tmp.file("notafolder"), tmp.path("gone"), {}, bin + std::string("\0x", 2),
                                    std::string("/usr/bin"), std::string("/bin")})
    EXPECT_EQ(lastPlaylistPath(exeDir, data), data + "/lastplaylist.txt") << exeDir;
  EXPECT_TRUE(fs::is_directory(data));
  EXPECT_EQ(lastPlaylistPath("", ""), "");
  EXPECT_TRUE(
      fs::equivalent(fs::path(executableDir()) / fs::read_symlink("/proc/self/exe").filename(), "/proc/self/exe"));

  // Only an absolute XDG_DATA_HOME counts; otherwise the folder is below HOME.
  const std::string savedHome = std::getenv("HOME") ? std::getenv("HOME") : "";
  ::setenv("HOME", "/home/u", 1);
  for (const auto& [xdg, dir] :
       {std::pair{"/xdg/data", "/xdg/data/sonavex"}, std::pair{"rel", "/home/u/.local/share/sonavex"}}) {
    ::setenv("XDG_DATA_HOME", xdg, 1);
    EXPECT_EQ(userDataDir(), dir);
  }
  ::unsetenv("XDG_DATA_HOME");
  EXPECT_EQ(userDataDir(), "/home/u/.local/share/sonavex");
  ::setenv("HOME", savedHome.c_str(), 1);

  // A folder the user cannot write to is not used, even though it exists.
  fs::permissions(bin, fs::perms::owner_read | fs::perms::owner_exec);
  const int dataChosen =
      holdsUnprivileged(tmp.root, [&] { return lastPlaylistPath(bin, data) == data + "/lastplaylist.txt"; });
  if (dataChosen < 0) GTEST_SKIP() << "needs an unprivileged user";
  EXPECT_EQ(dataChosen, 1);
}

}  // namespace
}  // namespace sonavex
