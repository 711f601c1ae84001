// What a listener waits for and what a busy machine costs him, with the real engine playing into
// the test sink (run under scripts/with-pulse.sh) and the sink's monitor recorded in the process:
//  - play to first sound: from the play command to the first loud sound at the sink, 0.3 s after
//    the last stop (n = 20) and 4 s after it, once the engine has let its pipeline go (n = 8);
//  - play to tags: from the play command until the engine has the file's title, the same;
//  - volume and balance: how long until a change is heard (the sound silenced, then one side);
//  - dropouts: a continuous sine cut into 40 MP3 files of 0.05 to 0.5 s, then a 20 s MP3 of it,
//    played while nothing else runs, beside 2 and 8 busy loops and beside a compile's mix of CPU,
//    memory and disk (stress-ng): the holes of 5 ms or more in the sound, and the longest.
// The engine is driven through the core's commands, as the windows drive it.
#include <benchmark/benchmark.h>
#include <gst/gst.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
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

void runLoop(double seconds, const std::function<bool()>& done = [] { return false; }) {
  const auto until = Clock::now() + std::chrono::duration<double>(seconds);
  while (Clock::now() < until && !done()) {
    while (g_main_context_iteration(nullptr, FALSE)) {
    }
    usleep(1000);
  }
}

struct Player {
  SeededRandom random{1};
  std::unique_ptr<MediaEngine> engine = makeGstMediaEngine();
  Core core{*engine, random};
  EngineEvents events{core};
  void list(const std::vector<std::string>& paths) {
    core.list.clear();
    for (const std::string& path : paths) core.list.appendEntry(path);
    core.chkloop = 0;
    core.list.markEntry(0);
  }
};

std::string folder() {
  static const std::string made = [] {
    std::string dir = (std::filesystem::temp_directory_path() / "sonavex-listening-XXXXXX").string();
    return std::string(mkdtemp(dir.data()));
  }();
  return made;
}

