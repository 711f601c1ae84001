#pragma once
// The strip of the command window that flies out beside the playlist window's add, remove or sort
// button: a rounded rectangle level with the pointed button.
#include "core/model/Region.h"

namespace sonavex {

enum class Flyout { Add, Remove, Sort };

// `buttonTop` and `buttonHeight` are the pointed button's in the playlist window, `scaleWidth` the
// command window's width, all in pixels.
PixelRegion flyoutRegion(Flyout which, double buttonTop, double buttonHeight, double scaleWidth);

}  // namespace sonavex
