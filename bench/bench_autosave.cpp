// What writing the list soon after each change costs the UI thread: a 100,000-entry list changes
// every 100 ms for 10 s while a 10 ms timer ticks; the longest gap between its ticks is the worst
// stall a person could feel. Argument 1 saves as the program does (serialized on the UI thread,
// written by the background writer); argument 0 is the same run with saving off, for comparison.
#include <benchmark/benchmark.h>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>

#include "WindowsKit.h"
#include "core/Command.h"
#include "core/LastPlaylist.h"

namespace {

using namespace sonavex;

// Counts the saves handed to the program's writer.
struct CountingWriter : BackgroundWriter {
  explicit CountingWriter(BackgroundWriter& to) : inner(to) {}
  void write(std::string path, std::function<std::string()> bytes,
             std::function<void(bool, const std::string&)> done) override {
    ++writes;
    inner.write(std::move(path), std::move(bytes), std::move(done));
  }
  void waitIdle() override { inner.waitIdle(); }
  BackgroundWriter& inner;
  int writes = 0;
};

void BM_LongestUiGapWhileA100000EntryListChangesEvery100ms(benchmark::State& state) {
  bench::ShownWindows w(100000);
  Core& core = w.core();
  core.lastPlaylist.saves = state.range(0) != 0;
  CountingWriter writer(*core.platform.writer);
  core.platform.writer = &writer;
  double longestMs = 0;
  for (auto _ : state) {
    bench::StallWatch stalls;
    QTimer change;
    change.setInterval(100);
    QObject::connect(&change, &QTimer::timeout, [&core] {
      perform(core, [](Core& c) { c.list.appendEntry("/home/user/Music/new/track.mp3"); });
    });
    QEventLoop loop;
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    stalls.start();
    change.start();
    loop.exec();
    longestMs = stalls.longestMs();
  }
  writer.waitIdle();
  state.counters["longest_gap_ms"] = longestMs;
  state.counters["saves"] = writer.writes;
  core.platform.writer = &writer.inner;
}
BENCHMARK(BM_LongestUiGapWhileA100000EntryListChangesEvery100ms)
    ->Arg(0)
    ->Arg(1)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) { return sonavex::bench::runQtBenchmarks(argc, argv); }
