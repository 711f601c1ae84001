#pragma once
// The core wired as the windows wire it, on the recording engine, with platform services a test
// answers, a random source it can script, and scratch folder trees.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/Core.h"
#include "core/Sequencer.h"
#include "support/FakeMediaEngine.h"

namespace sonavex::kit {

using Paths = std::vector<std::string>;

// The scripted values first, then a fixed-seed stream, so rejection loops always end.
struct TestRandom : RandomSource {
  explicit TestRandom(std::uint64_t seed = 7) : seeded(seed) {}
  std::deque<double> next;
  long draws = 0;
  SeededRandom seeded;
  double uniform() override {
    ++draws;
    if (next.empty()) return seeded.uniform();
    const double r = next.front();
    next.pop_front();
    return r;
  }
};

// Each message shown, as "text|title|buttons|icon", and each notice, as "text|title|icon".
struct Messages : MessageBoxes {
  MsgAnswer answer = MsgAnswer::Ok;
  std::vector<std::string> shown, notices;
  static constexpr const char* icons[] = {"None", "Information", "Critical"};
  MsgAnswer show(const std::string& text, const std::string& title, MsgButtons b, MsgIcon i) override {
    shown.push_back(text + "|" + title + (b == MsgButtons::Ok ? "|Ok|" : "|YesNo|") + icons[static_cast<int>(i)]);
    return answer;
  }
  void notify(const std::string& text, const std::string& title, MsgIcon i) override {
    notices.push_back(text + "|" + title + "|" + icons[static_cast<int>(i)]);
  }
};

// The dialog's multi-selection text: the folder, then each name, NUL-separated.
inline std::string multi(const Paths& parts) {
  std::string s;
  for (std::size_t i = 0; i < parts.size(); ++i) s += (i ? std::string(1, '\0') : "") + parts[i];
  return s;
}

struct Dialog : FileDialog {
  std::string selection;  // what the user chooses to open
  int opened = 0;
  void ShowOpen() override {
    ++opened;
    FileName = selection;
  }
  void ShowSave() override {}
};

struct Busy : BusyPointer {
  std::vector<bool> changes;
  void setBusy(bool b) override { changes.push_back(b); }
};

// Answers with `folder`; notes each title, and whether the pointer was busy while it asked.
struct Folders : FolderPicker {
  std::string folder, asked;
  const Busy* busy = nullptr;
  std::string BrowseForFolder(const std::string& title) override {
    asked += title + (!busy->changes.empty() && busy->changes.back() ? " (busy)" : "");
    return folder;
  }
};

struct Programs : ProgramStarter {
  std::vector<ProgramCommand> started;
  bool works = true;
  bool startDetached(const ProgramCommand& command) override {
    started.push_back(command);
    return works;
  }
};

// Entries "/music/t0.mp3" ..., the loop and shuffle boxes as given; the engine's notifications go to
// the playlist's handlers.
struct Scene : MediaEngineListener {
  FakeMediaEngine engine;
  TestRandom rng{12345};
  Messages messages;
  Dialog dialog;
  Folders folders;
  Busy busy;
  Programs programs;
  Core core{engine, rng};

  explicit Scene(int entries = 0, int loop = 0, int shuffle = 0) {
    engine.setListener(this);
    core.platform = Platform{&messages, &dialog, &folders, &busy, &programs};
    folders.busy = &busy;
    for (int i = 0; i < entries; ++i) core.list.appendEntry(pathOf(i));
    core.chkloop = loop;
    core.chkshuffle = shuffle;
  }
  void mp1_EndOfStream(long result) override { sonavex::mp1_EndOfStream(core, result); }
  void mp1_PlayStateChange(long o, long n) override { sonavex::mp1_PlayStateChange(core, o, n); }
  void mp1_Error() override { sonavex::mp1_Error(core); }
  void mp1_NewStream() override { sonavex::mp1_NewStream(core); }

