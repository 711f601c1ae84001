#pragma once
// Moves a frameless window by a press on its body: once the pointer has gone further than the
// platform's drag distance with the left button held, the window follows it until the button is
// let go, and then `ended` says the drag is over, so companion windows can dock again. A click
// never moves the window. Only where the program cannot place its windows (Wayland) is the drag
// handed to the compositor's own move.
#include <QObject>
#include <QPoint>

class QWidget;

namespace sonavex {

class WindowDrag : public QObject {
  Q_OBJECT
 public:
  explicit WindowDrag(QWidget& window);

  // A left press at `globalPos` (screen pixels) starts a drag.
  void begin(const QPoint& globalPos);
  bool active() const { return active_; }

 signals:
  void ended();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The window goes with the pointer once it is past the drag distance.
  void follow(const QPoint& pointer);
  void finish();

  QWidget& window_;
  bool active_ = false;
  bool moving_ = false;  // past the drag distance: the window follows the pointer
  QPoint pressedAt_;     // where the button went down, in screen pixels
  QPoint grabOffset_;    // the pointer's place on the window
};

}  // namespace sonavex
