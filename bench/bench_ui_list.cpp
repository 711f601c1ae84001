// The shown playlist with large lists: restoring lastplaylist.txt into the list window, appending a
// folder scan's worth of entries, and selecting everything.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>

#include "WindowsKit.h"
#include "app/Forms.h"
#include "core/LastPlaylist.h"
#include "core/PlaylistFile.h"
#include "windows/PlaylistView.h"
#include "windows/frmplaylist.h"

namespace {

using namespace sonavex;
using bench::settle;
using bench::ShownWindows;

std::vector<std::string> paths(int n, const char* folder) {
  std::vector<std::string> out;
  out.reserve(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i)
    out.push_back(std::string(folder) + "/Artist " + std::to_string(i % 97) + "/track " +
                  std::to_string(i) + ".mp3");
  return out;
}



void BM_RestoreLastPlaylistIntoShownList(benchmark::State& state) {
  ShownWindows w;
  const std::string file = w.core().lastPlaylist.path;
  writeFileAtomically(file, serializePlaylist(paths(100000, "/home/user/Music")));
  for (auto _ : state) {
    state.PauseTiming();
    w.core().list.clear();
    settle();
    state.ResumeTiming();
    restoreLastPlaylist(w.core(), file);
    w.forms->playlist().list()->viewport()->repaint();
    settle();
  }
  state.counters["entries"] = w.core().list.count();
}
BENCHMARK(BM_RestoreLastPlaylistIntoShownList)->Unit(benchmark::kMillisecond);

void BM_Append60000ToShownList(benchmark::State& state) {
  ShownWindows w;
  const std::vector<std::string> scan = paths(60000, "/media/scan");
  for (auto _ : state) {
    state.PauseTiming();
    w.core().list.clear();
    settle();
    state.ResumeTiming();
    {
      PlaylistBatch batch(w.core().list);
      for (const std::string& p : scan) w.core().list.appendEntry(p);
    }
    w.forms->playlist().list()->viewport()->repaint();
    settle();
  }
}
BENCHMARK(BM_Append60000ToShownList)->Unit(benchmark::kMillisecond);

void BM_SelectAll100000InShownList(benchmark::State& state) {
  ShownWindows w;
  {
    PlaylistBatch batch(w.core().list);
    for (const std::string& p : paths(100000, "/m")) w.core().list.appendEntry(p);
  }
  const std::vector<std::uint8_t> all(100000, 1);
  const std::vector<std::uint8_t> none(100000, 0);
  for (auto _ : state) {
    w.core().list.setSelectionFlags(all);
    w.core().list.setSelectionFlags(none);
    settle();
  }
}
BENCHMARK(BM_SelectAll100000InShownList)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return sonavex::bench::runQtBenchmarks(argc, argv); }
