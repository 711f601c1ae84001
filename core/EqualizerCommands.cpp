#include "core/EqualizerCommands.h"

#include <algorithm>

#include "core/SoundSettings.h"

namespace sonavex {

namespace {
bool isSlider(int slider) { return slider >= 0 && slider < kSliders; }
}  // namespace

double sliderDb(const Core& core, int slider) {
  if (!isSlider(slider)) return 0;
  const EqualizerSettings& eq = core.sound.eq;
  return slider == kPreampSlider ? eq.preampDb : eq.bandsDb[static_cast<std::size_t>(slider)];
}

void eqSlider_Set(Core& core, int slider, double db) {
  if (!isSlider(slider)) return;
  EqualizerSettings& eq = core.sound.eq;
  double& gain = slider == kPreampSlider ? eq.preampDb : eq.bandsDb[static_cast<std::size_t>(slider)];
  if (gain == clampBandDb(db)) return;
  gain = clampBandDb(db);
  soundChanged(core);
}

void eqSlider_Step(Core& core, int slider, double deltaDb) {
  eqSlider_Set(core, slider, sliderDb(core, slider) + deltaDb);
}

void eqOnOff_Click(Core& core) {
  core.sound.eq.on = !core.sound.eq.on;
  soundChanged(core);
}

int presetCount(const Core& core) {
  return static_cast<int>(builtInPresets().size() + core.sound.userPresets.size());
}

const EqualizerPreset& presetAt(const Core& core, int index) {
  const auto& builtIn = builtInPresets();
  const auto i = static_cast<std::size_t>(std::clamp(index, 0, presetCount(core) - 1));
  return i < builtIn.size() ? builtIn[i] : core.sound.userPresets[i - builtIn.size()];
}

bool isUserPreset(const Core& core, int index) {
  return index >= static_cast<int>(builtInPresets().size()) && index < presetCount(core);
}

int matchingPreset(const Core& core) {
  for (int i = 0; i < presetCount(core); ++i) {
    if (presetAt(core, i).bandsDb == core.sound.eq.bandsDb) return i;
  }
  return -1;
}

void eqPreset_Choose(Core& core, int index) {
  if (index < 0 || index >= presetCount(core)) return;
  core.sound.eq.bandsDb = presetAt(core, index).bandsDb;
  soundChanged(core);
}

bool eqPreset_Save(Core& core, const std::string& name) {
  std::string kept;
  std::copy_if(name.begin(), name.end(), std::back_inserter(kept), [](char c) { return c != '\n' && c != '\r'; });
  const auto named = [&kept](const EqualizerPreset& preset) { return preset.name == kept; };
  if (kept.find_first_not_of(' ') == std::string::npos || std::ranges::any_of(builtInPresets(), named)) return false;
  auto& mine = core.sound.userPresets;
  const auto same = std::ranges::find_if(mine, named);
  if (same != mine.end()) {
    same->bandsDb = core.sound.eq.bandsDb;
  } else {
    mine.push_back({kept, core.sound.eq.bandsDb});
  }
  soundChanged(core);
  return true;
}

void eqPreset_Delete(Core& core, int index) {
  if (!isUserPreset(core, index)) return;
  auto& mine = core.sound.userPresets;
  mine.erase(mine.begin() + (index - static_cast<int>(builtInPresets().size())));
  soundChanged(core);
}

void replayGainPreamp_Click(Core& core, int item) {
  if (item < 0 || item >= static_cast<int>(kReplayGainPreampItems.size())) return;
  core.sound.replayGain.preampDb = kReplayGainPreampItems[static_cast<std::size_t>(item)].value;
  soundChanged(core);
}

void replayGainFallback_Click(Core& core, int item) {
  if (item < 0 || item >= static_cast<int>(kReplayGainFallbackItems.size())) return;
  core.sound.replayGain.fallbackDb = kReplayGainFallbackItems[static_cast<std::size_t>(item)].value;
  soundChanged(core);
}

void replayGainItem_Click(Core& core, int item) {
  if (item < 0 || item >= static_cast<int>(kReplayGainItems.size())) return;
  core.sound.replayGain.mode = kReplayGainItems[static_cast<std::size_t>(item)].value;
  soundChanged(core);
}

}  // namespace sonavex
