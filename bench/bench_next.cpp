// What one Next costs the UI thread with the real engine: the windows shown, a list of short WAV
// tones, and each Next timed from the command to its return (the new track is asked for, the
// windows show it). Between two Nexts the event loop runs so the track really starts. Run it under
// scripts/with-pulse.sh for a real sound server (and scripts/with-dbus.sh for the media controls,
// which hear of every Next); without a sound server the engine reports no sound output
// and the figure is that of a Next that opens nothing.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <memory>
#include <string>

#include "WindowsKit.h"
#include "app/Forms.h"
#include "core/Command.h"
#include "core/FileDrop.h"
#include "core/Sequencer.h"
#include "engine/gst/GstMediaEngine.h"
#include "windows/frmMain.h"
#include "windows/frmplaylist.h"

namespace {

using namespace sonavex;

// A 16-bit stereo sine at 44.1 kHz.
void writeTone(const std::string& path, double hz, double seconds) {
  const std::uint32_t frames = static_cast<std::uint32_t>(seconds * 44100);
  const std::uint32_t data = frames * 4;
  std::ofstream out(path, std::ios::binary);
  auto u32 = [&](std::uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
  auto u16 = [&](std::uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
  out.write("RIFF", 4);
  u32(36 + data);
  out.write("WAVEfmt ", 8);
  u32(16);
  u16(1);
  u16(2);
  u32(44100);
  u32(44100 * 4);
  u16(4);
  u16(16);
  out.write("data", 4);
  u32(data);
  for (std::uint32_t i = 0; i < frames; ++i) {
    const auto s = static_cast<std::int16_t>(8000 * std::sin(2 * M_PI * hz * i / 44100));
    u16(static_cast<std::uint16_t>(s));
    u16(static_cast<std::uint16_t>(s));
  }
}

void runLoopFor(int ms) {
  QElapsedTimer clock;
  for (clock.start(); clock.elapsed() < ms; QThread::msleep(2)) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
}

void BM_NextOnTheUiThread(benchmark::State& state) {
  QTemporaryDir dir;
  FormsOptions options;
  options.lastPlaylistFile = dir.path().toStdString() + "/lastplaylist.txt";
  options.makeEngine = [] { return std::make_unique<GstMediaEngine>(); };
  options.quit = [] {};
  Forms forms(std::move(options));
  forms.start();
  forms.startMediaControls(QString());  // on the bus when there is one: it hears of every Next
  std::vector<std::string> tones;
  for (int i = 0; i < 4; ++i) {
    tones.push_back(dir.path().toStdString() + "/tone" + std::to_string(i) + ".wav");
    writeTone(tones.back(), 300 + 100 * i, 3);
  }
  perform(forms.core(), filedragging, tones);
  forms.main().cmdplay_Click();
  runLoopFor(500);

  double worst = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    perform(forms.core(), nextsong);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    state.SetIterationTime(took.count());
    worst = std::max(worst, took.count());
    runLoopFor(static_cast<int>(state.range(0)));  // the track starts playing meanwhile
  }
  state.counters["worst_ms"] = worst * 1000;
  forms.main().cmdstop_Click();
}
BENCHMARK(BM_NextOnTheUiThread)
    ->ArgName("loop_ms")
    ->Arg(300)
    ->Iterations(30)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return sonavex::bench::runQtBenchmarks(argc, argv); }
