#include "ui/ScreenFit.h"

#include <QEvent>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace sonavex {

namespace {
// Waits for the window's frame, then fits the window once and goes.
class FrameWatch : public QObject {
 public:
  FrameWatch(QWidget& window, QPoint designed, const QScreen* screen)
      : QObject(&window), window_(window), designed_(designed), screen_(screen) {
    window.installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    const bool placed = event->type() == QEvent::Move || event->type() == QEvent::Resize;
    if (placed && window_.frameGeometry() != window_.geometry()) {
      window_.removeEventFilter(this);
      const QPoint place = placeOnScreen(window_, designed_, screen_);
      if (place != window_.pos()) window_.move(place);
      deleteLater();
    }
    return false;
  }

 private:
  QWidget& window_;
  QPoint designed_;
  QPointer<const QScreen> screen_;
};
}  // namespace

QPoint placeOnScreen(const QWidget& window, QPoint designed, const QScreen* screen) {
  if (!screen) return designed;
  const QRect free = screen->availableGeometry();
  // move() places the frame's corner; the shape is given in the client area inside it.
  const QRect frame = window.frameGeometry();
  const QPoint client = window.geometry().topLeft() - frame.topLeft();
  const QRect shows = window.mask().isEmpty() ? QRect(QPoint(0, 0), frame.size())
                                              : window.mask().boundingRect().translated(client);
  QRect at = shows.translated(designed);
  at.moveLeft(std::max(free.left(), std::min(at.left(), free.right() + 1 - at.width())));
  at.moveTop(std::max(free.top(), std::min(at.top(), free.bottom() + 1 - at.height())));
  return designed + (at.topLeft() - shows.translated(designed).topLeft());
}

QPoint placeBelow(const QWidget& above) {
  const QRect frame = above.frameGeometry();
  return QPoint(frame.left(), frame.top() + frame.height());
}

QPoint placeCentredOver(const QWidget& window, const QWidget& over) {
  const QRect frame = over.frameGeometry();
  return frame.center() - QPoint(window.width() / 2, window.height() / 2);
}

void moveOntoScreen(QWidget& window, QPoint designed, const QScreen* screen) {
  window.move(placeOnScreen(window, designed, screen));
  new FrameWatch(window, designed, screen);
}

}  // namespace sonavex