  static std::string pathOf(int i) { return "/music/t" + std::to_string(i) + ".mp3"; }
  Paths paths() const { return core.list.paths(); }
  Paths names() const { return core.list.displayNames(); }
  std::size_t opens() const { return engine.opened.size(); }
  void add(const Paths& ps) {
    for (const auto& p : ps) core.list.appendEntry(p);
  }
  void select(const std::vector<Index>& rows) {
    for (const Index r : rows) core.list.setSelected(r, true);
  }
  void focus(Index i) { core.list.markEntry(i); }  // as a click in the list would
  void startStream(double duration) {  // the engine starts the stream just opened
    engine.durationValue = duration;
    engine.raiseNewStream();
  }
  void shuffleOrder(const std::vector<Index>& entries, Index position) {
    for (Index e : entries) core.List5.append(e);
    core.List5.setListIndex(position);
  }
  // The shuffle order holds every entry index exactly once.
  bool shuffleCoversList() const {
    std::vector<Index> order = core.List5.entries(), all(static_cast<std::size_t>(core.list.count()));
    std::sort(order.begin(), order.end());
    for (std::size_t i = 0; i < all.size(); ++i) all[i] = static_cast<Index>(i);
    return order == all;
  }
  // What the player window shows: title|elapsed|total, then M and C for the running marquee and
  // clock timers, V and E for a seek bar that is visible and enabled.
  std::string face() const {
    const PlayerFace& f = core.face;
    return f.lblsongname + "|" + f.lblctime + "|" + f.lblttime + "|" + (f.marqueeTimerOn ? "M" : "") +
           (f.clockTimerOn ? "C" : "") + (f.progVisible ? "V" : "") + (f.progEnabled ? "E" : "");
  }
  // Entry g (or nothing, for -1) was opened last and is the only one marked.
  void expectMarked(Index g) const {
    const auto& flags = core.list.selectionFlags();
    EXPECT_EQ(std::tuple(engine.lastOpened(), core.currenttrack, core.shared.tracknumber, core.list.listIndex1(),
                         core.list.listIndex2(), std::count(flags.begin(), flags.end(), 1), core.list.selectedCount()),
              std::tuple(core.list.path(g), g, g + 1, g, g, g == kNone ? 0 : 1, g == kNone ? 0 : 1));
    EXPECT_TRUE(g == kNone || core.list.isSelected(g));
  }
};

// A scratch folder removed with everything below it at the end of the test.
struct TempTree {
  TempTree() {
    std::string pattern = (std::filesystem::temp_directory_path() / "sonavex-test-XXXXXX").string();
    root = mkdtemp(pattern.data());
    chmod(root.c_str(), 0755);  // walkable by an unprivileged user too
  }
  ~TempTree() {
    std::error_code ec;
    // Gives back the permissions a test took away, so that everything can be removed.
    for (std::filesystem::recursive_directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec))
      if (it->is_directory(ec) && !it->is_symlink(ec)) chmod(it->path().c_str(), 0755);
    std::filesystem::remove_all(root, ec);
  }
  TempTree(const TempTree&) = delete;

  std::string path(const std::string& rel) const { return root + "/" + rel; }
  // Creates the file (and its folders) holding `bytes`.
  std::string write(const std::string& rel, const std::string& bytes) const {
    std::filesystem::create_directories(std::filesystem::path(path(rel)).parent_path());
    std::ofstream(path(rel), std::ios::binary) << bytes;
    return path(rel);
  }
  std::string file(const std::string& rel, std::size_t size = 0) const { return write(rel, std::string(size, 'x')); }
  std::string dir(const std::string& rel) const {
    std::filesystem::create_directories(path(rel));
    return path(rel);
  }
  std::string link(const std::string& target, const std::string& rel) const {
    std::filesystem::create_symlink(target, path(rel));
    return path(rel);
  }
  std::string root;
};

}  // namespace sonavex::kit
