// How long the event loop stops answering while the big list operations run, on 100,000 and
// 1,000,000 entries: the restore at start, a folder scan (a dropped folder), a drop of files, a
// named load, and the list commands. A 10 ms timer ticks throughout; the longest gap between its
// ticks is the worst stall a person could feel (the window manager calls 5 s "not responding",
// a person feels 50 ms). The folder scan also tells how long it took until its last entry was in. Each operation starts from the event loop and is over when the list is
// idle again. The third argument runs list jobs on their worker (1, as the program does) or at once
// on the UI thread (0, as before there was a worker).
#include <benchmark/benchmark.h>

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <fstream>

#include "WindowsKit.h"
#include "core/AddCommands.h"
#include "core/Command.h"
#include "core/FileDrop.h"
#include "core/LastPlaylist.h"
#include "core/ListWork.h"
#include "core/OrderCommands.h"
#include "core/PlaylistFile.h"
#include "core/RemoveCommands.h"
#include "core/Shuffle.h"
#include "core/UndoableEdits.h"
#include "windows/frmplaylist.h"

namespace {

using namespace sonavex;


std::string trackPath(const std::string& folder, int i) {
  return folder + "/Artist " + std::to_string(i % 97) + "/track " + std::to_string(i) + ".mp3";
}

// A folder tree of n empty .mp3 files, 1,000 to a folder, made once per size.
const std::string& treeOf(int n) {
  static std::map<int, std::string> made;
  std::string& root = made[n];
  if (!root.empty()) return root;
  root = QDir::tempPath().toStdString() + "/sonavex-stall-tree-" + std::to_string(n);
  for (int i = 0; i < n; ++i) {
    const std::string folder = root + "/f" + std::to_string(i / 1000);
    if (i % 1000 == 0) QDir().mkpath(QString::fromStdString(folder));
    std::ofstream(folder + "/t" + std::to_string(i) + ".mp3");
  }
  return root;
}

// Answers the load dialog with one file.
struct OneFile : FileDialog {
  std::string file;
  void ShowOpen() override { FileName = file; }
  void ShowSave() override { FileName = file; }
};

// Runs `operation` from the event loop and returns the longest gap, in ms, between the ticks of a
// 10 ms timer until the list is idle again; `tookMs` gets how long that was.
double longestGapMs(Core& core, const std::function<void()>& operation, double* tookMs = nullptr) {
  bench::StallWatch stalls;
  QElapsedTimer took;
  QEventLoop loop;
  bool done = false;
  QTimer::singleShot(20, [&] {
    took.start();
    operation();
    done = true;
  });
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    if (done && !listBusy(core)) loop.quit();
  });
  stalls.start();
  watch.start(5);
  loop.exec();
  if (tookMs != nullptr) *tookMs = static_cast<double>(took.nsecsElapsed()) / 1e6;
  return stalls.longestMs();
}

enum Operation { Restore, FolderScan, FileDrop, NamedLoad, SortByName, RandomOrder, RemoveHalf,
                 Crop, DeleteInvalid, Undo, Redo, ShuffleOn };
const char* const kNames[] = {"restore", "folder_scan", "drop_files", "named_load", "sort_name",
                              "random_order", "remove_half", "crop", "delete_invalid", "undo",
                              "redo", "shuffle_on"};

void BM_LongestStall(benchmark::State& state) {
  const auto operation = static_cast<Operation>(state.range(0));
  const int n = static_cast<int>(state.range(1));
  const bool background = state.range(2) != 0;
  std::vector<std::string> paths;
  paths.reserve(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) paths.push_back(trackPath("/home/user/Music", i));
  bench::ShownWindows w(0, background);
  Core& core = w.core();
  std::string uriList;  // as a file manager's drop of the files gives them
  for (const std::string& path : paths) uriList += "file://" + path + "\r\n";
  const std::string plt = w.dir.path().toStdString() + "/big.plt";
  writeFileAtomically(plt, serializePlaylist(paths));
  OneFile dialog;
  dialog.file = plt;
  core.platform.cd1 = &dialog;
  core.platform.messages = nullptr;  // nothing may wait on a person here
  const std::string tree = operation == FolderScan ? treeOf(n) : std::string();
  double worst = 0, took = 0;
  // Runs a command of the setting up, and waits until its list job is over.
  auto prepare = [&core](auto command) {
    perform(core, command);
    while (listBusy(core)) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  };
  for (auto _ : state) {
    state.PauseTiming();
    prepare(cmdall_Click);
    // The history of the setting up holds a million names: dropped on the worker, as the program
    // drops what a job gives up, so that the program's thread does not tidy their memory later.
    prepare([](Core& c) { runListEdit(c, [](ListState& list) { list.history = UndoHistory(); }); });
    core.chkshuffle = 0;
    if (operation != Restore && operation != FolderScan && operation != FileDrop &&
        operation != NamedLoad) {
      prepare([&plt](Core& c) { loadPlaylistFile(c, plt); });
    }
    {
      PlaylistBatch batch(core.list);  // one notification for the view, not one a row
      for (Index i = 0; i < core.list.count(); i += 2) core.list.setSelected(i, true);
    }
    if (operation == Undo || operation == Redo) prepare(cmdsel_Click);
    if (operation == Redo) prepare([](Core& c) { undo(c); });
    core.lastPlaylist.path = plt;
    bench::settle();
    state.ResumeTiming();
    double gap = 0;
    switch (operation) {
      case Restore: gap = longestGapMs(core, [&] { perform(core, [](Core& c) { restoreLastPlaylist(c); }); }); break;
      case FolderScan: gap = longestGapMs(core, [&] { perform(core, filedragging, std::vector{tree}); }, &took); break;
      case FileDrop: gap = longestGapMs(core, [&] { perform(core, dropUriList, std::string(uriList)); }); break;
      case NamedLoad: gap = longestGapMs(core, [&] { perform(core, cmdload_Click); }); break;
      case SortByName: gap = longestGapMs(core, [&] { perform(core, cmdname_Click); }); break;
      case RandomOrder: gap = longestGapMs(core, [&] { perform(core, cmdrnd_Click); }); break;
      case RemoveHalf: gap = longestGapMs(core, [&] { perform(core, cmdsel_Click); }); break;
      case Crop: gap = longestGapMs(core, [&] { perform(core, mnucrop_Click); }); break;
      case DeleteInvalid: gap = longestGapMs(core, [&] { perform(core, mnuinvalid_Click); }); break;
      case Undo: gap = longestGapMs(core, [&] { perform(core, undo); }); break;
      case Redo: gap = longestGapMs(core, [&] { perform(core, redo); }); break;
      case ShuffleOn:
        gap = longestGapMs(core, [&] {
          perform(core, [](Core& c) {
            c.chkshuffle = 1;
            chkshuffle_Click(c);
          });
        });
        break;
    }
    worst = std::max(worst, gap);
  }
  state.counters["longest_stall_ms"] = worst;
  if (operation == FolderScan) state.counters["until_last_entry_ms"] = took;
  state.counters["entries"] = core.list.count();
  state.SetLabel(std::string(kNames[operation]) + (background ? " on a worker" : " on the UI thread"));
}

void Operations(benchmark::internal::Benchmark* b) {
  for (int n : {100000, 1000000})
    for (int op = Restore; op <= ShuffleOn; ++op)
      for (int background : {0, 1}) b->Args({op, n, background});
}
BENCHMARK(BM_LongestStall)->Apply(Operations)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) { return sonavex::bench::runQtBenchmarks(argc, argv); }
