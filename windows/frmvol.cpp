#include "windows/frmvol.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "core/Command.h"
#include "core/VolumePopup.h"
#include "ui/KeyPresses.h"
#include "ui/ReaderNotice.h"
#include "ui/RegionMask.h"
#include "ui/Skin.h"
#include "ui/SkinImage.h"

namespace sonavex {

namespace {
constexpr int kFillTop = -56;
constexpr int kFillHeight = 128;
constexpr int kFillArtWidth = 294;

QRectF boxRect(const Box& b) { return QRectF(b.left, b.top, b.right - b.left, b.bottom - b.top); }

// The crescent drawn a little inside its edges, where the focus mark goes.
QPainterPath crescentOutline(double width, double height) {
  const CrescentFigures f = crescentFigures(width, height);
  QPainterPath outer, inner, cut;
  outer.addEllipse(boxRect(f.A).adjusted(2, 2, -2, -2));
  inner.addEllipse(boxRect(f.B).adjusted(-2, -2, 2, 2));
  cut.addRect(boxRect(f.R).adjusted(2, 2, -2, -2));
  return outer.subtracted(inner).intersected(cut);
}
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
  setAccessibleDescription(
      QStringLiteral("Click along the arc, or use the arrow keys, to set the volume"));
  setFixedSize(kVolumeClientWidth, kVolumeClientHeight);
  // Showing it leaves the keyboard with the player it sits on; only Tab brings the keyboard here.
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
  Image1_->setGeometry(0, kFillTop, static_cast<int>(core_.vol.fillWidth), kFillHeight);
  legend->raise();
  // Over the whole popup, so its mark is never under the fill; clicks go through to what is below.
  arc_ = new SkinImage(QString(), this);
  arc_->setObjectName(QStringLiteral("arc"));
  arc_->setAccessibleName(QStringLiteral("Volume"));
  arc_->setAccessibleRole(QAccessible::Slider);
  arc_->setAttribute(Qt::WA_TransparentForMouseEvents);
  arc_->setGeometry(rect());
  arc_->setFocusOutline(crescentOutline(width(), height()));
  notice_ = new ReaderNotice(this);
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
  const QString level = tr("%1%").arg(percent);
  arc_->setAccessibleValue(percent, 100, level);
  // A reader speaks the value of the arc that has the keyboard; elsewhere the new level is told.
  if (told_ >= 0 && percent != told_ && !arc_->hasFocus()) {
    notice_->tell(tr("Volume %1").arg(level));
  }
  told_ = percent;
}

void frmvol::keyPressEvent(QKeyEvent* event) {
  const int steps = volumeSteps(event, true);
  if (steps == 0) {
    QWidget::keyPressEvent(event);
    return;
  }
  perform(core_, volumeKey, static_cast<double>(width()), steps);
}

bool frmvol::focusNextPrevChild(bool next) {
  emit tabbedOut(next);
  return true;
}

void frmvol::mouseReleaseEvent(QMouseEvent* event) {
  perform(core_, frmvol_MouseUp, width(), event->position().x());
  event->accept();
}

}  // namespace sonavex
