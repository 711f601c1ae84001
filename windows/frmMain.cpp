#include "windows/frmMain.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <iterator>

#include "core/Clock.h"
#include "core/Command.h"
#include "core/FileDrop.h"
#include "core/LastPlaylist.h"
#include "core/ListActions.h"
#include "core/Marquee.h"
#include "core/Transport.h"
#include "core/VolumePopup.h"
#include "ui/DropTarget.h"
#include "ui/FocusChain.h"
#include "ui/Fonts.h"
#include "ui/ReaderNotice.h"
#include "ui/RegionMask.h"
#include "ui/Skin.h"
#include "ui/SkinButton.h"
#include "ui/SkinImage.h"
#include "ui/StartupProbe.h"
#include "ui/Twips.h"
#include "ui/WindowDrag.h"
#include "ui/WindowsKeyCodes.h"

namespace sonavex {

namespace {
constexpr int kButtonTop = 104;
constexpr int kMarqueeInterval = 222;
constexpr int kIrisInterval = 1;

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
  QFont f = designFont(font);
  f.setPointSizeF(8.25);
  f.setBold(bold);
  label->setFont(f);
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, colour);
  label->setPalette(palette);
  return label;
}
}  // namespace

QRect frmMain::clientRect(int left, int top, int width, int height) {
  return QRect(kPlayerFrameLeft + left, kPlayerFrameTop + top, width, height);
}

