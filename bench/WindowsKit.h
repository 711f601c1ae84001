#pragma once
// What the window benchmarks share: the program's windows shown over a scriptable engine, and a
// main() that runs the benchmarks inside a QApplication (offscreen unless a platform is set).
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <QApplication>
#include <algorithm>
#include <QTimer>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <memory>
#include <string>

#include "app/Forms.h"
#include "support/FakeMediaEngine.h"

namespace sonavex::bench {

// The windows shown, with `entries` entries in the playlist; list jobs on a worker as in the
// program, or at once on the UI thread as before there was one.
struct ShownWindows {
  QTemporaryDir dir;
  std::unique_ptr<Forms> forms;
  explicit ShownWindows(int entries = 0, bool listJobsInBackground = true) {
    FormsOptions options;
    options.listJobsInBackground = listJobsInBackground;
    options.lastPlaylistFile = dir.path().toStdString() + "/lastplaylist.txt";
    options.makeEngine = [] { return std::make_unique<FakeMediaEngine>(); };
    options.quit = [] {};
    forms = std::make_unique<Forms>(std::move(options));
    forms->start();
    for (int i = 0; i < entries; ++i)
      forms->core().list.appendEntry("/home/user/Music/Artist " + std::to_string(i % 97) +
                                     "/track " + std::to_string(i) + ".mp3");
    QCoreApplication::processEvents();
  }
  Core& core() { return forms->core(); }
};

// How long the event loop does not answer: the longest time between the ticks of a 10 ms timer
// since start().
class StallWatch {
 public:
  StallWatch() {
    tick_.setTimerType(Qt::PreciseTimer);
    tick_.setInterval(10);
    QObject::connect(&tick_, &QTimer::timeout, [this] {
      const qint64 now = clock_.nsecsElapsed();
      longest_ = std::max(longest_, now - last_);
      last_ = now;
    });
  }
  void start() {
    last_ = longest_ = 0;
    clock_.start();
    tick_.start();
  }
  double longestMs() const { return static_cast<double>(longest_) / 1e6; }

 private:
  QElapsedTimer clock_;
  QTimer tick_;
  qint64 last_ = 0, longest_ = 0;
};

inline void settle() {
  QCoreApplication::processEvents();
  QCoreApplication::sendPostedEvents();
}

inline int runQtBenchmarks(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  mallopt(M_MXFAST, 0);  // as the program sets its allocator
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

}  // namespace sonavex::bench
