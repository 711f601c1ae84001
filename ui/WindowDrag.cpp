#include "ui/WindowDrag.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QStyleHints>
#include <QWidget>
#include <QWindow>

namespace sonavex {

namespace {
// A compositor that places the windows itself offers only its own move. On X11 the window manager's
// move is not used: started as a quick click ends, it never learns of the release and the window
// follows the pointer until the next click.
bool windowsArePlacedByTheCompositor() {
  return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}
}  // namespace

WindowDrag::WindowDrag(QWidget& window) : QObject(&window), window_(window) {}

void WindowDrag::begin(const QPoint& globalPos) {
  if (active_) finish();  // a press while one seemed to run: its release was lost
  if (windowsArePlacedByTheCompositor()) {
    if (QWindow* handle = window_.windowHandle(); handle && handle->startSystemMove()) return;
  }
  active_ = true;
  moving_ = false;
  pressedAt_ = globalPos;
  grabOffset_ = globalPos - window_.pos();
  qApp->installEventFilter(this);
}

bool WindowDrag::eventFilter(QObject* watched, QEvent* event) {
  if (!watched->isWidgetType() || static_cast<QWidget*>(watched)->window() != &window_) return false;
  const bool move = event->type() == QEvent::MouseMove;
  const bool release = event->type() == QEvent::MouseButtonRelease &&
                       static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
  if (!move && !release) return false;
  const auto* mouse = static_cast<QMouseEvent*>(event);
  if (move && !(mouse->buttons() & Qt::LeftButton)) {
    finish();  // the release went elsewhere
    return false;
  }
  follow(mouse->globalPosition().toPoint());
  if (release) finish();
  return true;
}

void WindowDrag::follow(const QPoint& pointer) {
  if (!moving_ && (pointer - pressedAt_).manhattanLength() <
                      QGuiApplication::styleHints()->startDragDistance()) {
    return;
  }
  moving_ = true;
  window_.move(pointer - grabOffset_);
}

void WindowDrag::finish() {
  if (!active_) return;
  active_ = false;
  qApp->removeEventFilter(this);
  emit ended();
}

}  // namespace sonavex
