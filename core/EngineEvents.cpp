#include "core/EngineEvents.h"

#include "core/Command.h"
#include "core/Sequencer.h"

namespace sonavex {

EngineEvents::EngineEvents(Core& core) : core_(core) { core_.mp1.setListener(this); }

EngineEvents::~EngineEvents() { core_.mp1.setListener(nullptr); }

void EngineEvents::mp1_EndOfStream(long result) {
  perform(core_, sonavex::mp1_EndOfStream, result);
}

void EngineEvents::mp1_PlayStateChange(long oldState, long newState) {
  perform(core_, sonavex::mp1_PlayStateChange, oldState, newState);
}

void EngineEvents::mp1_Error() { perform(core_, sonavex::mp1_Error); }

void EngineEvents::mp1_NewStream() { perform(core_, sonavex::mp1_NewStream); }

// Nothing changes in the core; the media controls show the tags.
void EngineEvents::mp1_TagsChanged() {
  perform(core_, [](Core&) {});
}

}  // namespace sonavex