// A 441 Hz sine at half of full scale, frames [first, first + count) of it, as WAV then MP3.
std::string sinePart(const std::string& name, std::size_t first, std::size_t count) {
  const std::string wav = folder() + "/" + name + ".wav";
  std::ofstream out(wav, std::ios::binary);
  auto u32 = [&](std::uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
  auto u16 = [&](std::uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
  out.write("RIFF", 4);
  u32(static_cast<std::uint32_t>(36 + count * 4));
  out.write("WAVEfmt ", 8);
  u32(16), u16(1), u16(2), u32(44100), u32(44100 * 4), u16(4), u16(16);
  out.write("data", 4);
  u32(static_cast<std::uint32_t>(count * 4));
  for (std::size_t n = first; n < first + count; ++n) {
    const auto s = static_cast<std::int16_t>(std::lround(16384 * std::sin(2 * M_PI * 441 * n / 44100)));
    u16(static_cast<std::uint16_t>(s)), u16(static_cast<std::uint16_t>(s));
  }
  out.close();
  const std::string mp3 = folder() + "/" + name + ".mp3";
  if (std::system(("lame --quiet --tt '" + name + "' '" + wav + "' '" + mp3 + "'").c_str()) != 0) return wav;
  return mp3;
}

void report(benchmark::State& state, const char* what, std::vector<double> seconds) {
  std::sort(seconds.begin(), seconds.end());
  if (seconds.empty()) return;
  state.counters[std::string(what) + "_min_s"] = seconds.front();
  state.counters[std::string(what) + "_median_s"] = seconds[seconds.size() / 2];
  state.counters[std::string(what) + "_max_s"] = seconds.back();
}

void BM_PlayToSoundAndTags(benchmark::State& state) {
  gst_init(nullptr, nullptr);
  Monitor monitor;
  Player player;
  const std::string file = sinePart("tagged", 0, 44100 * 3);
  player.list({file});
  const double idle = static_cast<double>(state.range(0)) / 10;
  std::vector<double> sound, tags;
  for (auto _ : state) {
    for (int i = 0; i < (idle < 1 ? 20 : 8); ++i) {
      runLoop(idle);
      monitor.mark();
      const auto t0 = Clock::now();
      perform(player.core, cmdplay_Click);
      std::optional<Clock::time_point> tagged;
      runLoop(3, [&] {
        if (!tagged && !player.core.mp1.tags().title.empty()) tagged = Clock::now();
        return tagged && monitor.loudAt();
      });
      if (auto loud = monitor.loudAt()) sound.push_back(std::chrono::duration<double>(*loud - t0).count());
      if (tagged) tags.push_back(std::chrono::duration<double>(*tagged - t0).count());
      perform(player.core, cmdstop_Click);
    }
  }
  report(state, "play_to_sound", sound);
  report(state, "play_to_tags", tags);
  state.SetLabel(idle < 1 ? "0.3 s after a stop" : "4 s after a stop");
}
BENCHMARK(BM_PlayToSoundAndTags)->Arg(3)->Arg(40)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

void BM_VolumeAndBalanceAnswer(benchmark::State& state) {
  gst_init(nullptr, nullptr);
  Monitor monitor;
  Player player;
  player.list({sinePart("long", 0, 44100 * 30)});
  std::vector<double> volume, balance;
  const auto heardAfter = [&](const std::function<void()>& change, const std::function<bool(double)>& heard) {
    const auto t0 = Clock::now();
    change();
    runLoop(3, [&] { return heard(monitor.level()); });
    return std::chrono::duration<double>(Clock::now() - t0).count();
  };
  for (auto _ : state) {
    perform(player.core, cmdplay_Click);
    runLoop(1);
    for (int i = 0; i < 5; ++i) {
      const double full = monitor.level();
      volume.push_back(heardAfter([&] { player.core.mp1.setVolume(-10000); }, [&](double l) { return l < full * 0.1; }));
      player.core.mp1.setVolume(0);
      runLoop(1);
      balance.push_back(heardAfter([&] { player.core.mp1.setBalance(-10000); }, [&](double l) { return l < full * 0.6; }));
      player.core.mp1.setBalance(0);
      runLoop(1);
    }
    perform(player.core, cmdstop_Click);
  }
  report(state, "volume_heard", volume);
  report(state, "balance_heard", balance);
}
BENCHMARK(BM_VolumeAndBalanceAnswer)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

// The holes in the recorded sine: runs of 5 ms or more below 1/300 of full scale, between its
// first loud sample and its last.
std::pair<int, double> holes(const std::vector<std::int16_t>& r) {
  std::size_t first = 0, last = r.size();
  while (first < r.size() && std::abs(r[first]) < 8000) ++first;
  while (last > first && std::abs(r[last - 1]) < 8000) --last;
  int count = 0;
  std::size_t run = 0, longest = 0;
  for (std::size_t i = first; i < last; ++i) {
    run = std::abs(r[i]) < 100 ? run + 1 : 0;
    if (run == 220) ++count;  // 5 ms
    longest = std::max(longest, run);
  }
  return {count, 1000.0 * longest / 44100};
}

void BM_DropoutsUnderLoad(benchmark::State& state) {
  static const char* const kLoads[][12] = {
      {nullptr},
      {"--cpu", "2", "--cpu-method", "loop", nullptr},
      {"--cpu", "8", "--cpu-method", "loop", nullptr},
      {"--cpu", "4", "--vm", "2", "--vm-bytes", "256M", "--hdd", "2", "--hdd-bytes", "128M", nullptr}};
  static const char* const kNames[] = {"idle", "2 busy loops", "8 busy loops", "a compile's mix"};
  const auto load = static_cast<std::size_t>(state.range(0));
  gst_init(nullptr, nullptr);
  Monitor monitor;
  Player player;
  std::vector<std::string> parts;
  std::size_t first = 0;
  for (int i = 0; i < 40; ++i) {
    const std::size_t count = 2205 + static_cast<std::size_t>(i * 7919 % 19845);  // 0.05 to 0.5 s
    parts.push_back(sinePart("part" + std::to_string(i), first, count));
    first += count;
  }
  const std::string whole = sinePart("whole", 0, 44100 * 20);
  pid_t stress = 0;
  if (kLoads[load][0] != nullptr) {
    std::vector<const char*> args{"stress-ng", "--quiet", "--timeout", "120s", "--temp-path", "/tmp"};
    for (const char* const* a = kLoads[load]; *a != nullptr; ++a) args.push_back(*a);
    args.push_back(nullptr);
    stress = fork();
    if (stress == 0) {
      setpgid(0, 0);
      execvp(args[0], const_cast<char* const*>(args.data()));
      _exit(127);
    }
    sleep(1);
  }
  for (auto _ : state) {
    for (const auto& [name, list] : {std::pair{"joins", parts}, std::pair{"long", std::vector{whole}}}) {
      player.list(list);
      monitor.keep(true);
      perform(player.core, cmdplay_Click);
      runLoop(40, [&] { return player.core.currenttrack == kNone; });
      runLoop(0.5);
      const auto [count, longest] = holes(monitor.kept());
      monitor.keep(false);
      state.counters[std::string(name) + "_dropouts"] = count;
      state.counters[std::string(name) + "_longest_ms"] = longest;
    }
  }
  if (stress > 0) {
    ::kill(-stress, SIGTERM);
    ::waitpid(stress, nullptr, 0);
  }
  state.SetLabel(kNames[load]);
}
BENCHMARK(BM_DropoutsUnderLoad)->DenseRange(0, 3)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace
