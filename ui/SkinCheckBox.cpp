#include "ui/SkinCheckBox.h"

#include <QPainter>

#include "ui/Skin.h"

namespace sonavex {
namespace {
constexpr int kCaptionGap = 4;
}

SkinCheckBox::SkinCheckBox(const QString& text, QWidget* parent) : QCheckBox(text, parent) {}

QSize SkinCheckBox::sizeHint() const {
  if (text().isEmpty()) return kBoxSize;
  const int caption = fontMetrics().size(Qt::TextShowMnemonic, text()).width();
  return {kBoxSize.width() + kCaptionGap + caption, qMax(kBoxSize.height(), fontMetrics().height())};
}

void SkinCheckBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const int top = (height() - kBoxSize.height()) / 2;
  drawSkin(painter, QRect(QPoint(0, top), kBoxSize),
           isChecked() ? QStringLiteral("check-on") : QStringLiteral("check-off"));
  if (text().isEmpty()) return;
  painter.setPen(isEnabled() ? QColor(0x80, 0xFF, 0xFF) : QColor(0x40, 0x80, 0x80));
  painter.drawText(rect().adjusted(kBoxSize.width() + kCaptionGap, 0, 0, 0),
                   Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic, text());
}

}  // namespace sonavex
