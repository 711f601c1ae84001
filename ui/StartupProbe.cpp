#include "ui/StartupProbe.h"

#include <QCoreApplication>
#include <QTimer>
#include <array>
#include <cstdio>
#include <fstream>
#include <optional>
#include <string>

namespace sonavex {

namespace {
using Clock = std::chrono::steady_clock;

int probeLevel() {
  static const int level = qEnvironmentVariableIntValue("SONAVEX_STARTUP_PROBE");
  return level;
}

std::array<std::optional<Clock::time_point>, static_cast<std::size_t>(ProbeMoment::Count)>&
moments() {
  static std::array<std::optional<Clock::time_point>, static_cast<std::size_t>(ProbeMoment::Count)>
      noted;
  return noted;
}

const std::optional<Clock::time_point>& at(ProbeMoment moment) {
  return moments()[static_cast<std::size_t>(moment)];
}

double msBetween(Clock::time_point from, const std::optional<Clock::time_point>& to) {
  return to ? std::chrono::duration<double, std::milli>(*to - from).count() : -1.0;
}

double msBetween(ProbeMoment from, ProbeMoment to) {
  return at(from) ? msBetween(*at(from), at(to)) : -1.0;
}

// Calls `then` from the event loop once `moment` has been noted.
void whenNoted(ProbeMoment moment, std::function<void()> then) {
  auto* poll = new QTimer(QCoreApplication::instance());
  poll->setTimerType(Qt::PreciseTimer);
  QObject::connect(poll, &QTimer::timeout, poll, [poll, moment, then = std::move(then)] {
    if (!at(moment)) return;
    poll->deleteLater();
    poll->stop();
    then();
  });
  poll->start(1);
}

void finish(const char* line) {
  std::fputs(line, stdout);
  std::fflush(stdout);
  QCoreApplication::exit(0);
}
}  // namespace

bool startupProbeRequested() { return probeLevel() == 1 || probeLevel() == 2; }

void probeMoment(ProbeMoment moment) {
  if (probeLevel() == 0) return;
  auto& noted = moments()[static_cast<std::size_t>(moment)];
  if (!noted) noted = Clock::now();
}

long residentKilobytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  }
  return -1;
}

void reportStartupWhenShown(Clock::time_point mainStarted, std::function<void()> hidePanel) {
  if (probeLevel() == 2) {
    whenNoted(ProbeMoment::IrisOpen, [mainStarted, hidePanel = std::move(hidePanel)] {
      hidePanel();
      whenNoted(ProbeMoment::HideEnd, [mainStarted] {
        char line[160];
        std::snprintf(line, sizeof line,
                      "iris_first_ms=%.1f iris_ms=%.1f slide_ms=%.1f hide_ms=%.1f\n",
                      msBetween(mainStarted, at(ProbeMoment::IrisStep)),
                      msBetween(ProbeMoment::IrisStep, ProbeMoment::IrisOpen),
                      msBetween(ProbeMoment::SlideStart, ProbeMoment::SlideEnd),
                      msBetween(ProbeMoment::HideStart, ProbeMoment::HideEnd));
        finish(line);
      });
    });
    return;
  }
  QTimer::singleShot(0, [mainStarted] {
    const double shown = msBetween(mainStarted, Clock::now());
    whenNoted(ProbeMoment::IrisStep, [mainStarted, shown] {
      char line[160];
      std::snprintf(line, sizeof line, "startup_ms=%.1f iris_first_ms=%.1f rss_kb=%ld\n", shown,
                    msBetween(mainStarted, at(ProbeMoment::IrisStep)), residentKilobytes());
      finish(line);
    });
  });
}

void probeHandOver(const char* what) {
  static const bool requested = qEnvironmentVariableIntValue("SONAVEX_PROBE_HANDOVER") == 1;
  if (!requested) return;
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  std::fprintf(stderr, "%s=%lld\n", what,
               static_cast<long long>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
  std::fflush(stderr);
}

}  // namespace sonavex
