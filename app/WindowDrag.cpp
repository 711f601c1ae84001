#include "app/WindowDrag.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

namespace sonavex {

WindowDrag::WindowDrag(QWidget& window) : QObject(&window), window_(window) {}

void WindowDrag::begin(const QPoint& globalPos) {
  if (active()) return;
  grabOffset_ = globalPos - window_.pos();
  // The pointer's events go to the application while the window manager moves the window; the
  // first one after the move (its release, or the pointer seen again) ends the drag.
  qApp->installEventFilter(this);
  QWindow* handle = window_.windowHandle();
  mode_ = (handle && handle->startSystemMove()) ? Mode::System : Mode::ByHand;
}

bool WindowDrag::eventFilter(QObject* watched, QEvent* event) {
  if (!watched->isWidgetType() || static_cast<QWidget*>(watched)->window() != &window_) return false;
  switch (event->type()) {
    case QEvent::MouseMove: {
      const auto* mouse = static_cast<QMouseEvent*>(event);
      if (mode_ == Mode::System && !(mouse->buttons() & Qt::LeftButton)) {
        finish();
      } else if (mode_ == Mode::ByHand) {
        window_.move(mouse->globalPosition().toPoint() - grabOffset_);
        return true;
      }
      break;
    }
    case QEvent::MouseButtonRelease:
      if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        finish();
        return true;
      }
      break;
    case QEvent::Enter:
      if (mode_ == Mode::System) finish();
      break;
    default:
      break;
  }
  return false;
}

void WindowDrag::finish() {
  if (!active()) return;
  mode_ = Mode::None;
  qApp->removeEventFilter(this);
  emit ended();
}

}  // namespace sonavex
