#pragma once
// The equalizer window's and the ReplayGain menu's commands. Each changes the core's sound
// settings, which the engine hears at once and the settings file keeps.
#include <array>
#include <string>

#include "core/Core.h"

namespace sonavex {

// The sliders by number: the ten bands, then the preamp.
inline constexpr int kPreampSlider = kBands;
inline constexpr int kSliders = kBands + 1;
inline constexpr double kSliderStepDb = 1;   // an arrow key
inline constexpr double kSliderPageDb = 4;   // Page Up or Down

// A slider's gain, and a slider set to `db` or moved by `deltaDb` (clamped to -12..+12 dB).
double sliderDb(const Core& core, int slider);
void eqSlider_Set(Core& core, int slider, double db);
void eqSlider_Step(Core& core, int slider, double deltaDb);
void eqOnOff_Click(Core& core);

// The presets as the window lists them: the built-in ones, then the user's.
int presetCount(const Core& core);
const EqualizerPreset& presetAt(const Core& core, int index);
bool isUserPreset(const Core& core, int index);
// The preset whose curve the bands have now, or -1.
int matchingPreset(const Core& core);
// Gives the bands the preset's curve.
void eqPreset_Choose(Core& core, int index);
// Keeps the bands' curve under `name` (a user's preset of that name is replaced). False for a name
// that is empty or a built-in preset's.
bool eqPreset_Save(Core& core, const std::string& name);
void eqPreset_Delete(Core& core, int index);

// The ReplayGain menu's items: Off, Track, Album; then those of its Preamp (over the tagged gain)
// and Without tags (the fallback gain).
template <class Value>
struct ValueItem {
  const char* name;
  const char* caption;
  Value value;
};
inline constexpr std::array<ValueItem<ReplayGainMode>, 3> kReplayGainItems{{
    {"mnurgoff", "Off", ReplayGainMode::Off},
    {"mnurgtrack", "Track", ReplayGainMode::Track},
    {"mnurgalbum", "Album", ReplayGainMode::Album},
}};
inline constexpr std::array<ValueItem<double>, 5> kReplayGainPreampItems{{
    {"mnurgpre6", "+6 dB", 6}, {"mnurgpre3", "+3 dB", 3}, {"mnurgpre0", "0 dB", 0},
    {"mnurgpreminus3", "-3 dB", -3}, {"mnurgpreminus6", "-6 dB", -6},
}};
inline constexpr std::array<ValueItem<double>, 4> kReplayGainFallbackItems{{
    {"mnurgfallback0", "0 dB", 0}, {"mnurgfallbackminus3", "-3 dB", -3},
    {"mnurgfallbackminus6", "-6 dB", -6}, {"mnurgfallbackminus9", "-9 dB", -9},
}};
void replayGainItem_Click(Core& core, int item);
void replayGainPreamp_Click(Core& core, int item);
void replayGainFallback_Click(Core& core, int item);
// The item of `items` that has the value `db`, or -1 (a value set in the settings file).
template <class Items>
int checkedGainItem(const Items& items, double db) {
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (items[i].value == db) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace sonavex
