#include "core/model/ToggleButton.h"

#include <algorithm>
#include <cmath>

namespace sonavex {

namespace {
constexpr double kSlideStep = 222;  // twips
// A screen is never this many steps wide; a nonsense start still ends.
constexpr std::int64_t kMaxSlideSteps = 100000;

int whole(double value) { return static_cast<int>(std::lround(value)); }
}  // namespace

PixelRegion toggleButtonRegion(double scaleWidth, double scaleHeight) {
  return PixelRegion::ellipse({4, 15, whole(scaleWidth), whole(scaleHeight - 12)});
}

bool pointerLeft(Point pointer, const WindowRect& button) {
  return pointer.x < button.left || pointer.x > button.left + button.width ||
         pointer.y < button.top || pointer.y > button.top + button.height;
}

PixelRegion dockedPlaylistRegion(double widthPixels, double heightPixels) {
  return PixelRegion::rect({7, 0, 245, whole(heightPixels)})
      .united(PixelRegion::rect({255, 0, whole(widthPixels - 5), 178}));
}

Slide::Slide(double startLeft, double targetLeft) : left_(startLeft), target_(targetLeft) {
  const double rounded = std::round(targetLeft);
  const double distance = startLeft - rounded;
  stepsLeft_ = std::isfinite(distance) && distance > 0
                   ? static_cast<std::int64_t>(
                         std::min(std::ceil(distance / kSlideStep), double(kMaxSlideSteps)))
                   : 0;
}

bool Slide::step() {
  if (stepsLeft_ > 0) {
    --stepsLeft_;
    left_ -= kSlideStep;
    return true;
  }
  left_ = target_;
  return false;
}

}  // namespace sonavex
