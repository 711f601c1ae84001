#pragma once
// What shapes the sound on its way out: the ten-band equalizer with its preamp, and ReplayGain
// (the loudness a file's tags say it needs). Values in dB; everything out of range is pinned down
// here, so the engine and the settings file take them as they are.
#include <array>
#include <optional>
#include <string>
#include <vector>

namespace sonavex {

inline constexpr int kBands = 10;
// The bands' centres, an octave apart.
inline constexpr std::array<double, kBands> kBandHz{31, 62, 125, 250, 500, 1000, 2000, 4000, 8000, 16000};
inline constexpr double kMaxBandDb = 12;  // every band and the preamp: -12..+12 dB

using BandGains = std::array<double, kBands>;

struct EqualizerSettings {
  bool on = false;
  double preampDb = 0;
  BandGains bandsDb{};
  bool operator==(const EqualizerSettings&) const = default;
};

enum class ReplayGainMode { Off, Track, Album };

struct ReplayGainSettings {
  ReplayGainMode mode = ReplayGainMode::Off;
  double preampDb = 0;    // added to the tagged gain
  double fallbackDb = 0;  // for files without a gain tag
  bool operator==(const ReplayGainSettings&) const = default;
};

// What a file's tags say; a peak is a linear sample value, 1.0 full scale.
struct ReplayGainTags {
  std::optional<double> trackGain, trackPeak, albumGain, albumPeak;
};

// A gain in dB inside -12..+12 (0 for what is not a number), on half-dB steps.
double clampBandDb(double db);

// The gain ReplayGain gives a file: the tag of the mode (the other one when it is missing) plus
// the preamp, else the fallback; never more than its peak allows below full scale, a file without
// a peak counting as full scale, so nothing it adds can clip.
double replayGainDb(const ReplayGainSettings& settings, const ReplayGainTags& tags);

struct EqualizerPreset {
  std::string name;
  BandGains bandsDb{};
  bool operator==(const EqualizerPreset&) const = default;
};

// Flat first, then the usual shapes and genres.
const std::vector<EqualizerPreset>& builtInPresets();

}  // namespace sonavex
