#pragma once
// Every way in (a click, a key, a menu item, a timer, the media controls, a hand-over, an engine
// notification) runs its command through perform(): the command changes the core, then the core's
// observer hears that it changed, and every window and the media controls show it. A command that
// runs while another is under way (one waiting on a dialog, or letting pending events run) is shown
// at its own end, and the outer one again at its end.
//
// While a list job runs (core/ListJob.h) a command waits, as an event waits for a busy program: it
// runs in order once the job is over. Its result is then not known to the caller, which gets a
// default one.
#include <functional>
#include <type_traits>
#include <utility>

#include "core/Core.h"

namespace sonavex {

template <typename Command, typename... Args>
auto perform(Core& core, Command&& command, Args&&... args)
    -> std::invoke_result_t<Command&, Core&, Args&&...> {
  using Result = std::invoke_result_t<Command&, Core&, Args&&...>;
  if (core.listJobRunning) {
    core.waitingCommands.push_back(
        [&core, command = std::decay_t<Command>(std::forward<Command>(command)),
         ... args = std::decay_t<Args>(std::forward<Args>(args))]() mutable {
          perform(core, command, std::move(args)...);  // runs once
        });
    return Result();
  }
  struct Told {
    Core& core;
    ~Told() {
      if (core.observer != nullptr) core.observer->coreChanged();
    }
  } told{core};
  return std::invoke(command, core, std::forward<Args>(args)...);
}

// For what repeats by itself (the clock, the marquee, the autosave): while a list job runs, a tick
// is left out rather than waiting, as a busy program misses timer ticks.
template <typename Command>
void performWhenIdle(Core& core, Command&& command) {
  if (!core.listJobRunning) perform(core, std::forward<Command>(command));
}

}  // namespace sonavex
