#include "ui/SkinButton.h"

#include <QEnterEvent>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "ui/Fonts.h"
#include "ui/Skin.h"

namespace sonavex {
namespace {

const QColor kFace(0x80, 0x80, 0xFF);
const QColor kCaption(0xE0, 0xE0, 0xE0);

QFont buttonFont(qreal pointSize) {
  QFont font = designFont(QStringLiteral("Book Antiqua"));
  font.setPointSizeF(pointSize);
  font.setBold(true);
  return font;
}

}  // namespace

SkinButton::SkinButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {
  setFont(buttonFont(kCaptionPointSize));
  setFocusPolicy(Qt::TabFocus);
}

qreal SkinButton::captionPointSize() const { return captionFont().pointSizeF(); }

const QFont& SkinButton::captionFont() const {
  if (fittedWidth_ == width() && fittedText_ == text()) return captionFont_;
  fittedWidth_ = width();
  fittedText_ = text();
  qreal size = kCaptionPointSize;
  captionFont_ = buttonFont(size);
  while (size > kSmallestPointSize &&
         QFontMetricsF(captionFont_).size(Qt::TextShowMnemonic, fittedText_).width() >
             width() - 2) {
    size -= 0.25;
    captionFont_ = buttonFont(size);
  }
  return captionFont_;
}

void SkinButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const bool down = isDown() || isChecked();
  const QColor face = isEnabled() ? kFace : QColor(0xA8, 0xA8, 0xB8);
  const QRectF body = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
  QPainterPath shape;
  shape.addRoundedRect(body, 3, 3);

  // A raised face lit from the top-left; pressed, the light comes from below and it darkens.
  QLinearGradient fill(body.topLeft(), body.bottomLeft());
  fill.setColorAt(0, down ? face.darker(150) : face.lighter(125));
  fill.setColorAt(0.5, down ? face.darker(125) : face);
  fill.setColorAt(1, down ? face.darker(110) : face.darker(135));
  painter.fillPath(shape, fill);
  painter.setPen(QPen(down ? face.darker(200) : face.lighter(150), 1));
  painter.drawLine(body.topLeft() + QPointF(3, 0), body.topRight() - QPointF(3, 0));
  painter.drawLine(body.topLeft() + QPointF(0, 3), body.bottomLeft() - QPointF(0, 3));
  painter.setPen(QPen(face.darker(isDefault() ? 260 : 200), 1));
  painter.setBrush(Qt::NoBrush);
  painter.drawPath(shape);

  painter.setFont(captionFont());
  const QRect caption = rect().translated(down ? 1 : 0, down ? 1 : 0);
  const int flags = Qt::AlignCenter | Qt::TextShowMnemonic;
  QColor shadow = face.darker(260);
  shadow.setAlpha(150);
  painter.setPen(shadow);
  painter.drawText(caption.translated(1, 1), flags, text());
  QColor ink = hover_ ? QColor(Qt::white) : kCaption;
  if (!isEnabled()) ink = QColor(0xF0, 0xF0, 0xF4);
  painter.setPen(ink);
  painter.drawText(caption, flags, text());
  if (hasFocus()) drawFocusMark(painter, QRectF(rect()).adjusted(2.5, 2.5, -3.5, -3.5));
}

void SkinButton::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (!event->isAutoRepeat()) animateClick();
      break;
    case Qt::Key_Space:
      QPushButton::keyPressEvent(event);
      break;
    default:
      event->ignore();
  }
}

void SkinButton::enterEvent(QEnterEvent* event) {
  hover_ = true;
  update();
  emit hovered();
  QPushButton::enterEvent(event);
}

void SkinButton::leaveEvent(QEvent* event) {
  hover_ = false;
  update();
  emit unhovered();
  QPushButton::leaveEvent(event);
}

}  // namespace sonavex
