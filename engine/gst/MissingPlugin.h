#pragma once
// What a missing GStreamer plugin means to the user: which fault it is and which Debian package
// brings it. Pure string work, so the table is checked without GStreamer.
#include <string_view>

#include "core/model/MediaEngine.h"

namespace sonavex {

// `detail` is the installer detail of a missing-plugin message ("decoder-audio/x-wma, ..." or
// "element-playbin", with or without the "gstreamer|1.0|app|description|" prefix); `description`
// is GStreamer's own name for the missing part, used when the table does not know it.
// A missing decoder or source fails the track; a missing element fails the engine itself.
// E.g. {Track, "no decoder for Windows Media audio; install gstreamer1.0-libav"}.
EngineError missingPluginError(std::string_view detail, std::string_view description);

// Whether the missing part would play sound: false for decoders of pictures, video and subtitles,
// which the engine leaves out on purpose; true for everything else, containers of sound included.
bool missingForSound(std::string_view detail);

}  // namespace sonavex
