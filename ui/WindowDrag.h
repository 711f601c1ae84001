#pragma once
// Moves a frameless window by a press on its body. Where the window manager offers its own move,
// it does the moving; otherwise the window follows the pointer until the button is let go.
// Either way `ended` says when the drag is over, so companion windows can dock again; during the
// window manager's move it also comes each time the window manager reports the window's new place,
// since X tells the application nothing when that move ends.
#include <QObject>
#include <QPoint>

class QWidget;

namespace sonavex {

class WindowDrag : public QObject {
  Q_OBJECT
 public:
  explicit WindowDrag(QWidget& window);

  // A left press at `globalPos` (screen pixels) starts a drag. A window manager's move is watched
  // until the pointer is seen again without the button, or until the next press.
  void begin(const QPoint& globalPos);
  bool active() const { return mode_ != Mode::None; }

 signals:
  void ended();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  enum class Mode { None, System, ByHand };
  void finish();

  QWidget& window_;
  Mode mode_ = Mode::None;
  QPoint grabOffset_;  // the pointer's place on the window while moving by hand
  bool movedBySystem_ = false;  // the window manager has moved the window in this drag
};

}  // namespace sonavex
