#include "ui/FocusChain.h"

#include <QApplication>
#include <QKeyEvent>

namespace sonavex {

QList<QWidget*> tabStops(QWidget& window) {
  QList<QWidget*> stops;
  for (QWidget* w = window.nextInFocusChain(); w && w != &window; w = w->nextInFocusChain()) {
    if (w->window() == &window && (w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(&window) &&
        w->isEnabled() && !stops.contains(w)) {
      stops << w;
    }
  }
  return stops;
}

bool tabLeavesWindow(QWidget& window, bool next) {
  const QList<QWidget*> stops = tabStops(window);
  if (stops.isEmpty()) return true;
  return window.focusWidget() == (next ? stops.back() : stops.front());
}

void enterWindowByTab(QWidget& window, bool next) {
  window.activateWindow();
  window.raise();
  const QList<QWidget*> stops = tabStops(window);
  if (stops.isEmpty()) return;
  (next ? stops.front() : stops.back())->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
}

bool isShiftF10(const QKeyEvent* event) {
  return event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier;
}

namespace {
QPointer<QWidget>& keyboardHome() {
  static QPointer<QWidget> home;
  return home;
}

bool canTakeKeyboard(const QWidget* w) {
  return w && w->isVisible() && w->isEnabled() && !w->window()->isMinimized();
}
}  // namespace

void setKeyboardHome(QWidget* home) { keyboardHome() = home; }

KeyboardReturn::KeyboardReturn() : from_(QApplication::focusWidget()) {}

KeyboardReturn::~KeyboardReturn() {
  QWidget* to = canTakeKeyboard(from_) ? from_.data() : keyboardHome().data();
  if (!canTakeKeyboard(to)) return;
  to->window()->activateWindow();
  to->setFocus(Qt::OtherFocusReason);
}

}  // namespace sonavex
