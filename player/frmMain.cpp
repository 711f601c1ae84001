#include "player/frmMain.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <cmath>

#include "app/Forms.h"
#include "app/WindowsKeyCodes.h"
#include "player/ClickArea.h"
#include "player/core/Clock.h"
#include "player/core/Marquee.h"
#include "player/core/Transport.h"
#include "playlist/DropTarget.h"
#include "playlist/core/ListActions.h"
#include "playlist/frmplaylist.h"

namespace sonavex {

namespace {
constexpr int kButtonTop = 104;
constexpr int kMarqueeInterval = 222;

QString text(const std::string& bytes) {
  // Invalid bytes become replacement characters, so nothing of a name silently disappears.
  return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

void setTextIfChanged(QLabel* label, const QString& value) {
  if (label->text() != value) label->setText(value);
}

QLabel* makeLabel(QWidget* parent, const char* name, QRect geometry, const QString& font, bool bold,
                  QColor colour) {
  auto* label = new QLabel(parent);
  label->setObjectName(QLatin1String(name));
  label->setGeometry(geometry);
  QFont f(font);
  f.setPointSizeF(8.25);
  f.setBold(bold);
  label->setFont(f);
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, colour);
  label->setPalette(palette);
  return label;
}
}  // namespace

frmMain::frmMain(Forms& forms) : forms_(forms) {
  setObjectName(QStringLiteral("frmMain"));
  setWindowTitle(QStringLiteral("Sonavex"));
  // No close button: the player's close request does nothing; Escape or the exit command end it.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowMinimizeButtonHint);
  setFixedSize(kClientWidth, kClientHeight);
  setFocusPolicy(Qt::StrongFocus);
  setAutoFillBackground(true);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, QColor(0x20, 0x20, 0x40));
  setPalette(palette);

  lbltmp1_ = makeLabel(this, "lbltmp1", QRect(0, 0, 33, 25), QString(), false, Qt::white);
  lbltmp_ = makeLabel(this, "lbltmp", QRect(0, 32, 33, 25), QString(), false, Qt::white);
  lbltmp1_->hide();
  lbltmp_->hide();
  lblsongname_ = makeLabel(this, "lblsongname", QRect(40, 72, 373, 15),
                           QStringLiteral("Book Antiqua"), false, QColor(0xC0, 0xFF, 0xFF));
  lblttime_ = makeLabel(this, "lblttime", QRect(88, 192, 41, 25), QStringLiteral("MS Sans Serif"),
                        true, QColor(0x80, 0xFF, 0xFF));
  lblctime_ = makeLabel(this, "lblctime", QRect(128, 192, 41, 25), QStringLiteral("MS Sans Serif"),
                        true, QColor(0x00, 0xFF, 0xFF));

  cmdplay_ = makeButton("cmdplay", "play", 40);
  cmdstop_ = makeButton("cmdstop", "stop", 73);
  cmdpause_ = makeButton("cmdpause", "pause", 106);
  cmdnext_ = makeButton("cmdnext", "next", 139);
  cmdprev_ = makeButton("cmdprev", "prev", 172);
  connect(cmdplay_, &QPushButton::clicked, this, &frmMain::cmdplay_Click);
  connect(cmdstop_, &QPushButton::clicked, this, &frmMain::cmdstop_Click);
  connect(cmdpause_, &QPushButton::clicked, this, &frmMain::cmdpause_Click);
  connect(cmdnext_, &QPushButton::clicked, this, &frmMain::cmdnext_Click);
  connect(cmdprev_, &QPushButton::clicked, this, &frmMain::cmdprev_Click);

  picprog_ = new ClickArea(QColor(0x10, 0x10, 0x30), this);
  picprog_->setObjectName(QStringLiteral("picprog"));
  picprog_->setAccessibleName(QStringLiteral("Seek bar"));
  picprog_->setGeometry(41, 144, 161, 41);
  imgprog_ = new ClickArea(QColor(0x80, 0x80, 0xFF), picprog_);
  imgprog_->setObjectName(QStringLiteral("imgprog"));
  imgprog_->setAccessibleName(QStringLiteral("Position"));
  imgprog_->setGeometry(0, 0, 157, 37);
  connect(picprog_, &ClickArea::released, this, [this](int x) {
    picprog_MouseUp(forms_.core(), x);
    render();
  });
  connect(imgprog_, &ClickArea::released, this, [this](int x) {
    imgprog_MouseUp(forms_.core(), x * kTwipsPerPixelOfImage);
    render();
  });

  Timer2_ = new QTimer(this);
  Timer2_->setObjectName(QStringLiteral("Timer2"));
  Timer2_->setInterval(kMarqueeInterval);
  connect(Timer2_, &QTimer::timeout, this, &frmMain::marqueeTick);

