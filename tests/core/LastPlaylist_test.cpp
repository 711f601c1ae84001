#include "playlist/core/LastPlaylist.h"
#include "playlist/core/PlaylistFile.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>

#include "tests/core/CommandTestKit.h"
#include "tests/core/FileTestKit.h"

namespace sonavex {
namespace {

namespace fs = std::filesystem;
using testkit::slurp;

struct LastPlaylist : ::testing::Test, testkit::TestCore {
  testkit::TempTree tmp;
  const std::string file = tmp.path(kLastPlaylistName);
};

TEST_F(LastPlaylist, IsRestoredInOrderWithoutPlayingOrShuffling) {
  savelastplaylist(core, file);
  EXPECT_TRUE(fs::exists(file));
  EXPECT_EQ(slurp(file), "") << "an empty playlist saves zero bytes";

  add({"/music/a b.mp3", "", "/music/x.y.z.wav"});
  savelastplaylist(core, file);
  EXPECT_EQ(slurp(file), "/music/a b.mp3\r\n\r\n/music/x.y.z.wav\r\n");

  testkit::TestCore next;
  next.core.chkshuffle = 1;  // whatever the box says, a restore builds no order
  restoreLastPlaylist(next.core, file);
  EXPECT_EQ(next.paths(), paths());
  EXPECT_EQ(next.core.list.displayName(2), "3   x.y.z.wav");
  EXPECT_EQ(next.core.shared.currenttrack, 0);
  EXPECT_TRUE(next.core.List5.empty());
  EXPECT_TRUE(next.engine.calls.empty());
}

TEST_F(LastPlaylist, AMissingFileIsReadWholeButAFileThatCannotBeReadMustBeKept) {
  const std::string tooLong = tmp.write("long.txt", std::string(kMaxPlaylistLines + 1, '\n'));
  const struct {
    std::string path;
    bool readWhole;
  } rows[] = {{tmp.path("missing.txt"), true}, {std::string(), true},
              {tmp.root(), false}, {tooLong, false}};
  for (const auto& r : rows) {
    const RestoreResult result = restoreLastPlaylist(core, r.path);
    EXPECT_EQ(result.readWhole, r.readWhole) << r.path;
    EXPECT_EQ(result.reason.empty(), r.readWhole) << r.path;
  }
  EXPECT_EQ(core.list.count(), 0);
}

TEST_F(LastPlaylist, TheRestoreRemovesOnlyStaleTemporariesOfOurOwnSaves) {
  const auto aged = [](const std::string& path) {
    const struct timespec old[2] = {{1, 0}, {1, 0}};
    ::utimensat(AT_FDCWD, path.c_str(), old, AT_SYMLINK_NOFOLLOW);
    return path;
  };
  aged(tmp.write(".sonavex-a1B2c3", "killed save"));
  tmp.write(".sonavex-fresh1", "a save running now");
  aged(tmp.write(".sonavex-toolong", "not our name"));
  aged(tmp.write("sonavex-abcdef", "not our name"));
  aged(tmp.dir(".sonavex-dir123"));
  restoreLastPlaylist(core, file);
  EXPECT_EQ(testkit::namesIn(tmp.root()),
            (std::set<std::string>{".sonavex-fresh1", ".sonavex-toolong", "sonavex-abcdef",
                                   ".sonavex-dir123"}));
}

TEST_F(LastPlaylist, FailedSaveIsSilentAndKeepsThePreviousFile) {
  tmp.write(kLastPlaylistName, "/kept.mp3\r\n");
  for (int i = 0; i < 200; ++i) core.list.appendEntry("/music/some longer folder/track.mp3");
  {
    testkit::FileSizeLimit limit(1024);
    savelastplaylist(core, file);
  }
  EXPECT_EQ(slurp(file), "/kept.mp3\r\n");
  EXPECT_EQ(testkit::namesIn(tmp.root()), std::set<std::string>{kLastPlaylistName});

  // Nothing can be written below a regular file, and a folder in the way blocks the rename.
  savelastplaylist(core, file + "/" + kLastPlaylistName);
  savelastplaylist(core, tmp.dir("taken"));
  EXPECT_EQ(slurp(file), "/kept.mp3\r\n");
  EXPECT_TRUE(fs::is_empty(tmp.path("taken")));
}

TEST_F(LastPlaylist, LivesBesideTheExecutableWhenThatFolderIsWritable) {
  const std::string bin = tmp.dir("bin");
  EXPECT_EQ(lastPlaylistPath(bin, tmp.path("data")), bin + "/lastplaylist.txt");
  EXPECT_EQ(lastPlaylistPath(bin + "/", tmp.path("data")), bin + "/lastplaylist.txt");
  EXPECT_FALSE(fs::exists(tmp.path("data")));
}

TEST_F(LastPlaylist, OtherwiseLivesInTheUserFolderWhichIsCreated) {
  const std::string data = tmp.path("home/.local/share/sonavex");
  for (const std::string& exeDir : {tmp.file("notafolder"), tmp.path("gone"), std::string()}) {
    EXPECT_EQ(lastPlaylistPath(exeDir, data), data + "/lastplaylist.txt") << exeDir;
  }
  EXPECT_TRUE(fs::is_directory(data));
  EXPECT_EQ(lastPlaylistPath("", ""), "");

  // A folder the user cannot write to is not used, even though it exists.
  const std::string bin = tmp.dir("bin");
  fs::permissions(bin, fs::perms::owner_read | fs::perms::owner_exec);
  const std::string chosen =
      testkit::runUnprivileged(tmp.root(), [&] { return lastPlaylistPath(bin, data); });
  if (chosen == testkit::kCannotDropRights) GTEST_SKIP() << chosen;
  EXPECT_EQ(chosen, data + "/lastplaylist.txt");
}

// Sets or unsets an environment variable for the lifetime of the object.
class EnvValue {
 public:
  EnvValue(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    value ? ::setenv(name, value, 1) : ::unsetenv(name);
  }
  ~EnvValue() { old_ ? ::setenv(name_, old_->c_str(), 1) : ::unsetenv(name_); }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(UserDataDir, PrefersAnAbsoluteXdgDataHomeThenHome) {
  EnvValue home("HOME", "/home/someone");
  const struct {
    const char* xdg;
    const char* dir;
  } rows[] = {{"/xdg/data", "/xdg/data/sonavex"},
              {"relative/data", "/home/someone/.local/share/sonavex"},
              {nullptr, "/home/someone/.local/share/sonavex"}};
  for (const auto& r : rows) {
    EnvValue xdg("XDG_DATA_HOME", r.xdg);
    EXPECT_EQ(userDataDir(), r.dir) << (r.xdg ? r.xdg : "unset");
  }
}

TEST(ExecutableDir, IsTheFolderHoldingTheRunningProgram) {
  const std::string dir = executableDir();
  ASSERT_FALSE(dir.empty());
  EXPECT_TRUE(fs::equivalent(fs::path(dir) / fs::read_symlink("/proc/self/exe").filename(),
                             "/proc/self/exe"));
}

}  // namespace
}  // namespace sonavex
