#pragma once
// The media engine on GStreamer's playbin.
#include <memory>

#include "engine/core/MediaEngine.h"

namespace sonavex {

// Initialises GStreamer on first use. Notifications arrive through the default GLib main context,
// which is the Qt event loop's on Linux.
std::unique_ptr<MediaEngine> makeGstMediaEngine();

}  // namespace sonavex
