#pragma once
// Fakes of the platform services and a scratch folder tree for the playlist command tests.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "app/core/Core.h"
#include "support/FakeMediaEngine.h"
#include "playlist/core/Random.h"

namespace sonavex::testkit {

struct ShownMessage {
  std::string text, title;
  MsgButtons buttons;
  MsgIcon icon;
};

class RecordingMessages : public MessageBoxes {
 public:
  MsgAnswer answer = MsgAnswer::Ok;
  std::vector<ShownMessage> shown;
  MsgAnswer show(const std::string& text, const std::string& title, MsgButtons buttons, MsgIcon icon) override {
    shown.push_back({text, title, buttons, icon});
    return answer;
  }
};

class ScriptedDialog : public FileDialog {
 public:
  std::string selection;  // what the user "chooses"
  int opened = 0;
  void ShowOpen() override {
    ++opened;
    FileName = selection;
  }
  void ShowSave() override {}
};

class BusyLog : public BusyPointer {
 public:
  std::vector<bool> changes;
  bool busy = false;
  void setBusy(bool b) override { changes.push_back(busy = b); }
};

class ScriptedFolders : public FolderPicker {
 public:
  std::string folder;
  std::vector<std::string> titles;
  const BusyLog* busy = nullptr;
  bool wasBusy = false;
  std::string BrowseForFolder(const std::string& title) override {
    titles.push_back(title);
    wasBusy = busy && busy->busy;
    return folder;
  }
};

// Counts the numbers drawn; the numbers come from a seeded generator or from a script.
class CountingRandom : public RandomSource {
 public:
  explicit CountingRandom(std::uint64_t seed = 7) : seeded_(seed) {}
  std::function<double(long)> script;  // draw number -> r, when set
  long draws = 0;
  double uniform() override {
    const long n = draws++;
    return script ? script(n) : seeded_.uniform();
  }

 private:
  SeededRandom seeded_;
};

struct TestCore {
  FakeMediaEngine engine;
  CountingRandom rng;
  RecordingMessages messages;
  ScriptedDialog dialog;
  ScriptedFolders folders;
  BusyLog busy;
  Core core{engine, rng};
  TestCore() {
    core.platform = Platform{&messages, &dialog, &folders, &busy};
    folders.busy = &busy;
  }
  std::vector<std::string> paths() const { return core.list.paths(); }
  std::vector<std::string> names() const { return core.list.displayNames(); }
  void add(const std::vector<std::string>& ps) {
    for (const auto& p : ps) core.list.appendEntry(p);
  }
  void select(const std::vector<Index>& rows) {
    for (const Index r : rows) core.list.setSelected(r, true);
  }
  // The shuffle order holds every entry index exactly once.
  bool shuffleCoversList() const {
    std::vector<Index> order = core.List5.entries();
    std::sort(order.begin(), order.end());
    for (std::size_t i = 0; i < order.size(); ++i)
      if (order[i] != static_cast<Index>(i)) return false;
    return static_cast<Index>(order.size()) == core.list.count();
  }
};

// A scratch folder removed with everything below it at the end of the test.
class TempTree {
 public:
  TempTree() {
    std::string pattern = (std::filesystem::temp_directory_path() / "sonavex-test-XXXXXX").string();
    root_ = mkdtemp(pattern.data());
    chmod(root_.c_str(), 0755);  // walkable by an unprivileged user too
  }
  ~TempTree() {
    namespace fs = std::filesystem;
    std::error_code ec;
    // Give back permissions taken away by a test before removing.
    for (auto it = fs::recursive_directory_iterator(root_, fs::directory_options::skip_permission_denied, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec))
      if (it->is_directory(ec) && !it->is_symlink(ec)) chmod(it->path().c_str(), 0755);
    fs::remove_all(root_, ec);
  }
  TempTree(const TempTree&) = delete;
  TempTree& operator=(const TempTree&) = delete;

  const std::string& root() const { return root_; }
  std::string path(const std::string& rel) const { return root_ + "/" + rel; }
  // Creates the file (and its folders) holding `bytes`.
  std::string write(const std::string& rel, const std::string& bytes) const {
    const std::string p = path(rel);
    std::filesystem::create_directories(std::filesystem::path(p).parent_path());
    std::ofstream(p, std::ios::binary) << bytes;
    return p;
  }
  std::string file(const std::string& rel, std::size_t size = 0) const { return write(rel, std::string(size, 'x')); }
  std::string dir(const std::string& rel) const {
    std::filesystem::create_directories(path(rel));
    return path(rel);
  }
  std::string link(const std::string& target, const std::string& rel) const {
    std::filesystem::create_directories(std::filesystem::path(path(rel)).parent_path());
    std::filesystem::create_symlink(target, path(rel));
    return path(rel);
  }

 private:
  std::string root_;
};

inline bool exists(const std::string& p) {
  struct stat st {};
  return lstat(p.c_str(), &st) == 0;
}

inline constexpr const char* kCannotDropRights = "cannot drop rights";

// Runs `body` in a child process without root's rights (so permission bits count) and returns the
// text it gives back, or "child failed". As a normal user it just forks. Returns kCannotDropRights
// when the child cannot become an unprivileged user that reaches `folder`.
inline std::string runUnprivileged(const std::string& folder, const std::function<std::string()>& body) {
  int fds[2];
  if (pipe(fds) != 0) return "pipe failed";
  const pid_t child = fork();
  if (child == 0) {
    close(fds[0]);
    const bool dropped =
        !(geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) && access(folder.c_str(), R_OK | X_OK) == 0;
    const std::string out = dropped ? body() : kCannotDropRights;
    for (std::size_t done = 0; done < out.size();) {
      const ssize_t n = write(fds[1], out.data() + done, out.size() - done);
      if (n <= 0) _exit(4);
      done += static_cast<std::size_t>(n);
    }
    _exit(0);
  }
  close(fds[1]);
  std::string out;
  char buf[4096];
  for (ssize_t n; (n = read(fds[0], buf, sizeof buf)) > 0;) out.append(buf, static_cast<std::size_t>(n));
  close(fds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? out : "child failed";
}

}  // namespace sonavex::testkit
