#pragma once
// The sound settings file (sound.conf in the user's settings folder): the equalizer, the
// ReplayGain choice and the user's presets, one per line as "key value". Written whole through
// the background writer, so a crash leaves the old file or the new one; read defensively: a file
// that does not parse gives the defaults and a message on standard error.
#include <string>
#include <string_view>

#include "core/Core.h"

namespace sonavex {

inline constexpr const char* kSoundSettingsName = "sound.conf";

std::string serializeSoundSettings(const SoundState& sound);
// Fills `sound` (its path aside) from `text`. False, with the line at fault in *reason, when the
// text is damaged; `sound` is then left as it was.
bool parseSoundSettings(std::string_view text, SoundState& sound, std::string* reason);

// At start: the settings kept at `path` (none yet: the defaults), told to the engine; later
// changes are written there.
void loadSoundSettings(Core& core, const std::string& path);
// After a change: the engine hears it, and the file is written on the background writer's thread.
void soundChanged(Core& core);

}  // namespace sonavex
