#pragma once
// A list operation too heavy for the program's thread on a long list: a restore, a folder scan, a
// drop, a load, and the commands that remove, reorder or undo entries.
//
// With a worker (core.platform.jobs), `work` runs there on a copy of the core whose entries are
// shared with the core's own until one side writes them, so the list goes on showing as it was.
// Meanwhile the busy pointer shows and every command waits (see perform()); what `work` would tell
// the user is kept. When it is over the copy's state becomes the core's (the entries given up are
// freed on the worker), what was kept is told, `then` runs, the windows show the result and the
// waiting commands run in order. Without a worker it all happens at once, on the calling thread.
// `work` must not ask the user anything, nor touch the engine (the copy has one that does nothing).
#include <functional>

#include "core/Core.h"

namespace sonavex {

void runListJob(Core& core, std::function<void(Core&)> work, std::function<void(Core&)> then = {});

// Runs `then` on the program's thread once the list job just started (if any) is over: at once
// when none runs.
void runAfterListJob(Core& core, std::function<void(Core&)> then);

// A list job runs.
inline bool listBusy(const Core& core) { return core.listJobRunning; }

// Runs the commands that waited for a list job, in order, until one of them starts another.
void runWaitingCommands(Core& core);

}  // namespace sonavex
