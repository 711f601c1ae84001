#pragma once
// Windows open where they were designed to, moved just far enough to show whole on the screen
// that holds the player: at twice the scale a designed place may lie partly off the screen.
#include <QPoint>

class QScreen;
class QWidget;

namespace sonavex {

// The place nearest `designed` at which what shows of `window` (its shape, or its whole frame)
// lies inside the free area of `screen`; `designed` itself without a screen. What is larger than
// the screen keeps its top-left corner on it.
QPoint placeOnScreen(const QWidget& window, QPoint designed, const QScreen* screen);

// Directly below `above`: the same left edge, the top at its bottom.
QPoint placeBelow(const QWidget& above);

// Centred over `over`.
QPoint placeCentredOver(const QWidget& window, const QWidget& over);

// Moves a framed window to `designed`, on `screen`; once a window manager has put its frame around
// it (only known after it shows), moved again so that the frame shows whole too.
void moveOntoScreen(QWidget& window, QPoint designed, const QScreen* screen);

}  // namespace sonavex
