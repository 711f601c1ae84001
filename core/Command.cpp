#include "core/Command.h"

#include "core/Sequencer.h"

namespace sonavex {

namespace {
// Streams a short file follows one another quickly: enough of them to be read ahead.
constexpr int kQueuedAhead = 8;
}  // namespace

void commandDone(Core& core) {
  core.mp1.queueNext(core.ending ? std::vector<std::string>() : upcomingPaths(core, kQueuedAhead));
  if (core.observer != nullptr) core.observer->coreChanged();
}

}  // namespace sonavex
