#include "engine/gst/AudioSettings.h"

#include <gst/audio/streamvolume.h>

#include <algorithm>
#include <cmath>

#include "core/model/MediaEngine.h"

namespace sonavex {

double volumeToGain(long volume) {
  const long clamped = std::clamp(volume, kVolumeSilent, 0L);
  if (clamped == kVolumeSilent) return 0.0;  // exact silence, not a tiny residue
  const double cubic = static_cast<double>(clamped - kVolumeSilent) / -kVolumeSilent;
  return gst_stream_volume_convert_volume(GST_STREAM_VOLUME_FORMAT_CUBIC,
                                          GST_STREAM_VOLUME_FORMAT_LINEAR, cubic);
}

float balanceToPanorama(long balance) {
  const long clamped = std::clamp(balance, kBalanceLeft, kBalanceRight);
  return static_cast<float>(clamped) / static_cast<float>(kBalanceRight);
}

double clampRate(double rate) {
  if (!std::isfinite(rate)) return 1.0;
  return std::clamp(rate, kMinRate, kMaxRate);
}

}  // namespace sonavex
