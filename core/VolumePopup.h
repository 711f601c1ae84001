#pragma once
// The volume popup: a crescent whose fill shows the volume. A click along the arc sets the engine's
// volume in proportion to its distance from the arc's left end; the audio menu's Peak and Mute set
// full and silent and move the same fill, without touching the level the popup remembers.
#include "core/Core.h"
#include "core/model/Region.h"

namespace sonavex {

inline constexpr int kVolumeClientWidth = 312;   // pixels
inline constexpr int kVolumeClientHeight = 213;

// The crescent: ellipse A minus ellipse B, cut by rectangle R. Bounds rounded halves to even.
struct CrescentFigures {
  Box A, B, R;
};
CrescentFigures crescentFigures(double scaleWidth, double scaleHeight);
// The popup's region: (A minus B) intersected with R.
PixelRegion crescentRegion(double scaleWidth, double scaleHeight);

// The usable length of the arc: x = 0 is silent, x = this is full volume.
double volumeBarLength(double scaleWidth);

// The popup loads: the engine plays at full volume.
void frmvol_Load(Core& core);
// Release of a mouse button over the body at x pixels / over the fill at x twips.
void frmvol_MouseUp(Core& core, double scaleWidth, double xPixels);
void Image1_MouseUp(Core& core, double scaleWidth, double xTwips);
// A volume key: the fill a tenth of the arc longer (steps > 0) or shorter, from the nearest tenth,
// between silent and full; the level follows as a click there would set it.
void volumeKey(Core& core, double scaleWidth, int steps);
// The audio menu's volume items.
void mnupeakvol_Click(Core& core, double scaleWidth);
void mnumute_Click(Core& core);

}  // namespace sonavex
