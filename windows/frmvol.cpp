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

// The "vol" legend on the arc: dark where the fill lies beneath it, light over the dark groove,
// so it reads at every level.
class VolumeLegend : public QLabel {
 public:
  using QLabel::QLabel;
  // The fill's right end, in the popup's pixels.
  void setFillRight(int x) {
    if (x == fillRight_) return;
    fillRight_ = x;
    update();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    const int split = std::clamp(fillRight_ - x(), 0, width());
    const auto draw = [&](const QRect& part, const QColor& ink) {
      painter.setClipRect(part);
      painter.setPen(ink);
      painter.drawText(rect(), static_cast<int>(alignment()), text());
    };
    draw(QRect(0, 0, split, height()), QColor(0x08, 0x0C, 0x1C));
    draw(QRect(split, 0, width() - split, height()), QColor(0xC0, 0xFF, 0xFF));
  }

 private:
  int fillRight_ = 0;
};

frmvol::frmvol(Core& core) : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint), core_(core) {
  setObjectName(QStringLiteral("frmvol"));
  setWindowTitle(QStringLiteral("Volume"));
  setAccessibleName(QStringLiteral("Volume"));
  setAccessibleDescription(QStringLiteral("Click along the arc to set the volume"));
  setFixedSize(kVolumeClientWidth, kVolumeClientHeight);
  // Not focusable as a window: the keyboard stays with the player it sits on.
  setAttribute(Qt::WA_ShowWithoutActivating);

  auto* legend = legend_ = new VolumeLegend(QStringLiteral("vol"), this);
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
  render();
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
  legend_->setFillRight(fill);
  // Read out in percent of the arc's length, as the fill shows it.
  const double percent = std::round(std::clamp(width / volumeBarLength(this->width()), 0.0, 1.0) * 100);
  Image1_->setAccessibleValue(percent, 100, tr("%1%").arg(percent));
}

void frmvol::mouseReleaseEvent(QMouseEvent* event) {
  perform(core_, frmvol_MouseUp, width(), event->position().x());
  event->accept();
}

}  // namespace sonavex
