#include "player/ClickArea.h"

#include <QMouseEvent>
#include <QPainter>

namespace sonavex {

ClickArea::ClickArea(const QColor& colour, QWidget* parent) : QWidget(parent), colour_(colour) {}

void ClickArea::mouseReleaseEvent(QMouseEvent* event) {
  emit released(static_cast<int>(event->position().x()));
  event->accept();
}

void ClickArea::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), isEnabled() ? colour_ : colour_.darker(160));
}

}  // namespace sonavex
