#pragma once
// An image control of the skin: paints one named asset and reports the mouse over it. Windows build
// their draggable bodies, seek bars, fills and small picture buttons from it.
#include <QAccessible>
#include <QWidget>

namespace sonavex {

class SkinImage : public QWidget {
  Q_OBJECT
 public:
  // The asset is drawn at artSize from the top-left corner and clipped to the control, so a fill
  // narrower than its art shows only its left part. An empty artSize follows the control's size.
  SkinImage(const QString& asset, QWidget* parent, QSize artSize = QSize());

  QString asset() const { return asset_; }
  // What the control is to assistive technology (a picture unless told otherwise).
  void setAccessibleRole(QAccessible::Role role) { role_ = role; }
  QAccessible::Role accessibleRole() const { return role_; }

 signals:
  void moved(QPoint pos);
  void pressed(Qt::MouseButton button, QPoint pos, QPoint globalPos);
  void released(Qt::MouseButton button, QPoint pos);
  // The left button went down and up inside the control.
  void clicked();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  QString asset_;
  QSize artSize_;
  QAccessible::Role role_ = QAccessible::Graphic;
  bool leftDown_ = false;
};

}  // namespace sonavex
