#pragma once
// GStreamer, started once for the whole process by whichever thread needs it first: the engine's
// worker at the first open, or the thread that looks ahead at queued paths, which may come first.
// Either way the registry holds only what an audio player uses, and MP3 goes to the lean decoder,
// before any element is made.
#include <string>

namespace sonavex {

// Whether GStreamer runs; if not, `why` says why. Any thread.
bool startGstreamer(std::string& why);

}  // namespace sonavex
