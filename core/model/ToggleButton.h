#pragma once
// The playlist toggle button and the slide that brings the playlist window in beside the player.
#include <cstdint>

#include "core/model/Region.h"
#include "core/model/PlayerShape.h"

namespace sonavex {

inline constexpr int kToggleButtonWidth = 66;  // pixels
inline constexpr int kToggleButtonHeight = 52;
// A click on the button moves the pointer this far, off the button and onto the player.
inline constexpr Point kToggleClickPointerMove{-88, -28};

// The button's oval.
PixelRegion toggleButtonRegion(double scaleWidth, double scaleHeight);

// The pointer watch: true once the pointer has left the button window's whole rectangle (not its
// oval); the edges themselves count as inside.
bool pointerLeft(Point pointer, const WindowRect& button);

// The playlist window's region while docked beside the player: the list part and the button
// column, with the gap between them and the rows below 178 on the right cut away.
PixelRegion dockedPlaylistRegion(double widthPixels, double heightPixels);

// The slide of the playlist window, in twips: from `startLeft` (just off the screen's right edge)
// left in steps of 222 while the rounded target is left of it, then exactly onto the target. The
// number of steps is fixed when the slide starts, so it ends whatever the window system does with
// each move.
class Slide {
 public:
  Slide(double startLeft, double targetLeft);
  // Takes the next step; false once the slide is over and `left()` is the exact target.
  bool step();
  double left() const { return left_; }

 private:
  double left_;
  double target_;
  std::int64_t stepsLeft_;
};

}  // namespace sonavex