  // A drop on the player is a drop on the playlist.
  new DropTarget(this, [this](const std::vector<std::string>& paths) {
    forms_.playlist().filedragging(paths);
  });
}

QPushButton* frmMain::makeButton(const char* name, const char* caption, int left) {
  auto* button = new QPushButton(QLatin1String(caption), this);
  button->setObjectName(QLatin1String(name));
  button->setGeometry(left, kButtonTop, 33, 25);
  // Keys belong to the window, which turns them into seek keys.
  button->setFocusPolicy(Qt::NoFocus);
  // The captions must fit buttons 33 pixels wide.
  button->setStyleSheet(QStringLiteral("padding: 0px"));
  QFont font(QStringLiteral("Book Antiqua"));
  font.setPointSizeF(8.25);
  font.setBold(true);
  // Where the designed font is missing, a wider stand-in is shrunk until the caption fits.
  while (font.pointSizeF() > 5 &&
         QFontMetrics(font).horizontalAdvance(button->text()) > button->width() - 2)
    font.setPointSizeF(font.pointSizeF() - 0.25);
  button->setFont(font);
  return button;
}

void frmMain::render() {
  const PlayerFace& face = forms_.core().face;
  setTextIfChanged(lblsongname_, text(face.lblsongname));
  const QString tooltip = text(face.lblsongnameTooltip);
  if (lblsongname_->toolTip() != tooltip) lblsongname_->setToolTip(tooltip);
  setTextIfChanged(lblctime_, text(face.lblctime));
  setTextIfChanged(lblttime_, text(face.lblttime));
  setTextIfChanged(lbltmp_, text(face.lbltmp));
  setTextIfChanged(lbltmp1_, text(face.lbltmp1));

  const double width = std::isfinite(face.imgprogWidth) ? face.imgprogWidth : 0.0;
  const int fill = static_cast<int>(std::lround(std::clamp(width, 0.0, 10000.0)));
  if (imgprog_->width() != fill) imgprog_->resize(fill, imgprog_->height());
  picprog_->setVisible(face.progVisible);
  imgprog_->setVisible(face.progVisible);
  picprog_->setEnabled(face.progEnabled);
  imgprog_->setEnabled(face.progEnabled);

  if (Timer2_->isActive() != face.marqueeTimerOn) {
    if (face.marqueeTimerOn) {
      Timer2_->start();
    } else {
      Timer2_->stop();
    }
  }
  forms_.playlist().setClockRunning(face.clockTimerOn);
}

void frmMain::cmdplay_Click() {
  sonavex::cmdplay_Click(forms_.core());
  render();
}

void frmMain::cmdpause_Click() {
  sonavex::cmdpause_Click(forms_.core());
  render();
}

void frmMain::cmdstop_Click() {
  sonavex::cmdstop_Click(forms_.core());
  render();
}

void frmMain::currenttracknumber() { sonavex::currenttracknumber(forms_.core()); }

void frmMain::cmdnext_Click() {
  // A click that arrived during a long list operation is handled before the next track is chosen.
  QCoreApplication::processEvents();
  if (forms_.ending()) return;
  forms_.playlist().nextsong();
}

void frmMain::cmdprev_Click() {
  sonavex::cmdprev_Click(forms_.core());
  render();
}

void frmMain::marqueeTick() {
  sonavex::marqueeTick(forms_.core());
  render();
}

void frmMain::keyPressEvent(QKeyEvent* event) {
  keys_.pressed(event);
  QWidget::keyPressEvent(event);
}

void frmMain::keyReleaseEvent(QKeyEvent* event) {
  if (!keys_.released(event)) return;
  const int code = windowsKeyCode(event->key());
  if (code == kKeyEscape) {
    forms_.endProgram();
    return;
  }
  forms_.core().shared.lastkey = code;
  keyboardscroll(forms_.core());
  render();
}

void frmMain::mouseReleaseEvent(QMouseEvent* event) {
  // The right button's release over the body opens the main menu.
  if (event->button() == Qt::RightButton) {
    forms_.playlist().openMainMenu(event->globalPosition().toPoint());
    return;
  }
  QWidget::mouseReleaseEvent(event);
}

void frmMain::contextMenuEvent(QContextMenuEvent* event) {
  // The menu key or Shift+F10: the keyboard's way to the main menu (the mouse's is the release).
  if (event->reason() == QContextMenuEvent::Keyboard) {
    forms_.playlist().openMainMenu(mapToGlobal(rect().center()));
  }
  event->accept();
}

void frmMain::closeEvent(QCloseEvent* event) {
  // The player window is never closed by a close request; the program ends by its exit paths.
  if (!forms_.ending()) event->ignore();
}

}  // namespace sonavex
