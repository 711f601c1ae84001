#pragma once
// Window places are designed in twips (1/1440 inch); the screen's logical DPI turns them into
// pixels.
#include <QScreen>
#include <QWidget>
#include <cmath>

#include "core/model/PlayerShape.h"

namespace sonavex {

inline double twipsPerPixel(const QWidget& widget) {
  const QScreen* screen = widget.screen();
  const double dpi = screen ? screen->logicalDotsPerInchX() : 96.0;
  return dpi > 0 ? 1440.0 / dpi : 15.0;
}

inline int pixelsOfTwips(const QWidget& widget, double twips) {
  return static_cast<int>(std::lround(twips / twipsPerPixel(widget)));
}

// A control's place and size designed in twips, in pixels.
inline QRect twipsRect(const QWidget& widget, int left, int top, int width, int height) {
  return QRect(pixelsOfTwips(widget, left), pixelsOfTwips(widget, top),
               pixelsOfTwips(widget, width), pixelsOfTwips(widget, height));
}

// A window's outer rectangle, as the docking arithmetic takes it.
inline WindowRect outerRect(const QWidget& window) {
  const QRect frame = window.frameGeometry();
  return {frame.left(), frame.top(), frame.width(), frame.height()};
}

}  // namespace sonavex
