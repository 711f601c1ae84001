#include "ui/SkinCheckBox.h"

#include <QKeyEvent>
#include <QPainter>

#include "ui/Skin.h"

namespace sonavex {
namespace {
constexpr int kCaptionGap = 4;
}

SkinCheckBox::SkinCheckBox(const QString& text, QWidget* parent) : QCheckBox(text, parent) {
  setFocusPolicy(Qt::TabFocus);
}

void SkinCheckBox::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (!event->isAutoRepeat()) click();
      break;
    case Qt::Key_Space:
      QCheckBox::keyPressEvent(event);
      break;
    default:
      event->ignore();
  }
}

QSize SkinCheckBox::sizeHint() const {
  if (text().isEmpty()) return kBoxSize;
  const int caption = fontMetrics().size(Qt::TextShowMnemonic, text()).width();
  return {kBoxSize.width() + kCaptionGap + caption, qMax(kBoxSize.height(), fontMetrics().height())};
}

void SkinCheckBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const int top = (height() - kBoxSize.height()) / 2;
  const QRect box(QPoint(0, top), kBoxSize);
  drawSkin(painter, box, isChecked() ? QStringLiteral("check-on") : QStringLiteral("check-off"));
  if (hasFocus()) drawFocusMark(painter, QRectF(box).adjusted(0.5, 0.5, -1.5, -1.5));
  if (text().isEmpty()) return;
  painter.setPen(isEnabled() ? QColor(0x80, 0xFF, 0xFF) : QColor(0x40, 0x80, 0x80));
  painter.drawText(rect().adjusted(kBoxSize.width() + kCaptionGap, 0, 0, 0),
                   Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic, text());
}

}  // namespace sonavex
