#include "core/model/SoundShaping.h"

#include <algorithm>
#include <cmath>

namespace sonavex {

double clampBandDb(double db) {
  if (!std::isfinite(db)) return 0;
  return std::round(std::clamp(db, -kMaxBandDb, kMaxBandDb) * 2) / 2;
}

double replayGainDb(const ReplayGainSettings& settings, const ReplayGainTags& tags) {
  if (settings.mode == ReplayGainMode::Off) return 0;
  const bool album = tags.albumGain && (settings.mode == ReplayGainMode::Album || !tags.trackGain);
  const auto& gain = album ? tags.albumGain : tags.trackGain;
  const auto& peak = album ? tags.albumPeak : tags.trackPeak;
  const auto finite = [](const std::optional<double>& v) { return v && std::isfinite(*v); };
  double db = finite(gain) ? *gain + settings.preampDb : settings.fallbackDb;
  if (!std::isfinite(db)) db = 0;
  const double fullScale = finite(peak) && *peak > 0 ? *peak : 1.0;
  return std::clamp(std::min(db, -20 * std::log10(fullScale)), -60.0, 24.0);
}

const std::vector<EqualizerPreset>& builtInPresets() {
  static const std::vector<EqualizerPreset> presets{
      {"Flat", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
      {"Bass boost", {6, 5, 4, 2.5, 1, 0, 0, 0, 0, 0}},
      {"Treble boost", {0, 0, 0, 0, 0, 1, 2.5, 4, 5, 6}},
      {"Bass and treble", {5, 4, 2, 0, -1.5, -1.5, 0, 2, 4, 5}},
      {"Loudness", {5, 4, 1, 0, -1, 0, -1, 1, 4, 3}},
      {"Vocal", {-2, -2, -1, 1, 3.5, 4, 3, 1.5, 0, -1}},
      {"Classical", {0, 0, 0, 0, 0, 0, -3, -3, -3, -4.5}},
      {"Club", {0, 0, 2, 3, 3, 3, 2, 0, 0, 0}},
      {"Dance", {5, 4, 1.5, 0, 0, -2.5, -3, -3, 0, 0}},
      {"Jazz", {3, 2, 1, 2, -1.5, -1.5, 0, 1.5, 3, 3.5}},
      {"Pop", {-1, 2, 3.5, 4, 2.5, 0, -1, -1, -1, -1}},
      {"Rock", {4, 3, -2.5, -3.5, -1.5, 2, 4, 5.5, 5.5, 5.5}},
      {"Soft", {2, 0.5, -0.5, -1.5, -0.5, 2, 4, 5, 5.5, 6}},
  };
  return presets;
}

}  // namespace sonavex
