#pragma once
// An image control of the skin: paints one named asset and reports the mouse over it. Windows build
// their draggable bodies, seek bars, fills and small picture buttons from it. One given the role of
// a button or a slider is reached with Tab and shows the focus mark; a button is pressed with Space
// or Enter, or by a screen reader.
#include <QAccessible>
#include <QPainterPath>
#include <QWidget>

namespace sonavex {

class SkinImage : public QWidget {
  Q_OBJECT
 public:
  // The asset is drawn at artSize from the top-left corner and clipped to the control, so a fill
  // narrower than its art shows only its left part. An empty artSize follows the control's size.
  // Without an asset nothing is drawn but the focus mark.
  SkinImage(const QString& asset, QWidget* parent, QSize artSize = QSize());

  QString asset() const { return asset_; }
  // What the control is to assistive technology (a picture unless told otherwise).
  void setAccessibleRole(QAccessible::Role role);
  QAccessible::Role accessibleRole() const { return role_; }
  // The value a slider or progress bar reports, from `minimum` to `maximum`, and the same as it is
  // read out; a change is told to assistive technology.
  void setAccessibleValue(double value, double maximum, const QString& text, double minimum = 0);
  double accessibleValue() const { return value_; }
  double accessibleMinimum() const { return minimum_; }
  double accessibleMaximum() const { return maximum_; }
  QString accessibleValueText() const { return valueText_; }
  // Where the focus mark goes when the control is not shown as a rectangle (an oval, an arc).
  void setFocusOutline(const QPainterPath& outline) { focusOutline_ = outline; }

 signals:
  void moved(QPoint pos);
  void pressed(Qt::MouseButton button, QPoint pos, QPoint globalPos);
  void released(Qt::MouseButton button, QPoint pos);
  // The left button went down and up inside the control.
  void clicked();
  // Space or Enter on the focused button, or a screen reader's press.
  void activated();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  QString asset_;
  QSize artSize_;
  QAccessible::Role role_ = QAccessible::Graphic;
  double value_ = 0;
  double minimum_ = 0;
  double maximum_ = 0;
  QString valueText_;
  QPainterPath focusOutline_;
  bool leftDown_ = false;
};

}  // namespace sonavex
