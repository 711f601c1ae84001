#include "core/model/Flyout.h"

#include <algorithm>
#include <cmath>

namespace sonavex {

namespace {
int whole(double value) { return static_cast<int>(std::lround(value)); }
}  // namespace

PixelRegion flyoutRegion(Flyout which, double t, double hb, double m) {
  const int right = whole(m - 199);
  const int bottom = whole(t + hb);
  switch (which) {
    case Flyout::Add:  // a third button: one button and gap wider
      return PixelRegion::roundRect({0, whole(t), right + kAddStripExtra, bottom}, whole(t + hb),
                                    whole(m - 121));
    case Flyout::Remove:
      return PixelRegion::roundRect({0, whole(t - 1), right, bottom}, whole(t + hb - 21), whole(m));
    case Flyout::Sort:
      return PixelRegion::roundRect({0, whole(t - 2), right, bottom}, whole(t + hb - 41),
                                    whole(m - 144));
  }
  return {};
}

int flyoutLeft(int designedLeft, int width, int buttonsLeft, int screenLeft, int screenRight) {
  if (designedLeft >= screenLeft && designedLeft + width <= screenRight) return designedLeft;
  return std::clamp(buttonsLeft - width, screenLeft, std::max(screenLeft, screenRight - width));
}

}  // namespace sonavex
