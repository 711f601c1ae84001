#pragma once
// Gathers the decoders' small buffers (an MP3 frame is 26 ms) into writes of `batch` for the sound
// output. The output hands each buffer it gets to the sound server in one write, and every write
// wakes the server connection's thread: one buffer a frame woke it forty times a second. Nothing
// is held across an event: what was gathered goes out before any serialized event (the start of
// the next stream in a gapless join, a segment, the end), and a flush drops it with the rest of
// what is buffered. Runs on the streaming thread that pushes into it; it has no thread of its own.
#include <gst/gst.h>

namespace sonavex {

// Floating, like any new element.
GstElement* makeSoundBatcher(GstClockTime batch);

}  // namespace sonavex
