// Speed of the playing core on a large playlist: building the shuffle order and choosing the next
// and previous track. The engine does nothing, so only the core's own work is measured.
#include <benchmark/benchmark.h>

#include "core/Core.h"
#include "core/Transport.h"
#include "core/Sequencer.h"
#include "core/Shuffle.h"

namespace {

using namespace sonavex;

constexpr Index kEntries = 100000;

// Plays as far as the transport can tell, and opens nothing.
class SilentEngine : public NoMediaEngine {
 public:
  void open(const std::string& path) override { benchmark::DoNotOptimize(path.data()); }
  long playState() const override { return kPlaying; }
};

struct BigPlaylist {
  SilentEngine engine;
  SeededRandom random{7};
  Core core{engine, random};

  BigPlaylist(int loop, int shuffle) {
    for (Index i = 0; i < kEntries; ++i) {
      core.list.appendEntry("/music/album " + std::to_string(i / 12) + "/track " +
                            std::to_string(i) + ".mp3");
    }
    core.chkloop = loop;
    core.chkshuffle = shuffle;
    rebuildShuffleOrder(core);
    core.list.markEntry(kEntries / 2);
  }
};

void BM_RebuildShuffleOrder(benchmark::State& state) {
  BigPlaylist big(1, 1);
  for (auto _ : state) {
    rebuildShuffleOrder(big.core);
    benchmark::DoNotOptimize(big.core.List5.entries().data());
  }
}
BENCHMARK(BM_RebuildShuffleOrder)->Unit(benchmark::kMillisecond);

void BM_Nextsong(benchmark::State& state) {
  BigPlaylist big(1, static_cast<int>(state.range(0)));
  for (auto _ : state) nextsong(big.core);
}
BENCHMARK(BM_Nextsong)->ArgName("shuffle")->Arg(0)->Arg(1);

void BM_Previous(benchmark::State& state) {
  BigPlaylist big(1, static_cast<int>(state.range(0)));
  for (auto _ : state) cmdprev_Click(big.core);
}
BENCHMARK(BM_Previous)->ArgName("shuffle")->Arg(0)->Arg(1);

}  // namespace
