#include "core/VolumePopup.h"

#include <algorithm>
#include <cmath>

namespace sonavex {

namespace {

// nearbyint rounds halves to even in the default rounding mode.
int halfEven(double value) { return static_cast<int>(std::nearbyint(value)); }

void setLevel(Core& core, double level, double fillWidth) {
  if (!std::isfinite(level)) return;
  core.vol.level = halfEven(level);
  core.mp1.setVolume(core.vol.level - 10000);
  core.vol.fillWidth = fillWidth;
}

}  // namespace

CrescentFigures crescentFigures(double sw, double sh) {
  return {{0, 0, halfEven(sw - 66), halfEven(sh)},
          {0, 19, halfEven(sw - 99), halfEven(sh)},
          {0, 0, halfEven(sw - 121), halfEven(sh / 2 - 55)}};
}

PixelRegion crescentRegion(double sw, double sh) {
  const CrescentFigures f = crescentFigures(sw, sh);
  return PixelRegion::ellipse(f.A)
      .subtracted(PixelRegion::ellipse(f.B))
      .intersected(PixelRegion::rect(f.R));
}

double volumeBarLength(double scaleWidth) { return scaleWidth - 121; }

void frmvol_Load(Core& core) { core.mp1.setVolume(0); }

void frmvol_MouseUp(Core& core, double scaleWidth, double xPixels) {
  setLevel(core, xPixels * 10000 / volumeBarLength(scaleWidth), xPixels);
}

void Image1_MouseUp(Core& core, double scaleWidth, double xTwips) {
  setLevel(core, xTwips * 10000 / (volumeBarLength(scaleWidth) * 15), xTwips / 15);
}

void volumeKey(Core& core, double scaleWidth, int steps) {
  const double length = volumeBarLength(scaleWidth);
  const double fill = std::isfinite(core.vol.fillWidth) ? core.vol.fillWidth : 0.0;
  const double tenths = std::round(std::clamp(fill / length, 0.0, 1.0) * 10) + steps;
  frmvol_MouseUp(core, scaleWidth, std::clamp(tenths, 0.0, 10.0) / 10 * length);
}

void mnupeakvol_Click(Core& core, double scaleWidth) {
  core.mp1.setVolume(0);
  core.vol.fillWidth = volumeBarLength(scaleWidth);
}

void mnumute_Click(Core& core) {
  core.mp1.setVolume(kVolumeSilent);
  core.vol.fillWidth = 0;
}

}  // namespace sonavex
