#pragma once
// Every way in (a click, a key, a menu item, a timer, the media controls, a hand-over, an engine
// notification) runs its command through perform(): the command changes the core, then the core's
// observer hears that it changed, and every window and the media controls show it. A command that
// runs while another is under way (one waiting on a dialog, or letting pending events run) is shown
// at its own end, and the outer one again at its end. Commands run at once, list work or not: what
// takes long on a long list runs beside them (core/ListWork.h). At the end of every command the
// engine is told what follows the current track, so that it never has to ask.
#include <functional>
#include <type_traits>
#include <utility>

#include "core/Core.h"

namespace sonavex {

// After a command: the engine hears what now follows the current track, and the observer that the
// core changed.
void commandDone(Core& core);

template <typename Command, typename... Args>
auto perform(Core& core, Command&& command, Args&&... args)
    -> std::invoke_result_t<Command&, Core&, Args&&...> {
  struct Told {
    Core& core;
    ~Told() { commandDone(core); }
  } told{core};
  return std::invoke(command, core, std::forward<Args>(args)...);
}

}  // namespace sonavex
