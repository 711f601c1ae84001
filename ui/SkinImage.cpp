#include "ui/SkinImage.h"

#include <QAccessibleValueInterface>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "ui/Skin.h"

namespace sonavex {
namespace {

bool hasValue(QAccessible::Role role) {
  return role == QAccessible::Slider || role == QAccessible::ProgressBar;
}

// Reports the role the control was given; one that acts as a button can also be pressed, and a
// slider or progress bar tells its value.
class AccessibleSkinImage : public QAccessibleWidget, public QAccessibleValueInterface {
 public:
  explicit AccessibleSkinImage(SkinImage* image) : QAccessibleWidget(image) {}
  QAccessible::Role role() const override { return image()->accessibleRole(); }
  QStringList actionNames() const override {
    return role() == QAccessible::Button ? QStringList{pressAction()} : QStringList{};
  }
  void doAction(const QString& action) override {
    if (action == pressAction() && role() == QAccessible::Button) emit image()->activated();
  }
  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Value && hasValue(role())) return image()->accessibleValueText();
    return QAccessibleWidget::text(t);
  }
  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::ValueInterface && hasValue(role()))
      return static_cast<QAccessibleValueInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
  }
  QVariant currentValue() const override { return image()->accessibleValue(); }
  void setCurrentValue(const QVariant&) override {}  // shown, not set from here
  QVariant maximumValue() const override { return image()->accessibleMaximum(); }
  QVariant minimumValue() const override { return image()->accessibleMinimum(); }
  QVariant minimumStepSize() const override { return 1.0; }

 private:
  SkinImage* image() const { return static_cast<SkinImage*>(widget()); }
};

QAccessibleInterface* accessibleSkinImage(const QString&, QObject* object) {
  auto* image = qobject_cast<SkinImage*>(object);
  return image ? new AccessibleSkinImage(image) : nullptr;
}

}  // namespace

SkinImage::SkinImage(const QString& asset, QWidget* parent, QSize artSize)
    : QWidget(parent), asset_(asset), artSize_(artSize) {
  static const bool installed = (QAccessible::installFactory(accessibleSkinImage), true);
  Q_UNUSED(installed);
  setMouseTracking(true);
}

void SkinImage::setAccessibleRole(QAccessible::Role role) {
  role_ = role;
  const bool control = role == QAccessible::Button || role == QAccessible::Slider;
  setFocusPolicy(control ? Qt::TabFocus : Qt::NoFocus);
}

void SkinImage::setAccessibleValue(double value, double maximum, const QString& text, double minimum) {
  if (value == value_ && maximum == maximum_ && minimum == minimum_ && text == valueText_) return;
  value_ = value;
  minimum_ = minimum;
  maximum_ = maximum;
  valueText_ = text;
  if (QAccessible::isActive()) {
    QAccessibleValueChangeEvent event(this, value);
    QAccessible::updateAccessibility(&event);
  }
}

void SkinImage::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QSize size = artSize_.isEmpty() ? this->size() : artSize_;
  if (!asset_.isEmpty()) painter.drawPixmap(0, 0, skinPixmap(asset_, size, devicePixelRatioF()));
  if (!hasFocus()) return;
  if (focusOutline_.isEmpty()) {
    drawFocusMark(painter, QRectF(rect()).adjusted(1.5, 1.5, -2.5, -2.5));
  } else {
    drawFocusMark(painter, focusOutline_);
  }
}

void SkinImage::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  const bool press = key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter;
  if (press && role_ == QAccessible::Button) {
    if (!event->isAutoRepeat()) emit activated();
    return;
  }
  event->ignore();  // the window's keys (the arrows seek)
}

void SkinImage::mouseMoveEvent(QMouseEvent* event) { emit moved(event->position().toPoint()); }

void SkinImage::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) leftDown_ = true;
  emit pressed(event->button(), event->position().toPoint(),
               event->globalPosition().toPoint());
}

void SkinImage::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  const bool click = event->button() == Qt::LeftButton && leftDown_ && rect().contains(pos);
  if (event->button() == Qt::LeftButton) leftDown_ = false;
  emit released(event->button(), pos);
  if (click) emit clicked();
}

}  // namespace sonavex
