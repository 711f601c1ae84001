#include "windows/frmAbout.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QTimer>
#include <cstdlib>

#include "ui/Skin.h"
#include "ui/SkinButton.h"
#include "ui/Twips.h"
#include "ui/Version.h"
#include "core/Core.h"
#include "core/SystemInfo.h"

namespace sonavex {

namespace {
constexpr int kFrameMilliseconds = 90;

// One etched line of the separator.
void line(QWidget* parent, int topTwips, const QColor& colour) {
  auto* l = new QFrame(parent);
  l->setObjectName(QStringLiteral("Line1"));
  l->setGeometry(0, pixelsOfTwips(*parent, topTwips), parent->width(), 1);
  l->setAutoFillBackground(true);
  QPalette p = l->palette();
  p.setColor(QPalette::Window, colour);
  l->setPalette(p);
}
}  // namespace

AboutAnimation::AboutAnimation(QWidget* parent) : QWidget(parent), timer_(new QTimer(this)) {
  setObjectName(QStringLiteral("AniGIF1"));
  setAccessibleName(QStringLiteral("Sonavex animation"));
  setFixedSize(70, 103);
  timer_->setInterval(kFrameMilliseconds);
  connect(timer_, &QTimer::timeout, this, [this] {
    frame_ = (frame_ + 1) % kFrames;
    update();
  });
  timer_->start();
}

void AboutAnimation::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawPixmap(0, 0, skinFrame(QStringLiteral("about-animation"), size(), frame_, kFrames,
                                     devicePixelRatioF()));
}

frmAbout::frmAbout(Core& core) : QWidget(nullptr, Qt::Window), core_(core) {
  setObjectName(QStringLiteral("frmAbout"));
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(QStringLiteral("About ") + QApplication::applicationName());
  setFixedSize(pixelsOfTwips(*this, 5730), pixelsOfTwips(*this, 3555));

  auto* animation = new AboutAnimation(this);
  animation->move(pixelsOfTwips(*this, 360), pixelsOfTwips(*this, 240));

  auto* lblTitle = new QLabel(QStringLiteral("SONAVEX 3"), this);
  lblTitle->setObjectName(QStringLiteral("lblTitle"));
  lblTitle->setGeometry(twipsRect(*this, 2040, 120, 1725, 480));
  QFont title(QStringLiteral("Lucida Sans"));
  title.setPointSizeF(14);
  title.setBold(true);
  lblTitle->setFont(title);
  lblTitle->adjustSize();  // the stand-in font may be wider than the designed one
  auto* lblVersion = new QLabel(QStringLiteral("Version ") + QLatin1String(sonavexVersion()), this);
  lblVersion->setObjectName(QStringLiteral("lblVersion"));
  lblVersion->setGeometry(twipsRect(*this, 2040, 720, 3525, 465));
  auto* lblDisclaimer = new QLabel(
      QStringLiteral("A small player for your music. Provided as it is, without any warranty."),
      this);
  lblDisclaimer->setObjectName(QStringLiteral("lblDisclaimer"));
  lblDisclaimer->setWordWrap(true);
  lblDisclaimer->setGeometry(twipsRect(*this, 255, 2625, 3030, 780));
  QFont small = lblDisclaimer->font();
  small.setPointSizeF(7);
  lblDisclaimer->setFont(small);

  line(this, 2445, QColor(0x80, 0x80, 0x80));
  line(this, 2460, Qt::white);

  auto* CMDOK = new SkinButton(QStringLiteral("OK"), this);
  CMDOK->setObjectName(QStringLiteral("CMDOK"));
  CMDOK->setGeometry(twipsRect(*this, 4320, 2520, 1095, 495));
  CMDOK->setDefault(true);
  auto* cmdSysInfo = new SkinButton(QStringLiteral("system info"), this);
  cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
  cmdSysInfo->setGeometry(twipsRect(*this, 4200, 3120, 1335, 375));
  connect(CMDOK, &QPushButton::clicked, this, &frmAbout::CMDOK_Click);
  connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);
}

void frmAbout::CMDOK_Click() { close(); }

void frmAbout::cmdSysInfo_Click() {
  const char* path = std::getenv("PATH");
  StartSysInfo(core_, path ? path : "");
}

}  // namespace sonavex