frmMain::frmMain(Core& core) : core_(core) {
  setObjectName(QStringLiteral("frmMain"));
  setWindowTitle(QStringLiteral("Sonavex"));
  setAccessibleName(QStringLiteral("Sonavex"));
  // Frameless (a customised hint set would bring the window manager's frame back on X11). A close
  // request from the window manager does nothing; the close image, Escape or the exit command
  // end the program.
  setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowMinimizeButtonHint);
  setFixedSize(kPlayerOuterWidth, kPlayerOuterHeight);
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);

  const double tpp = twipsPerPixel(*this);
  widthpixels_ = pixelsAtLoad(width() * tpp, tpp);
  heightpixels_ = pixelsAtLoad(height() * tpp, tpp);
  iris_ = irisAtLoad(widthpixels_, heightpixels_);
  changeshape();

  lbltmp1_ = makeLabel(this, "lbltmp1", clientRect(0, 0, 33, 25), QString(), false, Qt::white);
  lbltmp_ = makeLabel(this, "lbltmp", clientRect(0, 32, 33, 25), QString(), false, Qt::white);
  lbltmp1_->hide();
  lbltmp_->hide();

  imgclose1_ = makeImage("imgclose1", "close-normal", clientRect(104, 28, 21, 23), tr("Close"));
  imgclose2_ = makeImage("imgclose2", "close-hover", clientRect(104, 28, 21, 23), tr("Close"));
  imgmin1_ = makeImage("imgmin1", "minimise-normal", clientRect(125, 28, 29, 23), tr("Minimise"));
  imgmin2_ = makeImage("imgmin2", "minimise-hover", clientRect(125, 28, 29, 23), tr("Minimise"));
  imgclose2_->hide();
  imgmin2_->hide();
  // The keyboard and screen readers press the image that shows; the mouse only the lit one.
  for (SkinImage* close : {imgclose1_, imgclose2_})
    connect(close, &SkinImage::activated, this, [this] { perform(core_, mnuexit_Click); });
  for (SkinImage* min : {imgmin1_, imgmin2_})
    connect(min, &SkinImage::activated, this, &frmMain::imgmin2_Click);
  connect(imgclose1_, &SkinImage::moved, this, [this] {
    imgclose2_->show();
    imgclose1_->hide();
  });
  connect(imgmin1_, &SkinImage::moved, this, [this] {
    imgmin1_->hide();
    imgmin2_->show();
  });
  connect(imgclose2_, &SkinImage::clicked, this, [this] { perform(core_, mnuexit_Click); });
  connect(imgmin2_, &SkinImage::clicked, this, &frmMain::imgmin2_Click);

  lblsongname_ = makeLabel(this, "lblsongname", clientRect(40, 72, 373, 15),
                           QStringLiteral("Book Antiqua"), false, QColor(0xC0, 0xFF, 0xFF));
  auto* Image1 = new SkinImage(QStringLiteral("player-decoration"), this);
  Image1->setObjectName(QStringLiteral("Image1"));
  Image1->setAccessibleName(tr("Transport"));
  Image1->setGeometry(clientRect(34, 96, 177, 45));  // designed at x 33.5, rounded half to even
  Image1->setAttribute(Qt::WA_TransparentForMouseEvents);
  lblttime_ = makeLabel(this, "lblttime", clientRect(88, 192, 41, 25), QStringLiteral("MS Sans Serif"),
                        true, QColor(0x80, 0xFF, 0xFF));
  lblctime_ = makeLabel(this, "lblctime", clientRect(128, 192, 41, 25), QStringLiteral("MS Sans Serif"),
                        true, QColor(0x00, 0xFF, 0xFF));
  // Each is read out by what it shows; the description says what that is.
  lblttime_->setAccessibleDescription(tr("Total time"));
  lblctime_->setAccessibleDescription(tr("Elapsed time"));
  lblsongname_->setAccessibleDescription(tr("Title"));
  // A new title is told: readers do not speak the name of a label that changes.
  notice_ = new ReaderNotice(this);

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

  picprog_ = new SkinImage(QStringLiteral("seekbar"), this);
  picprog_->setObjectName(QStringLiteral("picprog"));
  picprog_->setAccessibleName(tr("Seek bar"));
  picprog_->setAccessibleRole(QAccessible::Slider);
  picprog_->setGeometry(clientRect(41, 144, 161, 41));
  applyRegion(*picprog_, seekBarLens());
  // Its fill covers it whole: the window draws its focus mark around it.
  picprog_->installEventFilter(this);
  imgprog_ = new SkinImage(QStringLiteral("seekbar-fill"), picprog_, QSize(157, 37));
  imgprog_->setObjectName(QStringLiteral("imgprog"));
  imgprog_->setAccessibleName(tr("Position"));
  imgprog_->setGeometry(0, 0, 157, 37);
  connect(picprog_, &SkinImage::released, this, [this](Qt::MouseButton, QPoint at) {
    perform(core_, picprog_MouseUp, at.x());
  });
  connect(imgprog_, &SkinImage::released, this, [this](Qt::MouseButton, QPoint at) {
    perform(core_, imgprog_MouseUp, at.x() * kTwipsPerPixelOfImage);
  });

  // Tab goes along the buttons as they stand, then to the seek bar and the two images.
  QWidget* order[] = {cmdplay_, cmdstop_, cmdpause_, cmdnext_, cmdprev_, picprog_,
                      imgmin1_, imgmin2_, imgclose1_, imgclose2_};
  for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);

  Timer1_ = new QTimer(this);
  Timer1_->setObjectName(QStringLiteral("Timer1"));
  Timer1_->setTimerType(Qt::PreciseTimer);
  Timer1_->setInterval(kIrisInterval);
  connect(Timer1_, &QTimer::timeout, this, &frmMain::Timer1_Timer);
  Timer1_->start();

  Timer2_ = new QTimer(this);
  Timer2_->setObjectName(QStringLiteral("Timer2"));
  Timer2_->setInterval(kMarqueeInterval);
  connect(Timer2_, &QTimer::timeout, this, [this] { perform(core_, marqueeTick); });

  drag_ = new WindowDrag(*this);
  connect(drag_, &WindowDrag::ended, this, &frmMain::moved);

  // A drop on the player is a drop on the playlist.
  new DropTarget(this, [this](std::string uris) { perform(core_, dropUriList, std::move(uris)); });
}

