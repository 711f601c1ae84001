#include "ui/WindowDrag.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

namespace sonavex {

WindowDrag::WindowDrag(QWidget& window) : QObject(&window), window_(window) {}

void WindowDrag::begin(const QPoint& globalPos) {
  if (mode_ == Mode::ByHand) return;
  // A press reached us, so a window manager's move still being watched is over.
  if (mode_ == Mode::System) finish();
  grabOffset_ = globalPos - window_.pos();
  movedBySystem_ = false;
  qApp->installEventFilter(this);
  QWindow* handle = window_.windowHandle();
  mode_ = (handle && handle->startSystemMove()) ? Mode::System : Mode::ByHand;
}

bool WindowDrag::eventFilter(QObject* watched, QEvent* event) {
  if (!watched->isWidgetType() || static_cast<QWidget*>(watched)->window() != &window_) return false;
  switch (event->type()) {
    case QEvent::Move:
      // X tells nothing when the window manager's move ends (on X11 Qt makes up a release as it
      // hands the pointer over, and the real one goes to the window manager), but the window
      // manager reports each new place: the companions dock at every one, so they are docked
      // wherever the move ends, whether it reports the places as the window goes or only the last.
      if (mode_ == Mode::System && watched == &window_) {
        movedBySystem_ = true;
        emit ended();
      }
      break;
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
      if (mode_ == Mode::ByHand && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        finish();
        return true;
      }
      break;
    case QEvent::Enter:
      // The pointer is seen again once the window manager lets go of it; the enter that comes as
      // the move starts (the window manager taking the pointer) does not end it.
      if (mode_ == Mode::System && movedBySystem_) finish();
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
