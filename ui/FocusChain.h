#pragma once
// The keyboard's way through the program's windows: Tab and Shift+Tab go through a window's
// controls and, past its last (or first), on to the next window of the program rather than back
// round the same one.
#include <QList>
#include <QPointer>
#include <QWidget>

class QKeyEvent;

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

// Where the keyboard goes when the control it should go back to is gone: the list.
void setKeyboardHome(QWidget* home);

// Held while a modal dialog is up: when it ends, the keyboard goes back to the control that had it
// (or to the keyboard's home when that one went away meanwhile). A window manager would otherwise
// hand it to a window of its own choosing, and without one no window would have it.
class KeyboardReturn {
 public:
  KeyboardReturn();
  ~KeyboardReturn();
  KeyboardReturn(const KeyboardReturn&) = delete;
  KeyboardReturn& operator=(const KeyboardReturn&) = delete;

 private:
  QPointer<QWidget> from_;
};

}  // namespace sonavex
