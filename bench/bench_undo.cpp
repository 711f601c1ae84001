// Undo and redo on a playlist of 100,000 entries (the target is under 100 ms each), and what the
// history holds after 50 steps, as counters.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "core/Core.h"
#include "core/OrderCommands.h"
#include "core/RemoveCommands.h"
#include "core/FileDrop.h"
#include "core/model/Random.h"
#include "core/UndoableEdits.h"
#include "support/FakeMediaEngine.h"

namespace sonavex {
namespace {

constexpr Index kEntries = 100000;

struct BenchCore {
  FakeMediaEngine engine;
  SeededRandom rng{42};
  Core core{engine, rng};
};

// 100,000 entries with varied names, shuffle on, every other entry selected.
std::unique_ptr<BenchCore> largePlaylist() {
  auto b = std::make_unique<BenchCore>();
  b->core.chkshuffle = 1;
  SeededRandom names(9);
  for (Index i = 0; i < kEntries; ++i) {
    b->core.list.appendEntry("/music/Artist " + std::to_string(names.below(900)) + "/" +
                             std::to_string(names.below(99)) + " Track title " +
                             std::to_string(names.below(100000)) + (i % 3 ? ".mp3" : ".FLAC"));
    if (i % 2 == 0) b->core.list.setSelected(i, true);
  }
  return b;
}

std::size_t entryBytes(const PlaylistModel& list) {
  std::size_t bytes = 0;
  for (const auto* strings : {&list.paths(), &list.displayNames()})
    for (const auto& s : *strings)
      bytes += sizeof s + (s.capacity() > std::string().capacity() ? s.capacity() + 1 : 0);
  return bytes;
}

// The command runs once; then each iteration times one undo (or redo) and puts the other side back
// untimed.
template <void (*Command)(Core&), bool Redo>
void BM_UndoRedo(benchmark::State& state) {
  auto b = largePlaylist();
  const std::size_t entries = entryBytes(b->core.list);
  Command(b->core);
  const std::size_t held = b->core.history.bytes();
  for (auto _ : state) {
    if (Redo) {
      state.PauseTiming();
      undo(b->core);
      state.ResumeTiming();
      if (!redo(b->core)) state.SkipWithError("nothing to redo");
    } else {
      if (!undo(b->core)) state.SkipWithError("nothing to undo");
      state.PauseTiming();
      redo(b->core);
      state.ResumeTiming();
    }
  }
  state.counters["step_bytes"] = static_cast<double>(held);
  state.counters["entry_bytes"] = static_cast<double>(entries);
}
BENCHMARK(BM_UndoRedo<cmdall_Click, false>)
    ->Name("Undo_RemoveAll_100k")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UndoRedo<cmdname_Click, false>)
    ->Name("Undo_SortByName_100k")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UndoRedo<cmdrnd_Click, false>)
    ->Name("Undo_RandomOrder_100k")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UndoRedo<cmdsel_Click, false>)
    ->Name("Undo_RemoveSelected_100k_50kSelected")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UndoRedo<cmdall_Click, true>)
    ->Name("Redo_RemoveAll_100k")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UndoRedo<cmdname_Click, true>)
    ->Name("Redo_SortByName_100k")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UndoRedo<cmdrnd_Click, true>)
    ->Name("Redo_RandomOrder_100k")
    ->Unit(benchmark::kMillisecond);

// 50 steps on 100,000 entries, in turn: sort by name, random order, removing 1,000 selected
// entries, a drop of 1,000 files. The history's bytes are compared with the entries' own bytes.
void BM_HistoryBytes_50Steps(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    auto b = largePlaylist();
    Core& core = b->core;
    std::vector<std::string> dropped;
    for (int i = 0; i < 1000; ++i)
      dropped.push_back("/dropped/folder/track " + std::to_string(i) + ".mp3");
    state.ResumeTiming();
    for (int step = 0; step < 50; ++step) {
      switch (step % 4) {
        case 0:
          cmdname_Click(core);
          break;
        case 1:
          cmdrnd_Click(core);
          break;
        case 2:
          for (Index i = 0; i < core.list.count(); i += core.list.count() / 1000)
            core.list.setSelected(i, true);
          cmdsel_Click(core);
          break;
        default:
          filedragging(core, dropped);
          break;
      }
    }
    state.PauseTiming();
    const std::size_t bytes = core.history.bytes();
    state.counters["steps"] = static_cast<double>(core.history.undoLevels());
    state.counters["history_bytes"] = static_cast<double>(bytes);
    state.counters["bytes_per_step"] =
        static_cast<double>(bytes) / static_cast<double>(core.history.undoLevels());
    state.counters["entry_bytes"] = static_cast<double>(entryBytes(core.list));
    while (undo(core)) {
    }
    state.counters["history_bytes_all_undone"] = static_cast<double>(core.history.bytes());
    b.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_HistoryBytes_50Steps)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace sonavex
