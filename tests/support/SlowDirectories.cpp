// Directory reads that take long, as on a slow disk or a network share: each readdir() first waits
// SONAVEX_TEST_READDIR_DELAY_MS milliseconds (read when loaded), or what slowDirectories() set.
// Preloaded into the program (LD_PRELOAD), or linked into a test, it comes before the C library's.
#include <dirent.h>
#include <dlfcn.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

namespace {
std::atomic<int> delayMs{[] {
  const char* set = std::getenv("SONAVEX_TEST_READDIR_DELAY_MS");
  return set != nullptr ? std::atoi(set) : 0;
}()};

template <class Read>
Read* real(const char* name) {
  static Read* found = reinterpret_cast<Read*>(dlsym(RTLD_NEXT, name));
  return found;
}

void wait() {
  if (const int ms = delayMs.load(std::memory_order_relaxed); ms > 0)
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}
}  // namespace

extern "C" {
void slowDirectories(int ms) { delayMs.store(ms, std::memory_order_relaxed); }

struct dirent* readdir(DIR* dir) {
  wait();
  return real<struct dirent*(DIR*)>("readdir")(dir);
}

}
