#pragma once
// Every way in (a click, a key, a menu item, a timer, the media controls, a hand-over, an engine
// notification) runs its command through perform(): the command changes the core, then the core's
// observer hears that it changed, and every window and the media controls show it. A command that
// runs while another is under way (one waiting on a dialog, or letting pending events run) is shown
// at its own end, and the outer one again at its end.
#include <functional>
#include <utility>

#include "core/Core.h"

namespace sonavex {

template <typename Command, typename... Args>
decltype(auto) perform(Core& core, Command&& command, Args&&... args) {
  struct Told {
    Core& core;
    ~Told() {
      if (core.observer != nullptr) core.observer->coreChanged();
    }
  } told{core};
  return std::invoke(std::forward<Command>(command), core, std::forward<Args>(args)...);
}

}  // namespace sonavex
