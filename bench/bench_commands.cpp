// Speed of the playlist commands on large inputs. The folder search is compared with one `find`
// walk over the same tree printing the same paths (counter "ratio" = our time / find's time).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <clocale>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/Core.h"
#include "core/AddCommands.h"
#include "core/OrderCommands.h"
#include "core/RemoveCommands.h"
#include "support/FakeMediaEngine.h"
#include "core/FileDrop.h"
#include "core/model/Random.h"

namespace sonavex {
namespace {

constexpr int kTopFolders = 50;
constexpr int kSubFolders = 99;      // 50 + 50 * 99 = 5,000 folders
constexpr int kFilesPerFolder = 20;  // 100,000 files, 12 of each 20 match: 60,000
const char* const kMatching[] = {"a.mp3", "b.mp3", "c.MP3", "d.mp3", "e.mp3", "f.mp3",
                                 "g.wma", "h.wma", "i.wav", "j.wav", "k.mid", "l.flac"};
const char* const kOther[] = {"cover.jpg", "notes.txt", "m.asf", "n.dat", "o.mp4", "p.log", "q.nfo", "r.cue"};

class Quiet : public MessageBoxes {
 public:
  MsgAnswer show(const std::string&, const std::string&, MsgButtons, MsgIcon) override { return MsgAnswer::Ok; }
  void notify(const std::string&, const std::string&, MsgIcon) override {}
};

class Picker : public FolderPicker {
 public:
  std::string folder;
  std::string BrowseForFolder(const std::string&) override { return folder; }
};

struct BenchCore {
  FakeMediaEngine engine;
  SeededRandom rng{42};
  Quiet messages;
  Picker picker;
  Core core{engine, rng};
  BenchCore() {
    core.platform.messages = &messages;
    core.platform.folders = &picker;
  }
};

void touch(const std::string& path) {
  const int fd = open(path.c_str(), O_CREAT | O_WRONLY, 0644);
  if (fd >= 0) close(fd);
}

// The benchmark trees, each made once per run and removed at exit.
class Tree {
 public:
  // 5,000 folders of 20 files: 100,000 files, 60,000 matching.
  static const Tree& get() {
    static Tree tree([](Tree& t) {
      for (int a = 0; a < kTopFolders; ++a) {
        const std::string top = t.root + "/artist " + std::to_string(a);
        t.fill(top);
        for (int s = 0; s < kSubFolders; ++s) t.fill(top + "/album " + std::to_string(s));
      }
    });
    return tree;
  }
  // One folder of 20,000 tracks: the whole scan is one folder's sort.
  static const Tree& oneFolder() {
    static Tree tree([](Tree& t) {
      char name[32];
      for (int i = 0; i < 20000; ++i) {
        std::snprintf(name, sizeof name, "/track%05d.mp3", i);
        t.files.push_back(t.root + name);
        touch(t.files.back());
      }
    });
    return tree;
  }
  std::string root;
  std::vector<std::string> files;  // every matching file
  ~Tree() {
    std::error_code ec;
    std::filesystem::remove_all(root, ec);
  }

