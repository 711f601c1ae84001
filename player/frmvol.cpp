#include "player/frmvol.h"

#include <QLabel>
#include <QMouseEvent>
#include <algorithm>
#include <cmath>

#include "app/Twips.h"
#include "app/core/Core.h"
#include "player/ClickArea.h"
#include "player/core/VolumePopup.h"

namespace sonavex {

namespace {
constexpr int kFillTop = -56;
constexpr int kFillHeight = 128;

QRect rectOf(const Box& box) {
  return QRect(QPoint(box.left, box.top), QPoint(box.right - 1, box.bottom - 1));
}
}  // namespace

frmvol::frmvol(Core& core) : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint), core_(core) {
  setObjectName(QStringLiteral("frmvol"));
  setWindowTitle(QStringLiteral("Volume"));
  setAccessibleName(QStringLiteral("Volume"));
  setAccessibleDescription(QStringLiteral("Click along the arc to set the volume"));
  setFixedSize(kVolumeClientWidth, kVolumeClientHeight);
  setAutoFillBackground(true);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, QColor(0xE0, 0xE0, 0xE0));
  setPalette(palette);

  auto* legend = new QLabel(QStringLiteral("vol"), this);
  legend->setObjectName(QStringLiteral("Label1"));
  legend->setGeometry(104, 5, 14, 13);
  QFont small = legend->font();
  small.setPointSizeF(6.5);
  legend->setFont(small);

  Image1_ = new ClickArea(QColor(0x40, 0xC0, 0xFF), this);
  Image1_->setObjectName(QStringLiteral("Image1"));
  Image1_->setAccessibleName(QStringLiteral("Volume level"));
  Image1_->setGeometry(0, kFillTop, static_cast<int>(core_.vol.fillWidth), kFillHeight);
  legend->raise();
  connect(Image1_, &ClickArea::released, this, [this](int x) {
    Image1_MouseUp(core_, width(), x * 15.0);
    render();
  });

  setMask(crescent(width(), height()));
  frmvol_Load(core_);
}

QRegion frmvol::crescent(int scaleWidth, int scaleHeight) {
  const CrescentFigures f = crescentFigures(scaleWidth, scaleHeight);
  return QRegion(rectOf(f.A), QRegion::Ellipse)
      .subtracted(QRegion(rectOf(f.B), QRegion::Ellipse))
      .intersected(QRegion(rectOf(f.R)));
}

void frmvol::placeOn(const QWidget& player) {
  const QRect frame = player.frameGeometry();
  move(frame.left() + pixelsOfTwips(player, kVolumeLeftTwips), frame.top());
}

void frmvol::render() {
  const double width = std::isfinite(core_.vol.fillWidth) ? core_.vol.fillWidth : 0.0;
  const int fill = static_cast<int>(std::lround(std::clamp(width, 0.0, 10000.0)));
  if (Image1_->width() != fill) Image1_->resize(fill, Image1_->height());
}

void frmvol::mouseReleaseEvent(QMouseEvent* event) {
  frmvol_MouseUp(core_, width(), event->position().x());
  render();
  event->accept();
}

}  // namespace sonavex
