#pragma once
// The title of a stream from an address, as the player window and the media controls show it.
#include <string>

#include "core/Core.h"

namespace sonavex {

// The song the station says plays now; else the name the list gives the entry; else the address.
std::string streamName(const Core& core);
// What the title scrolls: the stream's name, and while it connects or fills its buffer, that it
// does and how far ("Connecting (0%): ...", "Buffering (45%): ...").
std::string streamTitle(const Core& core);
// A stream from an address failed: the title says so and why, a notice tells it once (a station
// gone is news, where a file that cannot play is not), and the list moves on as after any track
// that cannot play.
void streamFailed(Core& core, const EngineError& error);
// The engine's buffer or tags changed: a stream's title follows. Files keep theirs.
void streamChanged(Core& core);

}  // namespace sonavex
