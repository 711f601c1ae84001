// Inspecting many files for File Info: the two small reads plus decoding, against the same two
// reads done plainly. The files are 5 MB each but sparse, with only their ends written.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "core/FileInfoTexts.h"

namespace {

namespace fs = std::filesystem;

constexpr int kFiles = 10'000;
constexpr off_t kFileSize = 5'000'000;

class SparseFiles {
 public:
  SparseFiles() {
    std::string pattern = (fs::temp_directory_path() / "sonavex-bench-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) std::abort();
    dir_ = pattern;
    std::vector<std::uint8_t> head(sonavex::kMpegScanBytes, 0);
    head[0] = 0xFF;
    head[1] = 0xFB;
    head[2] = 0x90;
    head[3] = 0x64;
    std::vector<std::uint8_t> tail(sonavex::kId3v1Size, ' ');
    tail[0] = 'T';
    tail[1] = 'A';
    tail[2] = 'G';
    for (int i = 0; i < kFiles; ++i) {
      const std::string path = (dir_ / ("f" + std::to_string(i) + ".mp3")).string();
      const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      if (fd < 0 || ::ftruncate(fd, kFileSize) != 0 ||
          ::pwrite(fd, head.data(), head.size(), 0) != static_cast<ssize_t>(head.size()) ||
          ::pwrite(fd, tail.data(), tail.size(), kFileSize - 128) != 128) {
        std::abort();
      }
      ::close(fd);
      paths_.push_back(path);
    }
  }
  ~SparseFiles() {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  const std::vector<std::string>& paths() const { return paths_; }

 private:
  fs::path dir_;
  std::vector<std::string> paths_;
};

const SparseFiles& files() {
  static const SparseFiles instance;
  return instance;
}

void BM_InspectTenThousandFiles(benchmark::State& state) {
  const auto& paths = files().paths();
  for (auto _ : state) {
    for (const std::string& path : paths) {
      const sonavex::FileProbe probe = sonavex::probeFile(path);
      benchmark::DoNotOptimize(sonavex::buildFileInfoTexts(probe));
    }
  }
  state.SetItemsProcessed(state.iterations() * kFiles);
}
BENCHMARK(BM_InspectTenThousandFiles)->Unit(benchmark::kMillisecond);

void BM_PlainReadsOfBothEnds(benchmark::State& state) {
  const auto& paths = files().paths();
  std::uint8_t head[sonavex::kMpegScanBytes];
  std::uint8_t tail[sonavex::kId3v1Size];
  for (auto _ : state) {
    for (const std::string& path : paths) {
      const int fd = ::open(path.c_str(), O_RDONLY);
      benchmark::DoNotOptimize(::read(fd, head, sizeof head));
      ::lseek(fd, -static_cast<off_t>(sizeof tail), SEEK_END);
      benchmark::DoNotOptimize(::read(fd, tail, sizeof tail));
      ::close(fd);
    }
  }
  state.SetItemsProcessed(state.iterations() * kFiles);
}
BENCHMARK(BM_PlainReadsOfBothEnds)->Unit(benchmark::kMillisecond);

}  // namespace
