#include "windows/frmvol.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "core/Command.h"
#include "core/VolumePopup.h"
#include "ui/RegionMask.h"
#include "ui/Skin.h"
#include "ui/SkinImage.h"

namespace sonavex {

namespace {
constexpr int kFillTop = -56;
constexpr int kFillHeight = 128;
constexpr int kFillArtWidth = 294;
}  // namespace

frmvol::frmvol(Core& core) : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint), core_(core) {
  setObjectName(QStringLiteral("frmvol"));
  setWindowTitle(QStringLiteral("Volume"));
  setAccessibleName(QStringLiteral("Volume"));
  setAccessibleDescription(QStringLiteral("Click along the arc to set the volume"));
  setFixedSize(kVolumeClientWidth, kVolumeClientHeight);
  // Not focusable as a window: the keyboard stays with the player it sits on.
  setAttribute(Qt::WA_ShowWithoutActivating);

  auto* legend = new QLabel(QStringLiteral("vol"), this);
  legend->setObjectName(QStringLiteral("Label1"));
  legend->setGeometry(104, 5, 14, 13);
  QFont small = legend->font();
  small.setPointSizeF(6.5);
  legend->setFont(small);

  Image1_ = new SkinImage(QStringLiteral("volume-fill"), this, QSize(kFillArtWidth, kFillHeight));
  Image1_->setObjectName(QStringLiteral("Image1"));
  Image1_->setAccessibleName(QStringLiteral("Volume level"));
  Image1_->setAccessibleRole(QAccessible::ProgressBar);
  Image1_->setGeometry(0, kFillTop, static_cast<int>(core_.vol.fillWidth), kFillHeight);
  legend->raise();
  connect(Image1_, &SkinImage::released, this, [this](Qt::MouseButton, QPoint at) {
    perform(core_, Image1_MouseUp, width(), at.x() * 15.0);
  });

  applyRegion(*this, crescentRegion(width(), height()));
  perform(core_, frmvol_Load);
}

void frmvol::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), QColor(0xE0, 0xE0, 0xE0));
  drawSkin(painter, rect(), QStringLiteral("volume-arc"));
}

void frmvol::render() {
  const double width = std::isfinite(core_.vol.fillWidth) ? core_.vol.fillWidth : 0.0;
  const int fill = static_cast<int>(std::lround(std::clamp(width, 0.0, 10000.0)));
  if (Image1_->width() != fill) Image1_->resize(fill, Image1_->height());
}

void frmvol::mouseReleaseEvent(QMouseEvent* event) {
  perform(core_, frmvol_MouseUp, width(), event->position().x());
  event->accept();
}

}  // namespace sonavex
