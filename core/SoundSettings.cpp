#include "core/SoundSettings.h"

#include <charconv>
#include <cmath>
#include <iostream>
#include <sys/stat.h>

#include "core/LastPlaylist.h"
#include "core/PlaylistFile.h"

namespace sonavex {

namespace {

constexpr std::size_t kMaxBytes = 1 << 20;
constexpr std::size_t kMaxPresets = 1000;
constexpr std::array<const char*, 3> kModes{"off", "track", "album"};

std::string number(double value) {
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, value).ptr;
  return std::string(text, end);
}

// Reads the next number (after spaces) off the front of `text`; finite numbers only.
bool take(std::string_view& text, double& value) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || !std::isfinite(value)) return false;
  text.remove_prefix(static_cast<std::size_t>(end - text.data()));
  return text.empty() || text.front() == ' ';
}

bool takeBands(std::string_view& text, BandGains& bands) {
  for (double& band : bands) {
    if (!take(text, band)) return false;
    band = clampBandDb(band);
  }
  return true;
}

bool takeLast(std::string_view text, double& value) { return take(text, value) && text.empty(); }

// One line into `sound`; false when its value is damaged. Unknown keys are left for later versions.
bool parseLine(std::string_view key, std::string_view value, SoundState& sound) {
  if (key == "equalizer") {
    sound.eq.on = value == "on";
    return value == "on" || value == "off";
  }
  if (key == "preamp") {
    if (!takeLast(value, sound.eq.preampDb)) return false;
    sound.eq.preampDb = clampBandDb(sound.eq.preampDb);
    return true;
  }
  if (key == "bands") return takeBands(value, sound.eq.bandsDb) && value.empty();
  if (key == "replaygain") {
    for (std::size_t i = 0; i < kModes.size(); ++i) {
      if (value == kModes[i]) sound.replayGain.mode = static_cast<ReplayGainMode>(i);
    }
    return value == "off" || value == "track" || value == "album";
  }
  if (key == "replaygain-preamp") return takeLast(value, sound.replayGain.preampDb);
  if (key == "replaygain-fallback") return takeLast(value, sound.replayGain.fallbackDb);
  if (key == "preset") {
    EqualizerPreset preset;
    if (!takeBands(value, preset.bandsDb) || value.size() < 2 || sound.userPresets.size() >= kMaxPresets) return false;
    preset.name = std::string(value.substr(1));
    sound.userPresets.push_back(std::move(preset));
  }
  return true;
}

}  // namespace

std::string serializeSoundSettings(const SoundState& sound) {
  const auto bands = [](const BandGains& gains) {
    std::string text;
    for (double gain : gains) text += " " + number(gain);
    return text;
  };
  std::string text = "# Sonavex sound settings\n";
  text += std::string("equalizer ") + (sound.eq.on ? "on" : "off") + "\n";
  text += "preamp " + number(sound.eq.preampDb) + "\n";
  text += "bands" + bands(sound.eq.bandsDb) + "\n";
  text += std::string("replaygain ") + kModes[static_cast<std::size_t>(sound.replayGain.mode)] + "\n";
  text += "replaygain-preamp " + number(sound.replayGain.preampDb) + "\n";
  text += "replaygain-fallback " + number(sound.replayGain.fallbackDb) + "\n";
  for (const EqualizerPreset& preset : sound.userPresets) {
    text += "preset" + bands(preset.bandsDb) + " " + preset.name + "\n";
  }
  return text;
}

bool parseSoundSettings(std::string_view text, SoundState& sound, std::string* reason) {
  SoundState read;
  read.settingsPath = sound.settingsPath;
  for (int line = 1; !text.empty(); ++line) {
    const auto end = std::min(text.find('\n'), text.size());
    const std::string_view whole = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    if (whole.empty() || whole.front() == '#') continue;
    const auto space = std::min(whole.find(' '), whole.size());
    const std::string_view value = whole.substr(std::min(space + 1, whole.size()));
    if (!parseLine(whole.substr(0, space), value, read)) {
      if (reason != nullptr) *reason = "line " + std::to_string(line) + " is damaged";
      return false;
    }
  }
  sound = std::move(read);
  return true;
}

void loadSoundSettings(Core& core, const std::string& path) {
  core.sound.settingsPath = path;
  struct stat info {};
  if (!path.empty() && ::stat(path.c_str(), &info) == 0) {
    // A named pipe or a device there would hold the start until someone writes to it.
    std::string text, reason = S_ISREG(info.st_mode) ? "" : "not a regular file";
    const bool read = reason.empty() && info.st_size <= static_cast<off_t>(kMaxBytes) &&
                      readWholeFile(path, text, &reason);
    if (!read || !parseSoundSettings(text, core.sound, &reason)) {
      std::cerr << "sonavex: " << path << " cannot be used (" << (reason.empty() ? "too large" : reason)
                << "); the equalizer and ReplayGain start from their defaults\n";
    }
  }
  core.mp1.setEqualizer(core.sound.eq);
  core.mp1.setReplayGain(core.sound.replayGain);
}

void soundChanged(Core& core) {
  core.mp1.setEqualizer(core.sound.eq);
  core.mp1.setReplayGain(core.sound.replayGain);
  const std::string& path = core.sound.settingsPath;
  if (path.empty() || core.platform.writer == nullptr) return;
  core.platform.writer->write(path, [path, text = serializeSoundSettings(core.sound)] {
    // The settings folder is made on the writer's thread too, the first time it is needed.
    makeFolders(path.substr(0, path.rfind('/')));
    return text;
  });
}

}  // namespace sonavex