SkinButton* frmMain::makeButton(const char* name, const char* caption, int left) {
  auto* button = new SkinButton(QLatin1String(caption), this);
  button->setObjectName(QLatin1String(name));
  button->setGeometry(clientRect(left, kButtonTop, 33, 25));
  return button;
}

SkinImage* frmMain::makeImage(const char* name, const char* asset, QRect place,
                              const QString& accessibleName) {
  auto* image = new SkinImage(QLatin1String(asset), this);
  image->setObjectName(QLatin1String(name));
  image->setGeometry(place);
  image->setAccessibleName(accessibleName);
  image->setAccessibleRole(QAccessible::Button);
  return image;
}

void frmMain::changeshape() { applyRegion(*this, irisRegion(iris_)); }

void frmMain::Timer1_Timer() {
  probeMoment(ProbeMoment::IrisStep);
  if (irisTick(iris_, widthpixels_, heightpixels_)) {
    changeshape();
    return;
  }
  raise();
  Timer1_->stop();
  probeMoment(ProbeMoment::IrisOpen);
}

void frmMain::Form_Resize() { emit shownNormal(); }

void frmMain::imgmin2_Click() {
  showMinimized();
  // Without a window manager the state may not change; the companions go away all the same.
  goneMinimised();
}

void frmMain::goneMinimised() {
  if (minimised_) return;
  minimised_ = true;
  emit minimised();
}

void frmMain::changeEvent(QEvent* event) {
  // The window system may echo a state change back on its way; only the state it settles in counts.
  if (event->type() == QEvent::WindowStateChange) {
    QMetaObject::invokeMethod(this, &frmMain::followWindowState, Qt::QueuedConnection);
  }
  QWidget::changeEvent(event);
}

void frmMain::followWindowState() {
  if (isMinimized()) {
    goneMinimised();
  } else if (minimised_ && !isMaximized()) {
    minimised_ = false;
    Form_Resize();
  }
}

void frmMain::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  drawSkin(painter, rect(), QStringLiteral("player-body"));
  if (picprog_->hasFocus()) drawFocusMark(painter, seekBarFocusArea());
}

QRectF frmMain::seekBarFocusArea() const {
  return QRectF(picprog_->geometry()).adjusted(-2.5, -2.5, 1.5, 1.5);
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
  if (watched == picprog_ && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut))
    update(seekBarFocusArea().toAlignedRect().adjusted(-1, -1, 1, 1));
  return QWidget::eventFilter(watched, event);
}

void frmMain::render() {
  const PlayerFace& face = core_.face;
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
  // Set only on a change: these run on every marquee step, and Qt re-walks the children otherwise.
  for (QWidget* bar : {static_cast<QWidget*>(picprog_), static_cast<QWidget*>(imgprog_)}) {
    if (bar->isVisibleTo(this) != face.progVisible) bar->setVisible(face.progVisible);
    if (bar->isEnabledTo(this) != face.progEnabled) bar->setEnabled(face.progEnabled);
  }

  if (Timer2_->isActive() != face.marqueeTimerOn) {
    if (face.marqueeTimerOn) {
      Timer2_->start();
    } else {
      Timer2_->stop();
    }
  }
  renderForReaders();
}

