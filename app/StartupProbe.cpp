#include "app/StartupProbe.h"

#include <cstdio>
#include <fstream>
#include <string>

#include <QCoreApplication>
#include <QTimer>

namespace sonavex {

bool startupProbeRequested() { return qEnvironmentVariableIntValue("SONAVEX_STARTUP_PROBE") == 1; }

long residentKilobytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  }
  return -1;
}

void reportStartupWhenShown(std::chrono::steady_clock::time_point mainStarted) {
  QTimer::singleShot(0, [mainStarted] {
    const auto elapsed = std::chrono::steady_clock::now() - mainStarted;
    const double ms = std::chrono::duration<double, std::milli>(elapsed).count();
    std::printf("startup_ms=%.1f rss_kb=%ld\n", ms, residentKilobytes());
    std::fflush(stdout);
    QCoreApplication::exit(0);
  });
}

}  // namespace sonavex
