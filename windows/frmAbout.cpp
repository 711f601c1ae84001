#include "windows/frmAbout.h"

#include <QApplication>
#include <QBoxLayout>
#include <QFrame>
#include <QGridLayout>
#include <QKeyEvent>
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
QFrame* line(QWidget* parent, const QColor& colour) {
  auto* l = new QFrame(parent);
  l->setObjectName(QStringLiteral("Line1"));
  l->setFixedHeight(1);
  l->setAutoFillBackground(true);
  QPalette p = l->palette();
  p.setColor(QPalette::Window, colour);
  l->setPalette(p);
  return l;
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

  auto* animation = new AboutAnimation(this);
  auto* lblTitle = new QLabel(QStringLiteral("SONAVEX 3"), this);
  lblTitle->setObjectName(QStringLiteral("lblTitle"));
  QFont title(QStringLiteral("Lucida Sans"));
  title.setPointSizeF(14);
  title.setBold(true);
  lblTitle->setFont(title);
  auto* lblVersion = new QLabel(QStringLiteral("Version ") + QLatin1String(sonavexVersion()), this);
  lblVersion->setObjectName(QStringLiteral("lblVersion"));
  auto* lblDisclaimer = new QLabel(
      QStringLiteral("A small player for your music. Provided as it is, without any warranty."),
      this);
  lblDisclaimer->setObjectName(QStringLiteral("lblDisclaimer"));
  lblDisclaimer->setWordWrap(true);
  lblDisclaimer->setMinimumWidth(pixelsOfTwips(*this, 3030));
  QFont small = lblDisclaimer->font();
  small.setPointSizeF(7);
  lblDisclaimer->setFont(small);

  auto* CMDOK = new SkinButton(QStringLiteral("OK"), this);
  CMDOK->setObjectName(QStringLiteral("CMDOK"));
  CMDOK->setFixedSize(pixelsOfTwips(*this, 1095), pixelsOfTwips(*this, 495));
  CMDOK->setDefault(true);
  auto* cmdSysInfo = new SkinButton(QStringLiteral("system info"), this);
  cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
  cmdSysInfo->setFixedSize(pixelsOfTwips(*this, 1335), pixelsOfTwips(*this, 375));
  connect(CMDOK, &QPushButton::clicked, this, &frmAbout::CMDOK_Click);
  connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);

  // The animation beside the name and version; below the etched line the notice, and the buttons
  // on the right, clear of the window's edges.
  auto* grid = new QGridLayout(this);
  grid->addWidget(animation, 0, 0, 2, 1, Qt::AlignTop);
  grid->addWidget(lblTitle, 0, 1, Qt::AlignBottom);
  grid->addWidget(lblVersion, 1, 1, Qt::AlignTop);
  auto* etched = new QVBoxLayout;
  etched->setSpacing(0);
  etched->addWidget(line(this, QColor(0x80, 0x80, 0x80)));
  etched->addWidget(line(this, Qt::white));
  grid->addLayout(etched, 2, 0, 1, 3);
  grid->addWidget(lblDisclaimer, 3, 0, 1, 2, Qt::AlignTop);
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(CMDOK, 0, Qt::AlignHCenter);
  buttons->addWidget(cmdSysInfo, 0, Qt::AlignHCenter);
  grid->addLayout(buttons, 3, 2);
  grid->setColumnStretch(1, 1);
  // As large as the fonts need, never smaller than designed; not resizable.
  grid->setSizeConstraint(QLayout::SetFixedSize);
  setMinimumSize(pixelsOfTwips(*this, 5730), pixelsOfTwips(*this, 3555));
  // Sized now, so that it can be placed before it shows.
  layout()->activate();
}

void frmAbout::CMDOK_Click() { close(); }

void frmAbout::keyPressEvent(QKeyEvent* event) {
  // Escape is OK's, with or without a window manager's close.
  if (event->key() == Qt::Key_Escape) {
    CMDOK_Click();
    return;
  }
  QWidget::keyPressEvent(event);
}

void frmAbout::cmdSysInfo_Click() {
  const char* path = std::getenv("PATH");
  StartSysInfo(core_, path ? path : "");
}

}  // namespace sonavex
