#include "playlist/core/LastPlaylist.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>

#include "engine/core/FakeMediaEngine.h"
#include "playlist/core/PlaylistFile.h"

namespace sonavex {
namespace {

namespace fs = std::filesystem;

struct TempFolder {
  fs::path dir;
  TempFolder() {
    std::string pattern = (fs::temp_directory_path() / "sonavex-last-XXXXXX").string();
    dir = ::mkdtemp(pattern.data());
  }
  ~TempFolder() {
    fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add);
    fs::remove_all(dir);
  }
  std::string file(const std::string& name) const { return (dir / name).string(); }
};

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// Sets or unsets an environment variable for the lifetime of the object.
class EnvValue {
 public:
  EnvValue(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value) ::setenv(name, value, 1);
    else ::unsetenv(name);
  }
  ~EnvValue() {
    if (old_) ::setenv(name_, old_->c_str(), 1);
    else ::unsetenv(name_);
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

struct LastPlaylist : ::testing::Test {
  FakeMediaEngine engine;
  SeededRandom rng{3};
  Core core{engine, rng};
  TempFolder tmp;
};

TEST_F(LastPlaylist, SavedPlaylistIsRestoredInOrderWithoutPlayingOrShuffling) {
  core.list.appendEntry("/music/a b.mp3");
  core.list.appendEntry("");
  core.list.appendEntry("/music/x.y.z.wav");
  const std::string file = tmp.file(kLastPlaylistName);
  savelastplaylist(core, file);
  EXPECT_EQ(slurp(file), "/music/a b.mp3\r\n\r\n/music/x.y.z.wav\r\n");

  FakeMediaEngine engine2;
  Core next{engine2, rng};
  restoreLastPlaylist(next, file);
  EXPECT_EQ(next.list.paths(), core.list.paths());
  EXPECT_EQ(next.list.displayName(2), "3   x.y.z.wav");
  EXPECT_EQ(next.shared.currenttrack, 0);
  EXPECT_TRUE(next.List5.empty());
  EXPECT_TRUE(engine2.calls.empty());
}

TEST_F(LastPlaylist, EmptyPlaylistSavesZeroBytes) {
  const std::string file = tmp.file(kLastPlaylistName);
  savelastplaylist(core, file);
  ASSERT_TRUE(fs::exists(file));
  EXPECT_EQ(fs::file_size(file), 0u);
}

TEST_F(LastPlaylist, MissingOrUnreadableFileStartsEmpty) {
  restoreLastPlaylist(core, tmp.file("missing.txt"));
  restoreLastPlaylist(core, tmp.dir.string());  // a folder in its place
  restoreLastPlaylist(core, "");
  EXPECT_EQ(core.list.count(), 0);
}

TEST_F(LastPlaylist, FileWithoutReadPermissionStartsEmpty) {
  if (::geteuid() == 0) GTEST_SKIP() << "root reads any file";
  const std::string file = tmp.file(kLastPlaylistName);
  std::ofstream(file) << "/a.mp3\r\n";
  fs::permissions(file, fs::perms::none);
  restoreLastPlaylist(core, file);
  EXPECT_EQ(core.list.count(), 0);
}

TEST_F(LastPlaylist, FailedSaveIsSilentAndKeepsThePreviousFile) {
  const std::string file = tmp.file(kLastPlaylistName);
  std::ofstream(file, std::ios::binary) << "/kept.mp3\r\n";
  for (int i = 0; i < 200; ++i) core.list.appendEntry("/music/some longer folder/track.mp3");
  // Writes beyond a 1 KiB file size limit fail even for root.
  ::signal(SIGXFSZ, SIG_IGN);
  rlimit saved{};
  ::getrlimit(RLIMIT_FSIZE, &saved);
  rlimit small = saved;
  small.rlim_cur = 1024;
  ::setrlimit(RLIMIT_FSIZE, &small);
  savelastplaylist(core, file);
  ::setrlimit(RLIMIT_FSIZE, &saved);
  ::signal(SIGXFSZ, SIG_DFL);
  EXPECT_EQ(slurp(file), "/kept.mp3\r\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(tmp.dir), fs::directory_iterator()), 1);

  // Nothing can be written below a regular file, and a folder in the way blocks the rename.
  savelastplaylist(core, file + "/" + kLastPlaylistName);
  fs::create_directory(tmp.file("taken"));
  savelastplaylist(core, tmp.file("taken"));
  EXPECT_EQ(slurp(file), "/kept.mp3\r\n");
  EXPECT_TRUE(fs::is_empty(tmp.file("taken")));
}

TEST_F(LastPlaylist, LivesBesideExecutableWhenThatFolderIsWritable) {
  fs::create_directory(tmp.file("bin"));
  EXPECT_EQ(lastPlaylistPath(tmp.file("bin"), tmp.file("data")),
            tmp.file("bin") + "/lastplaylist.txt");
  EXPECT_EQ(lastPlaylistPath(tmp.file("bin") + "/", tmp.file("data")),
            tmp.file("bin") + "/lastplaylist.txt");
  EXPECT_FALSE(fs::exists(tmp.file("data")));
}

TEST_F(LastPlaylist, FallsBackToCreatedUserFolderWhenExecutableFolderIsNotWritable) {
  std::ofstream(tmp.file("notafolder")) << "x";
  const std::string data = tmp.file("home/.local/share/sonavex");
  for (const std::string& exeDir : {tmp.file("notafolder"), tmp.file("gone"), std::string()}) {
    EXPECT_EQ(lastPlaylistPath(exeDir, data), data + "/lastplaylist.txt");
  }
  EXPECT_TRUE(fs::is_directory(data));
  EXPECT_EQ(lastPlaylistPath("", ""), "");
}

TEST_F(LastPlaylist, ReadOnlyExecutableFolderIsNotUsed) {
  if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
  fs::create_directory(tmp.file("bin"));
  fs::permissions(tmp.file("bin"), fs::perms::owner_read | fs::perms::owner_exec);
  EXPECT_EQ(lastPlaylistPath(tmp.file("bin"), tmp.file("data")),
            tmp.file("data") + "/lastplaylist.txt");
}

TEST(UserDataDir, PrefersAbsoluteXdgDataHomeThenHome) {
  EnvValue home("HOME", "/home/someone");
  {
    EnvValue xdg("XDG_DATA_HOME", "/xdg/data");
    EXPECT_EQ(userDataDir(), "/xdg/data/sonavex");
  }
  {
    EnvValue xdg("XDG_DATA_HOME", "relative/data");
    EXPECT_EQ(userDataDir(), "/home/someone/.local/share/sonavex");
  }
  EnvValue xdg("XDG_DATA_HOME", nullptr);
  EXPECT_EQ(userDataDir(), "/home/someone/.local/share/sonavex");
}

TEST(ExecutableDir, IsTheFolderHoldingTheRunningProgram) {
  const std::string dir = executableDir();
  ASSERT_FALSE(dir.empty());
  struct stat self {};
  ASSERT_EQ(::stat("/proc/self/exe", &self), 0);
  bool found = false;
  for (const auto& entry : fs::directory_iterator(dir)) {
    struct stat st {};
    if (::stat(entry.path().c_str(), &st) == 0 && st.st_ino == self.st_ino &&
        st.st_dev == self.st_dev) {
      found = true;
    }
  }
  EXPECT_TRUE(found);
}

}  // namespace
}  // namespace sonavex
