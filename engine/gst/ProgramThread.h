#pragma once
// The engine's one way from its worker and from GStreamer's threads to the program's thread: calls
// are queued under a lock and run in order from the loop (the default GLib main context, which is
// the Qt event loop's). The loop is woken by an idle source that carries nothing, so that nothing
// crosses between the threads outside that lock.
#include <functional>

namespace sonavex {

void onProgramThread(std::function<void()> call);

}  // namespace sonavex
