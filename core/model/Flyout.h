#pragma once
// The strip of the command window that flies out beside the playlist window's add, remove or sort
// button: a rounded rectangle level with the pointed button.
#include "core/model/Region.h"

namespace sonavex {

enum class Flyout { Add, Remove, Sort };

// The add strip holds three buttons, the others two: it is this many pixels wider.
inline constexpr int kAddStripExtra = 37;

// `buttonTop` and `buttonHeight` are the pointed button's in the playlist window, `scaleWidth` the
// command window's width, all in pixels.
PixelRegion flyoutRegion(Flyout which, double buttonTop, double buttonHeight, double scaleWidth);

// The left edge of a strip `width` wide on a screen spanning [screenLeft, screenRight): where it
// was designed, beside the panel, when it shows whole there; else right against the left edge of
// the panel's command buttons (over the list), so that it never covers the button it belongs to;
// on the screen either way.
int flyoutLeft(int designedLeft, int width, int buttonsLeft, int screenLeft, int screenRight);

}  // namespace sonavex
