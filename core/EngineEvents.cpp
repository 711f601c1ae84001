#include "core/EngineEvents.h"

#include "core/Command.h"
#include "core/Sequencer.h"
#include "core/StreamTitle.h"

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

// The media controls show the tags; a stream's title is the song its station plays now.
void EngineEvents::mp1_TagsChanged() { perform(core_, streamChanged); }

void EngineEvents::mp1_BufferingChanged() { perform(core_, streamChanged); }

}  // namespace sonavex
