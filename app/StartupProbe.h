#pragma once
// With SONAVEX_STARTUP_PROBE=1 the program reports how long it took from main() until the player
// window was shown, and its resident memory, then ends. Used by bench/startup.sh.
#include <chrono>

namespace sonavex {

bool startupProbeRequested();
// Prints "startup_ms=<ms> rss_kb=<kB>" once the pending show events have run, then quits.
void reportStartupWhenShown(std::chrono::steady_clock::time_point mainStarted);
long residentKilobytes();

}  // namespace sonavex
