#pragma once
// The player window's outline: the opening iris of its elliptical region, the lens of the seek
// bar, and the places its companion windows dock at.
#include "core/model/Region.h"

namespace sonavex {

// The player is laid out as a window with a classic frame (3-pixel borders, a 19-pixel caption);
// its region counts from the frame's outer corner and always cuts the frame away.
inline constexpr int kPlayerFrameLeft = 3;
inline constexpr int kPlayerFrameTop = 22;
inline constexpr int kPlayerOuterWidth = 244 + 2 * kPlayerFrameLeft;
inline constexpr int kPlayerOuterHeight = 249 + kPlayerFrameTop + kPlayerFrameLeft;

// A size in twips turned into whole pixels as the player does at load: both operands rounded,
// then an integer division.
int pixelsAtLoad(double twips, double twipsPerPixel);

// The bounding box of the player's ellipse, in pixels from the window's outer corner.
struct Iris {
  int irisleft, iristop, irisright, irisbottom;
  bool operator==(const Iris&) const = default;
};

// The small ellipse the window starts as. The right edge follows from the height and the bottom
// edge from the width.
Iris irisAtLoad(int widthpixels, int heightpixels);
// One tick of the opening timer: grows the ellipse by 10 pixels on every side and returns true
// while it is still short of its full size; returns false (the window then comes to the front and
// the timer stops) once it is.
bool irisTick(Iris& iris, int widthpixels, int heightpixels);
// `changeshape`: the region of the current ellipse.
PixelRegion irisRegion(const Iris& iris);

// The seek bar's lens: two ellipses intersected, in the bar's own pixels.
PixelRegion seekBarLens();

struct Point {
  int x, y;
  bool operator==(const Point&) const = default;
};
// A window's outer rectangle in pixels.
struct WindowRect {
  int left, top, width, height;
};

// The playlist window docks this far right of the player and this far below its top, in twips.
inline constexpr double kPlaylistGapTwips = 104;
inline constexpr double kPlaylistDropTwips = 833;

// Where the companions dock, in pixels: each offset is designed in twips.
Point playlistDock(const WindowRect& player, double twipsPerPixel);   // +width +104, +833
Point menuDock(const WindowRect& playlist, double twipsPerPixel);     // +width +22, level
Point toggleButtonDock(const WindowRect& player, double twipsPerPixel);  // +3765, +1700
Point volumeDock(const WindowRect& player, double twipsPerPixel);     // +210, level

}  // namespace sonavex
