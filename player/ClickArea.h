#pragma once
// A flat, coloured area that reports where a mouse button was let go: the seek bar and its fill.
#include <QColor>
#include <QWidget>

namespace sonavex {

class ClickArea : public QWidget {
  Q_OBJECT
 public:
  ClickArea(const QColor& colour, QWidget* parent);

 signals:
  void released(int x);

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  QColor colour_;
};

}  // namespace sonavex
