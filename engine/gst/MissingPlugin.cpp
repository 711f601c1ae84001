#include "engine/gst/MissingPlugin.h"

#include <string>
#include <utility>

namespace sonavex {
namespace {

constexpr std::string_view kBase = "gstreamer1.0-plugins-base";
constexpr std::string_view kGood = "gstreamer1.0-plugins-good";
constexpr std::string_view kBad = "gstreamer1.0-plugins-bad";
constexpr std::string_view kUgly = "gstreamer1.0-plugins-ugly";
constexpr std::string_view kLibav = "gstreamer1.0-libav";
constexpr std::string_view kMidi =
    "gstreamer1.0-plugins-bad and a soundfont such as timgm6mb-soundfont";
constexpr std::string_view kAnyPlugin = "the GStreamer plugin that provides it";

// The package that ships the preferred decoder (or demuxer) on Debian 12. A row with a field
// matches only caps that carry it; the first matching row wins.
struct DecoderRow {
  std::string_view mediaType;
  std::string_view field;
  std::string_view name;
  std::string_view package;
};
constexpr DecoderRow kDecoders[] = {
    {"audio/x-wma", "", "Windows Media audio", kLibav},
    {"video/x-ms-asf", "", "Windows Media files (ASF)", kUgly},
    {"audio/mpeg", "mpegversion=(int)1", "MPEG audio (MP3)", kGood},  // mpg123audiodec
    {"audio/mpeg", "", "AAC", kLibav},                                // mpegversion 2 and 4
    {"audio/x-m4a", "", "MP4 audio files", kGood},
    {"video/quicktime", "", "MP4 audio files", kGood},
    {"audio/x-alac", "", "Apple Lossless", kLibav},
    {"application/x-ape", "", "Monkey's Audio", kLibav},
    {"audio/x-ffmpeg-parsed-ape", "", "Monkey's Audio", kLibav},
    {"audio/x-ac3", "", "AC-3", kLibav},
    {"audio/x-eac3", "", "E-AC-3", kLibav},
    {"audio/x-flac", "", "FLAC", kGood},
    {"audio/x-wavpack", "", "WavPack", kGood},
    {"audio/x-musepack", "", "Musepack", kBad},
    {"application/ogg", "", "Ogg files", kBase},
    {"audio/x-vorbis", "", "Vorbis", kBase},
    {"audio/x-opus", "", "Opus", kBase},
    {"audio/midi", "", "MIDI", kMidi},
    {"audio/riff-midi", "", "MIDI", kMidi},
    {"audio/x-midi-event", "", "MIDI", kMidi},
};

// The elements the engine builds its pipeline from.
struct ElementRow {
  std::string_view name;
  std::string_view package;
};
constexpr ElementRow kElements[] = {
    {"playbin", kBase},   {"playsink", kBase},      {"uridecodebin", kBase},
    {"decodebin", kBase}, {"audioconvert", kBase},  {"audioresample", kBase},
    {"volume", kBase},    {"autoaudiosink", kGood}, {"audiopanorama", kGood},
};

std::string_view trim(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

std::string installHint(std::string_view package) {
  return "; install " + std::string(package.empty() ? kAnyPlugin : package);
}

// The type ("decoder", "element", ...) and what of an installer detail, which in full is
// "gstreamer|1.0|application|description|type-what".
std::pair<std::string_view, std::string_view> splitDetail(std::string_view detail) {
  if (const auto bar = detail.rfind('|'); bar != std::string_view::npos) {
    detail.remove_prefix(bar + 1);
  }
  const auto dash = detail.find('-');
  return {detail.substr(0, dash),
          dash == std::string_view::npos ? std::string_view{} : trim(detail.substr(dash + 1))};
}

const DecoderRow* decoderRow(std::string_view what) {
  const std::string_view mediaType = trim(what.substr(0, what.find(',')));
  for (const DecoderRow& row : kDecoders) {
    if (row.mediaType != mediaType) continue;
    if (!row.field.empty() && what.find(row.field) == std::string_view::npos) continue;
    return &row;
  }
  return nullptr;
}

}  // namespace

bool missingForSound(std::string_view detail) {
  const auto [type, what] = splitDetail(detail);
  if (type != "decoder" || decoderRow(what) != nullptr) return true;
  const std::string_view topLevel = what.substr(0, what.find('/'));
  for (std::string_view silent : {"video", "image", "text", "subpicture", "subtitle", "closedcaption"}) {
    if (topLevel == silent) return false;
  }
  return true;
}

EngineError missingPluginError(std::string_view detail, std::string_view description) {
  const auto [type, what] = splitDetail(detail);

  if (type == "element") {
    std::string_view package;
    for (const ElementRow& row : kElements) {
      if (row.name == what) package = row.package;
    }
    return {EngineFault::Engine,
            "the GStreamer element " + std::string(what) + " is missing" + installHint(package)};
  }

  if (type == "decoder") {
    if (const DecoderRow* row = decoderRow(what)) {
      return {EngineFault::Track,
              "no decoder for " + std::string(row->name) + installHint(row->package)};
    }
  }

  const std::string_view name = description.empty() ? what : description;
  return {EngineFault::Track, std::string(name.empty() ? "a GStreamer plugin" : name) +
                                  " is missing" + installHint({})};
}

}  // namespace sonavex
