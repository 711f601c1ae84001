#include "ui/SkinImage.h"

#include <QAccessibleWidget>
#include <QMouseEvent>
#include <QPainter>

#include "ui/Skin.h"

namespace sonavex {
namespace {

// Reports the role the control was given; one that acts as a button can also be pressed.
class AccessibleSkinImage : public QAccessibleWidget {
 public:
  explicit AccessibleSkinImage(SkinImage* image) : QAccessibleWidget(image) {}
  QAccessible::Role role() const override { return image()->accessibleRole(); }
  QStringList actionNames() const override {
    return role() == QAccessible::Button ? QStringList{pressAction()} : QStringList{};
  }
  void doAction(const QString& action) override {
    if (action == pressAction() && role() == QAccessible::Button) emit image()->clicked();
  }

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

void SkinImage::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QSize size = artSize_.isEmpty() ? this->size() : artSize_;
  painter.drawPixmap(0, 0, skinPixmap(asset_, size, devicePixelRatioF()));
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
