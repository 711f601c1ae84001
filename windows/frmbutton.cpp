#include "windows/frmbutton.h"

#include <QCursor>
#include <QPainterPath>
#include <QTimer>

#include "core/model/ToggleButton.h"
#include "ui/RegionMask.h"
#include "ui/SkinImage.h"
#include "ui/Twips.h"

namespace sonavex {

frmbutton::frmbutton() : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint) {
  setObjectName(QStringLiteral("frmbutton"));
  setWindowTitle(tr("Show playlist"));
  setAccessibleName(tr("Show playlist"));
  // The button must not take the keyboard from the player it sits on.
  setAttribute(Qt::WA_ShowWithoutActivating);
  setFixedSize(kToggleButtonWidth, kToggleButtonHeight);
  setAutoFillBackground(true);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xFF));
  setPalette(palette);

  Image1_ = new SkinImage(QStringLiteral("toggle-normal"), this);
  Image2_ = new SkinImage(QStringLiteral("toggle-hover"), this);
  // The focus mark runs inside the oval, the only part of the window that shows.
  const Box oval = toggleButtonRegion(width(), height()).bounds();
  QPainterPath outline;
  outline.addEllipse(QRectF(oval.left, oval.top, oval.right - oval.left, oval.bottom - oval.top)
                         .adjusted(2, 2, -2, -2));
  for (SkinImage* image : {Image1_, Image2_}) {
    image->setGeometry(rect());
    image->setAccessibleName(tr("Show playlist"));
    image->setAccessibleRole(QAccessible::Button);
    image->setFocusOutline(outline);
  }
  Image1_->setObjectName(QStringLiteral("Image1"));
  Image2_->setObjectName(QStringLiteral("Image2"));
  Image2_->hide();
  connect(Image1_, &SkinImage::moved, this, &frmbutton::Image1_MouseMove);
  connect(Image2_, &SkinImage::clicked, this, &frmbutton::Image2_Click);
  // The keyboard and screen readers press the image that shows; the mouse only the lit one.
  for (SkinImage* image : {Image1_, Image2_})
    connect(image, &SkinImage::activated, this, &frmbutton::Image2_Click);

  Timer1_ = new QTimer(this);
  Timer1_->setObjectName(QStringLiteral("Timer1"));
  Timer1_->setTimerType(Qt::PreciseTimer);
  Timer1_->setInterval(1);
  connect(Timer1_, &QTimer::timeout, this, &frmbutton::Timer1_Timer);

  applyRegion(*this, toggleButtonRegion(width(), height()));
}

bool frmbutton::highlighted() const { return !Image2_->isHidden(); }

void frmbutton::Image1_MouseMove() {
  pointer_ = QCursor::pos();
  Image2_->show();
  Image1_->hide();
  Timer1_->start();
}

void frmbutton::Timer1_Timer() {
  pointer_ = QCursor::pos();
  if (pointerLeft({pointer_.x(), pointer_.y()}, outerRect(*this))) {
    Image2_->hide();
    Image1_->show();
    Timer1_->stop();
  }
}

bool frmbutton::focusNextPrevChild(bool next) {
  emit tabbedOut(next);
  return true;
}

void frmbutton::Image2_Click() {
  QCursor::setPos(QCursor::pos() + QPoint(kToggleClickPointerMove.x, kToggleClickPointerMove.y));
  hide();
  // The watch has nothing left to watch.
  Timer1_->stop();
  Image2_->hide();
  Image1_->show();
  emit playlistRequested();
}

}  // namespace sonavex
