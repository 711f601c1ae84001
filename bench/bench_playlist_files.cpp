// Restoring and saving a 100,000-entry lastplaylist.txt, the size of a large music library.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "support/FakeMediaEngine.h"
#include "core/LastPlaylist.h"
#include "core/PlaylistFile.h"

namespace {

using namespace sonavex;
namespace fs = std::filesystem;

constexpr int kEntries = 100'000;

// Paths of 60 to 80 bytes spread over artist and album folders.
std::vector<std::string> realisticPaths() {
  std::vector<std::string> paths;
  paths.reserve(kEntries);
  for (int i = 0; i < kEntries; ++i) {
    std::string p = "/home/listener/Music/Artist " + std::to_string(i / 500) + "/Album " +
                    std::to_string(i / 12) + "/" + std::to_string(i % 12 + 1) + " - Track title";
    p.append(static_cast<std::size_t>(i % 15), 'x').append(".mp3");
    paths.push_back(std::move(p));
  }
  return paths;
}

struct BenchFolder {
  fs::path dir;
  BenchFolder() {
    std::string pattern = (fs::temp_directory_path() / "sonavex-bench-XXXXXX").string();
    dir = ::mkdtemp(pattern.data());
  }
  ~BenchFolder() { fs::remove_all(dir); }
};

void BM_RestoreLastPlaylist(benchmark::State& state) {
  BenchFolder folder;
  const std::string file = (folder.dir / kLastPlaylistName).string();
  writeFileAtomically(file, serializePlaylist(realisticPaths()));
  FakeMediaEngine engine;
  SeededRandom rng(1);
  for (auto _ : state) {
    Core core(engine, rng);
    restoreLastPlaylist(core, file);
    benchmark::DoNotOptimize(core.list.count());
    if (core.list.count() != kEntries) state.SkipWithError("restore lost entries");
  }
  state.SetItemsProcessed(state.iterations() * kEntries);
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(fs::file_size(file)));
}
BENCHMARK(BM_RestoreLastPlaylist)->Unit(benchmark::kMillisecond);

void BM_SaveLastPlaylist(benchmark::State& state) {
  BenchFolder folder;
  const std::string file = (folder.dir / kLastPlaylistName).string();
  FakeMediaEngine engine;
  SeededRandom rng(1);
  Core core(engine, rng);
  for (auto& p : realisticPaths()) core.list.appendEntry(std::move(p));
  // Includes the fsync that makes the replacement durable, so the figure depends on the disk.
  for (auto _ : state) savelastplaylist(core, file);
  std::string bytes;
  if (!readWholeFile(file, bytes) || static_cast<int>(parsePlaylist(bytes).size()) != kEntries) {
    state.SkipWithError("save lost entries");
  }
  state.SetItemsProcessed(state.iterations() * kEntries);
}
BENCHMARK(BM_SaveLastPlaylist)->Unit(benchmark::kMillisecond);

// The in-memory part of a save, without the disk.
void BM_SerializePlaylist(benchmark::State& state) {
  const std::vector<std::string> paths = realisticPaths();
  for (auto _ : state) benchmark::DoNotOptimize(serializePlaylist(paths));
  state.SetItemsProcessed(state.iterations() * kEntries);
}
BENCHMARK(BM_SerializePlaylist)->Unit(benchmark::kMillisecond);

}  // namespace