void frmMain::renderForReaders() {
  const auto readAs = [](QLabel* label, const QString& designation) {
    const QString name = label->text().trimmed().isEmpty() ? designation : label->text();
    if (label->accessibleName() != name) label->setAccessibleName(name);
  };
  readAs(lblctime_, tr("Elapsed time"));
  readAs(lblttime_, tr("Total time"));
  // The whole title while a part of it scrolls by, else what the label shows (a message, nothing).
  const QString shown = lblsongname_->text().trimmed();
  const QString whole = text(core_.shared.marqueetext).trimmed();
  const QString title = shown.isEmpty() ? tr("Title")
                        : (whole + "    " + whole).contains(shown) ? whole : shown;
  if (title != lblsongname_->accessibleName()) {
    lblsongname_->setAccessibleName(title);
    if (!shown.isEmpty()) notice_->tell(title);
  }
  // The position in seconds, asked of the engine only when the shown time changed.
  if (core_.face.lblctime == readElapsed_ && core_.face.lblttime == readTotal_) return;
  readElapsed_ = core_.face.lblctime;
  readTotal_ = core_.face.lblttime;
  const double position = core_.mp1.position();
  const double duration = core_.mp1.duration();
  const double total = std::isfinite(duration) && duration > 0 ? duration : 0.0;
  const double at = std::isfinite(position) ? std::clamp(position, 0.0, total) : 0.0;
  // As a clock reads (the labels show decimal minutes, which a reader would say as a number). The
  // description carries them too: the accessibility bridge passes no value text on to readers.
  const QString times = readElapsed_.empty() ? QString()
                                             : tr("%1 of %2").arg(text(minutesAndSeconds(at)),
                                                                   text(minutesAndSeconds(total)));
  picprog_->setAccessibleValue(std::floor(at), std::floor(total), times);
  picprog_->setAccessibleDescription(times);
}

void frmMain::cmdplay_Click() { perform(core_, sonavex::cmdplay_Click); }
void frmMain::cmdpause_Click() { perform(core_, sonavex::cmdpause_Click); }
void frmMain::cmdstop_Click() { perform(core_, sonavex::cmdstop_Click); }
void frmMain::cmdnext_Click() { perform(core_, sonavex::cmdnext_Click); }
void frmMain::cmdprev_Click() { perform(core_, sonavex::cmdprev_Click); }

void frmMain::keyPressEvent(QKeyEvent* event) {
  keys_.pressed(event);
  if (isShiftF10(event)) {
    emit mainMenuRequested(mapToGlobal(rect().center()));
    return;
  }
  if (const int steps = volumeSteps(event, false)) {
    perform(core_, volumeKey, static_cast<double>(kVolumeClientWidth), steps);
    return;
  }
  QWidget::keyPressEvent(event);
}

bool frmMain::focusNextPrevChild(bool next) {
  if (!tabLeavesWindow(*this, next)) return QWidget::focusNextPrevChild(next);
  emit tabbedOut(next);
  return true;
}

void frmMain::keyReleaseEvent(QKeyEvent* event) {
  if (!keys_.released(event)) return;
  perform(core_, frmMain_KeyUp, windowsKeyCode(event->key()));
}

void frmMain::mousePressEvent(QMouseEvent* event) {
  // The left button drags the window; companions dock when the drag ends. Any other button docks
  // them at once.
  if (event->button() == Qt::LeftButton) {
    drag_->begin(event->globalPosition().toPoint());
  } else {
    emit moved();
  }
  event->accept();
}

void frmMain::mouseMoveEvent(QMouseEvent* event) {
  // Back on the body: both images show their normal look.
  imgclose1_->show();
  imgclose2_->hide();
  imgmin2_->hide();
  imgmin1_->show();
  QWidget::mouseMoveEvent(event);
}

void frmMain::mouseReleaseEvent(QMouseEvent* event) {
  // The right button's release over the body opens the main menu.
  if (event->button() == Qt::RightButton) {
    emit mainMenuRequested(event->globalPosition().toPoint());
    return;
  }
  QWidget::mouseReleaseEvent(event);
}

void frmMain::contextMenuEvent(QContextMenuEvent* event) {
  // The menu key or Shift+F10: the keyboard's way to the main menu (the mouse's is the release).
  if (event->reason() == QContextMenuEvent::Keyboard) {
    emit mainMenuRequested(mapToGlobal(rect().center()));
  }
  event->accept();
}

void frmMain::closeEvent(QCloseEvent* event) {
  // The player window is never closed by a close request; the program ends by its exit paths.
  if (!core_.ending) event->ignore();
}

}  // namespace sonavex
