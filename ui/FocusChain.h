#pragma once
// The keyboard's way through the program's windows: Tab and Shift+Tab go through a window's
// controls and, past its last (or first), on to the next window of the program rather than back
// round the same one.
#include <QList>

class QKeyEvent;
class QWidget;

namespace sonavex {

// The window's shown, enabled controls that Tab reaches, in Tab order.
QList<QWidget*> tabStops(QWidget& window);
// True when Tab (`next`) or Shift+Tab from the focused control would go round to the window's
// other end.
bool tabLeavesWindow(QWidget& window, bool next);
// Activates the window and focuses its first control (or its last, for Shift+Tab).
void enterWindowByTab(QWidget& window, bool next);
// Shift+F10: beside the menu key, the keyboard's way to a context menu.
bool isShiftF10(const QKeyEvent* event);

}  // namespace sonavex
