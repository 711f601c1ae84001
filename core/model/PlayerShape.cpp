#include "core/model/PlayerShape.h"

#include <cmath>

namespace sonavex {

namespace {
constexpr int kIrisStep = 10;

int pixels(double twips, double twipsPerPixel) {
  return static_cast<int>(std::lround(twips / twipsPerPixel));
}
}  // namespace

int pixelsAtLoad(double twips, double twipsPerPixel) {
  const long divisor = std::lround(twipsPerPixel);
  return divisor > 0 ? static_cast<int>(std::lround(twips) / divisor) : 0;
}

Iris irisAtLoad(int widthpixels, int heightpixels) {
  return {116, 133, heightpixels - 137, widthpixels - 93};
}

bool irisTick(Iris& iris, int widthpixels, int heightpixels) {
  if (iris.irisleft > 16 && iris.iristop > 33 && iris.irisbottom < widthpixels + 7 &&
      iris.irisright < heightpixels - 37) {
    iris.irisright += kIrisStep;
    iris.irisbottom += kIrisStep;
    iris.irisleft -= kIrisStep;
    iris.iristop -= kIrisStep;
    return true;
  }
  return false;
}

PixelRegion irisRegion(const Iris& iris) {
  return PixelRegion::ellipse({iris.irisleft, iris.iristop, iris.irisright, iris.irisbottom});
}

PixelRegion seekBarLens() {
  return PixelRegion::ellipse({0, 0, 157, 44}).intersected(PixelRegion::ellipse({11, 11, 157, 28}));
}

Point playlistDock(const WindowRect& player, double tpp) {
  return {player.left + player.width + pixels(kPlaylistGapTwips, tpp),
          player.top + pixels(kPlaylistDropTwips, tpp)};
}

Point menuDock(const WindowRect& playlist, double tpp) {
  return {playlist.left + playlist.width + pixels(22, tpp), playlist.top};
}

Point toggleButtonDock(const WindowRect& player, double tpp) {
  return {player.left + pixels(3765, tpp), player.top + pixels(1700, tpp)};
}

Point volumeDock(const WindowRect& player, double tpp) {
  return {player.left + pixels(210, tpp), player.top};
}

}  // namespace sonavex
