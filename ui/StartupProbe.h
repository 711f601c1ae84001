#pragma once
// With SONAVEX_STARTUP_PROBE=1 the program reports how long it took from main() until the player
// window was shown and until the iris took its first step, and its resident memory, then ends.
// With SONAVEX_STARTUP_PROBE=2 it waits for the iris to open, hides the playlist panel with its
// wipe, reports how long the iris, the playlist's slide and the wipe took, then ends.
// Used by bench/startup.sh and bench/skin.sh.
#include <chrono>
#include <functional>

namespace sonavex {

bool startupProbeRequested();

// The moments of the animations the probe times; only the first of each counts.
enum class ProbeMoment { IrisStep, IrisOpen, SlideStart, SlideEnd, HideStart, HideEnd, Count };
// Notes the moment when the probe was asked for; otherwise does nothing.
void probeMoment(ProbeMoment moment);

// Level 1 prints "startup_ms=<ms> iris_first_ms=<ms> rss_kb=<kB>" once the pending show events have
// run and the iris has stepped; level 2 runs `hidePanel` once the iris is open and prints
// "iris_first_ms=<ms> iris_ms=<ms> slide_ms=<ms> hide_ms=<ms>" once the wipe is done. Then quits.
void reportStartupWhenShown(std::chrono::steady_clock::time_point mainStarted,
                            std::function<void()> hidePanel);
long residentKilobytes();

// With SONAVEX_PROBE_HANDOVER=1, `what` and the monotonic clock in nanoseconds go to standard
// error: when a second start begins, and when the running player's list holds what it handed over.
// Used by bench/desktop.sh.
void probeHandOver(const char* what);

}  // namespace sonavex
