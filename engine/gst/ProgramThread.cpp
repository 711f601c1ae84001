#include "engine/gst/ProgramThread.h"

#include <glib.h>

#include <deque>
#include <mutex>
#include <utility>

namespace sonavex {

namespace {

struct Calls {
  std::mutex lock;
  std::deque<std::function<void()>> queued;
};

Calls& calls() {
  static auto* all = new Calls;  // lives as long as the process: a wake may come late
  return *all;
}

gboolean runQueued(gpointer) {
  std::deque<std::function<void()>> due;
  {
    const std::lock_guard hold(calls().lock);
    due.swap(calls().queued);
  }
  for (auto& call : due) call();
  return G_SOURCE_REMOVE;
}

}  // namespace

// At the bus watch's priority: an idle priority would wait for as long as the windows' timers keep
// the loop busy. A message the bus already holds is still handled first: its watch came earlier.
void onProgramThread(std::function<void()> call) {
  bool wake = false;
  {
    const std::lock_guard hold(calls().lock);
    wake = calls().queued.empty();
    calls().queued.push_back(std::move(call));
  }
  if (wake) g_idle_add_full(G_PRIORITY_DEFAULT, runQueued, nullptr, nullptr);
}

}  // namespace sonavex
