#pragma once
// The playlist window's shapes: at load, after a resize, and the hide animation that wipes it away
// from the left.
#include "core/model/Region.h"

namespace sonavex {

inline constexpr int kPanelScaleWidth = 302;
// The left edge of the column of command buttons (add, rem, sort, load, save), in pixels.
inline constexpr int kCommandButtonsLeft = 256;
// Hiding the panel moves the pointer this far up, off the hide button.
inline constexpr int kHidePointerRaise = 45;

// `changeshape1`: the list part and the button column, a 10-pixel strip between them cut away.
PixelRegion changeshape1(int widthPixels, int heightPixels);
// After a resize: the list part and the button column, which ends 180 pixels down.
PixelRegion resizeRegion(int scaleWidth, int heightPixels);

// The hide animation of `Timer1`: each tick leaves a narrower strip, 38 pixels less from the left,
// until nothing of the window shows; the eleventh tick ends it.
class HideAnimation {
 public:
  void start() { slide_ = 0; running_ = true; }
  // The region for this tick; afterwards `running()` says whether the timer goes on.
  PixelRegion tick(int scaleWidth);
  bool running() const { return running_; }
  int slide() const { return slide_; }

 private:
  int slide_ = 0;
  bool running_ = false;
};

}  // namespace sonavex
