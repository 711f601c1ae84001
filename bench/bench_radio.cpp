// Internet radio against a station on this machine (tests/e2e/radio_server.py), with the real
// engine playing into the test sink (run under scripts/with-pulse.sh):
//  - play to first sound (the first loud moment at the sink) of the live stream, beside the same MP3 as a local file (n = 8 each);
//  - the longest time the event loop does not answer while the player connects to an address
//    that never answers, until it gives up on it (10 s), and while the live stream plays.
// The engine is driven through the core's commands, as the windows drive it.
#include <benchmark/benchmark.h>
#include <gst/gst.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/Command.h"
#include "core/Core.h"
#include "core/EngineEvents.h"
#include "core/Transport.h"
#include "engine/gst/GstMediaEngine.h"
#include "SinkMonitor.h"

namespace {

using namespace sonavex;

// Runs the loop until done() or the time is up; the longest time between two of its rounds.
double runLoop(double seconds, const std::function<bool()>& done = [] { return false; }) {
  const auto until = Clock::now() + std::chrono::duration<double>(seconds);
  double longest = 0;
  for (auto last = Clock::now(); Clock::now() < until && !done();) {
    while (g_main_context_iteration(nullptr, FALSE)) {
    }
    const auto now = Clock::now();
    longest = std::max(longest, std::chrono::duration<double>(now - last).count());
    last = now;
    usleep(1000);
  }
  return longest;
}

// The station, on a free port, for as long as it lives.
struct Station {
  Station() {
    dir = (std::filesystem::temp_directory_path() / "sonavex-radio-XXXXXX").string();
    dir = mkdtemp(dir.data());
    mp3 = dir + "/tone.mp3";
    std::system(("gst-launch-1.0 -q audiotestsrc volume=0.5 num-buffers=430 samplesperbuffer=441 ! "
                 "audio/x-raw,rate=44100,channels=2 ! lamemp3enc target=bitrate cbr=true ! filesink location=" +
                 mp3).c_str());
    pid = fork();
    if (pid == 0) {
      execlp("python3", "python3", SONAVEX_RADIO_SERVER, mp3.c_str(), (dir + "/port").c_str(), nullptr);
      _exit(127);
    }
    while (!std::filesystem::exists(dir + "/port")) usleep(10000);
    int port = 0;
    std::ifstream(dir + "/port") >> port;
    address = "http://127.0.0.1:" + std::to_string(port);
  }
  ~Station() {
    ::kill(pid, SIGTERM);
    ::waitpid(pid, nullptr, 0);
    std::filesystem::remove_all(dir);
  }
  std::string dir, mp3, address;
  pid_t pid = 0;
};

struct Player {
  SeededRandom random{1};
  std::unique_ptr<MediaEngine> engine = makeGstMediaEngine();
  Core core{*engine, random};
  EngineEvents events{core};
  void play(const std::string& path) {
    core.list.clear();
    core.list.appendEntry(path);
    core.list.markEntry(0);
    perform(core, cmdplay_Click);
  }
};

void BM_StreamBesideFile(benchmark::State& state) {
  gst_init(nullptr, nullptr);
  Station station;
  Monitor monitor;
  Player player;
  std::vector<double> stream, file;
  double stallConnecting = 0, stallPlaying = 0;
  for (auto _ : state) {
    for (int i = 0; i < 8; ++i) {
      for (const auto& [path, times] : {std::pair{station.address + "/live.mp3", &stream}, std::pair{station.mp3, &file}}) {
        monitor.mark();
        const auto t0 = Clock::now();
        player.play(path);
        runLoop(10, [&] { return monitor.loudAt().has_value(); });
        if (auto loud = monitor.loudAt()) times->push_back(std::chrono::duration<double>(*loud - t0).count());
        if (path != station.mp3) stallPlaying = std::max(stallPlaying, runLoop(1));
        perform(player.core, cmdstop_Click);
        runLoop(0.3);
      }
    }
    player.play(station.address + "/hang");
    stallConnecting = runLoop(15, [&] { return player.core.mp1.fileName() != station.address + "/hang"; });
  }
  for (const auto& [name, times] : {std::pair{"stream", &stream}, std::pair{"file", &file}}) {
    std::sort(times->begin(), times->end());
    state.counters[std::string(name) + "_to_sound_min_s"] = times->front();
    state.counters[std::string(name) + "_to_sound_median_s"] = (*times)[times->size() / 2];
    state.counters[std::string(name) + "_to_sound_max_s"] = times->back();
  }
  state.counters["longest_stall_connecting_ms"] = stallConnecting * 1000;
  state.counters["longest_stall_playing_ms"] = stallPlaying * 1000;
}
BENCHMARK(BM_StreamBesideFile)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace
