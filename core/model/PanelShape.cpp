#include "core/model/PanelShape.h"

namespace sonavex {

namespace {
constexpr int kHideStep = 38;
constexpr int kPanelRows = 178;
}  // namespace

PixelRegion changeshape1(int widthPixels, int heightPixels) {
  return PixelRegion::rect({0, 0, 245, heightPixels})
      .united(PixelRegion::rect({255, 0, widthPixels - 5, heightPixels}));
}

PixelRegion resizeRegion(int scaleWidth, int heightPixels) {
  return PixelRegion::rect({5, 0, scaleWidth - 54, heightPixels})
      .united(PixelRegion::rect({scaleWidth - 50, 0, scaleWidth - 5, 180}));
}

PixelRegion HideAnimation::tick(int scaleWidth) {
  PixelRegion region = PixelRegion::rect({slide_, 0, scaleWidth + 33, kPanelRows});
  slide_ += kHideStep;
  if (slide_ > scaleWidth + 88) running_ = false;
  return region;
}

}  // namespace sonavex
