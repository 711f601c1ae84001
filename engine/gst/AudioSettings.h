#pragma once
// How the engine's volume, balance and rate values become GStreamer settings. Pure functions, so
// out-of-range values from the program are pinned down in one place.

namespace sonavex {

inline constexpr double kMinRate = 0.25;
inline constexpr double kMaxRate = 2.0;

// -10000 (silent) .. 0 (full) to a linear gain 0..1 on a cubic curve, so equal steps of the volume
// value sound like equal steps of loudness. Values outside the range are clamped.
double volumeToGain(long volume);

// -10000 (left only) .. 10000 (right only) to audiopanorama's -1..1. Clamped.
float balanceToPanorama(long balance);

// Keeps a playback rate inside what the pipeline plays sensibly; anything not a number means 1.0.
double clampRate(double rate);

}  // namespace sonavex