 private:
  template <typename Make>
  explicit Tree(Make make) {
    std::string pattern = (std::filesystem::temp_directory_path() / "sonavex-bench-XXXXXX").string();
    root = mkdtemp(pattern.data());
    make(*this);
  }
  void fill(const std::string& folder) {
    mkdir(folder.c_str(), 0755);
    for (const char* name : kMatching) {
      files.push_back(folder + "/" + name);
      touch(files.back());
    }
    for (const char* name : kOther) touch(folder + "/" + name);
  }
};

double seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

// One `find` walk printing the paths the add-folder command looks for; returns the bytes printed.
std::size_t findWalk(const std::string& root) {
  const std::string cmd = "find '" + root +
                          "' \\( -iname '*.mp3' -o -iname '*.wma' -o -iname '*.wav' -o -iname '*.mid' -o -iname "
                          "'*.cda' -o -iname '*.flac' -o -iname '*.ogg' -o -iname '*.opus' -o -iname '*.m4a' \\) "
                          "-print";
  FILE* out = popen(cmd.c_str(), "r");
  if (!out) return 0;
  std::size_t bytes = 0;
  char buf[1 << 16];
  for (std::size_t n; (n = fread(buf, 1, sizeof buf, out)) > 0;) bytes += n;
  pclose(out);
  return bytes;
}

void BM_AddFolderTreeAgainstFind(benchmark::State& state, const Tree& (*which)()) {
  const Tree& tree = which();
  findWalk(tree.root);  // warm the cache
  double ours = 0, find = 0;
  for (auto _ : state) {
    auto start = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(findWalk(tree.root));
    find += seconds(std::chrono::steady_clock::now() - start);
    BenchCore b;
    b.picker.folder = tree.root;
    start = std::chrono::steady_clock::now();
    cmddir_Click(b.core);
    const double took = seconds(std::chrono::steady_clock::now() - start);
    ours += took;
    state.SetIterationTime(took);
    if (b.core.list.count() != static_cast<Index>(tree.files.size())) state.SkipWithError("wrong number of entries");
  }
  state.counters["find_ms"] = benchmark::Counter(find * 1000 / static_cast<double>(state.iterations()));
  state.counters["ratio"] = ours / find;
}
BENCHMARK_CAPTURE(BM_AddFolderTreeAgainstFind, files_100k_folders_5k, &Tree::get)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK_CAPTURE(BM_AddFolderTreeAgainstFind, files_20k_one_folder, &Tree::oneFolder)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

constexpr Index kEntries = 100000;

// A playlist of 100,000 entries with varied names; half of them (every other one) selected.
void fillPlaylist(Core& core, bool selectHalf) {
  SeededRandom names(9);
  for (Index i = 0; i < kEntries; ++i) {
    core.list.appendEntry("/music/Artist " + std::to_string(names.below(900)) + "/" +
                          std::to_string(names.below(99)) + " Track title " + std::to_string(names.below(100000)) +
                          (i % 3 ? ".mp3" : ".FLAC"));
    if (selectHalf && i % 2 == 0) core.list.setSelected(i, true);
  }
}

template <void (*Command)(Core&)>
void BM_OnLargePlaylist(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    auto b = std::make_unique<BenchCore>();
    b->core.chkshuffle = 1;
    fillPlaylist(b->core, true);
    state.ResumeTiming();
    Command(b->core);
    state.PauseTiming();
    b.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_OnLargePlaylist<cmdsel_Click>)->Name("RemoveSelected_100k_50kSelected")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OnLargePlaylist<mnucrop_Click>)->Name("Crop_100k")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OnLargePlaylist<cmdrnd_Click>)->Name("RandomOrder_100k")->Unit(benchmark::kMillisecond);

void BM_SortByName(benchmark::State& state, const char* locale) {
  const std::string old = std::setlocale(LC_ALL, nullptr);
  if (!std::setlocale(LC_ALL, locale)) {
    state.SkipWithError("locale not available");
    return;
  }
  state.SetLabel(std::setlocale(LC_COLLATE, nullptr));
  for (auto _ : state) {
    state.PauseTiming();
    auto b = std::make_unique<BenchCore>();
    fillPlaylist(b->core, false);
    state.ResumeTiming();
    cmdname_Click(b->core);
    state.PauseTiming();
    b.reset();
    state.ResumeTiming();
  }
  std::setlocale(LC_ALL, old.c_str());
}
BENCHMARK_CAPTURE(BM_SortByName, user_locale, "")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SortByName, c_utf8, "C.UTF-8")->Unit(benchmark::kMillisecond);

void BM_DeleteInvalid_100k_50kMissing(benchmark::State& state) {
  const Tree& tree = Tree::get();
  for (auto _ : state) {
    state.PauseTiming();
    auto b = std::make_unique<BenchCore>();
    b->core.chkshuffle = 1;
    for (Index i = 0; i < kEntries; ++i) {
      const auto& real = tree.files[static_cast<std::size_t>(i / 2) % tree.files.size()];
      b->core.list.appendEntry(i % 2 ? real : real + ".gone");
    }
    state.ResumeTiming();
    mnuinvalid_Click(b->core);
    state.PauseTiming();
    if (b->core.list.count() != kEntries / 2) state.SkipWithError("wrong number removed");
    b.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_DeleteInvalid_100k_50kMissing)->Unit(benchmark::kMillisecond);

void BM_Drop1000FilesOnto100kShuffled(benchmark::State& state) {
  const Tree& tree = Tree::get();
  const std::vector<std::string> dropped(tree.files.begin(), tree.files.begin() + 1000);
  for (auto _ : state) {
    state.PauseTiming();
    auto b = std::make_unique<BenchCore>();
    b->core.chkshuffle = 1;
    fillPlaylist(b->core, false);
    state.ResumeTiming();
    filedragging(b->core, dropped);
    state.PauseTiming();
    b.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_Drop1000FilesOnto100kShuffled)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace sonavex
