#include "windows/frmplaylist.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QCursor>
#include <QMoveEvent>
#include <QPainter>
#include <QTimer>
#include <iterator>

#include "core/Clock.h"
#include "core/Command.h"
#include "core/FileDrop.h"
#include "core/LastPlaylist.h"
#include "core/ListActions.h"
#include "core/PlaylistFile.h"
#include "core/Shuffle.h"
#include "core/UndoableEdits.h"
#include "core/model/ToggleButton.h"
#include "ui/DropTarget.h"
#include "ui/FocusChain.h"
#include "ui/Fonts.h"
#include "ui/RegionMask.h"
#include "ui/Skin.h"
#include "ui/SkinButton.h"
#include "ui/SkinCheckBox.h"
#include "ui/SkinImage.h"
#include "ui/StartupProbe.h"
#include "ui/WindowDrag.h"
#include "ui/WindowsKeyCodes.h"
#include "windows/PlaylistListModel.h"
#include "windows/PlaylistView.h"
#include "windows/PopupMenus.h"
#include "windows/frmTag.h"

namespace sonavex {

namespace {
constexpr int kClockInterval = 1000;
constexpr int kHideInterval = 1;
constexpr int kSideLeft = 252;  // the strip behind the command buttons
// Left of this the pointer is over the list side of the panel, away from the command buttons.
constexpr int kFlyoutHideX = 289;

QLabel* makeCaption(QWidget* parent, const char* name, const char* caption, int left) {
  auto* label = new QLabel(QLatin1String(caption), parent);
  label->setObjectName(QLatin1String(name));
  QFont font = designFont(QStringLiteral("Book Antiqua"));
  font.setPointSizeF(8.25);
  label->setFont(font);
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, QColor(0xC0, 0xFF, 0xFF));
  label->setPalette(palette);
  label->setGeometry(left, 0, 60, 13);
  // The caption is part of the background: presses on it drag the panel.
  label->setAttribute(Qt::WA_TransparentForMouseEvents);
  return label;
}

SkinCheckBox* makeCheckBox(QWidget* parent, const char* name, const char* accessibleName, int left) {
  auto* box = new SkinCheckBox(parent);
  box->setObjectName(QLatin1String(name));
  box->setAccessibleName(QLatin1String(accessibleName));
  box->setGeometry(left, 0, 12, 13);
  return box;
}
}  // namespace

frmplaylist::frmplaylist(Core& core) : core_(core) {
  setObjectName(QStringLiteral("frmplaylist"));
  setWindowTitle(QStringLiteral("Playlist"));
  setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
  resize(kClientWidth, kClientHeight);
  setMouseTracking(true);
  applyRegion(*this, changeshape1(width(), height()));

  Image1_ = new SkinImage(QStringLiteral("playlist-background"), this, QSize(243, 177));
  Image1_->setObjectName(QStringLiteral("Image1"));
  Image1_->setAccessibleName(tr("Playlist panel"));
  Image1_->setGeometry(0, 0, 243, kClientHeight - 1);
  connect(Image1_, &SkinImage::pressed, this,
          [this](Qt::MouseButton button, QPoint, QPoint global) { backgroundPressed(button, global); });
  connect(Image1_, &SkinImage::moved, this, [this](QPoint at) { backgroundMoved(at.x()); });

  model_ = new PlaylistListModel(core_.list, this);
  cpvcoollist2_ = new PlaylistView(this);
  cpvcoollist2_->setObjectName(QStringLiteral("cpvcoollist2"));
  cpvcoollist2_->setAccessibleName(tr("Playlist"));
  cpvcoollist2_->setGeometry(16, 16, 209, kClientHeight - 27);
  QFont listFont(QStringLiteral("Arial"));
  listFont.setPointSizeF(8.25);
  cpvcoollist2_->setFont(listFont);
  QPalette palette = cpvcoollist2_->palette();
  palette.setColor(QPalette::Base, Qt::black);
  palette.setColor(QPalette::Text, QColor(128, 255, 255));
  // Selected rows in a deep periwinkle: the text reads on it and the focus mark's dots stand out.
  palette.setColor(QPalette::Highlight, QColor(0x34, 0x34, 0x9C));
  palette.setColor(QPalette::HighlightedText, Qt::white);
  cpvcoollist2_->setPalette(palette);
  model_->attachView(cpvcoollist2_);
  cpvcoollist2_->installEventFilter(this);
  cpvcoollist2_->viewport()->installEventFilter(this);
  connect(cpvcoollist2_, &PlaylistView::menuKeyPressed, this, [this] {
    // The song menu for the focused row, as a right click on it would open it.
    const QModelIndex focused = cpvcoollist2_->currentIndex();
    if (!focused.isValid()) return;
    const QRect row = cpvcoollist2_->visualRect(focused);
    openSongMenu(row.center().y(), cpvcoollist2_->viewport()->mapToGlobal(row.center()));
  });

  // Until the list holds an entry, it says how to fill it.
  emptyHint_ = new QLabel(tr("Drop files or folders here, or use add"), this);
  emptyHint_->setObjectName(QStringLiteral("lblempty"));
  emptyHint_->setFont(listFont);
  emptyHint_->setPalette(palette);
  emptyHint_->setForegroundRole(QPalette::Text);
  emptyHint_->setAlignment(Qt::AlignCenter);
  emptyHint_->setGeometry(cpvcoollist2_->x(), cpvcoollist2_->y() + 2 * PlaylistListModel::kRowHeight,
                          cpvcoollist2_->width(), 2 * PlaylistListModel::kRowHeight);
  // Presses and drops go through it to the list.
  emptyHint_->setAttribute(Qt::WA_TransparentForMouseEvents);
  connect(cpvcoollist2_, &QAbstractItemView::doubleClicked, this, [this] {
    Image2_->show();
    Image3_->hide();
    perform(core_, cpvcoollist2_DblClick);
  });
  connect(cpvcoollist2_, &QAbstractItemView::clicked, this, [this] {
    const std::string tip = selectionTooltip(core_.list);
    cpvcoollist2_->setToolTip(QString::fromUtf8(tip.data(), static_cast<qsizetype>(tip.size())));
  });

  chkshuffle_ = makeCheckBox(this, "chkshuffle", "Shuffle", 16);
  lblshuffle_ = makeCaption(this, "lblshuffle", "Shuffle", 33);
  chkloop_ = makeCheckBox(this, "chkloop", "Loop", 120);
  lblloop_ = makeCaption(this, "lblloop", "Loop", 136);
  connect(chkloop_, &QCheckBox::clicked, this, [this](bool on) {
    perform(core_, [on](Core& core) { core.chkloop = on ? 1 : 0; });
  });
  connect(chkshuffle_, &QCheckBox::clicked, this, [this](bool on) {
    perform(core_, [on](Core& core) {
      core.chkshuffle = on ? 1 : 0;
      chkshuffle_Click(core);
    });
  });

  cmdadd_ = makeButton("cmdadd", "add", 16);
  cmdrem_ = makeButton("cmdrem", "rem", 41);
  cmdsort_ = makeButton("cmdsort", "sort", 66);
  cmdload_ = makeButton("cmdload", "load", 91);
  cmdsave_ = makeButton("cmdsave", "save", 116);
  connect(cmdload_, &QPushButton::clicked, this, [this] { perform(core_, cmdload_Click); });
  connect(cmdsave_, &QPushButton::clicked, this, [this] { perform(core_, cmdsave_Click); });
  const std::pair<SkinButton*, Flyout> flyouts[] = {
      {cmdadd_, Flyout::Add}, {cmdrem_, Flyout::Remove}, {cmdsort_, Flyout::Sort}};
  for (const auto& [button, which] : flyouts) {
    connect(button, &SkinButton::hovered, this, [this, which] { emit flyoutRequested(which); });
    connect(button, &SkinButton::unhovered, this, [this, which] { emit flyoutButtonLeft(which); });
    // Pressed from the keyboard, the focus goes on into the commands that fly out.
    connect(button, &QPushButton::clicked, this, [this, button = button, which = which] {
      emit flyoutRequested(which);
      if (button->hasFocus()) emit flyoutEntered(which);
    });
  }

  Image2_ = new SkinImage(QStringLiteral("hide-normal"), this);
  Image3_ = new SkinImage(QStringLiteral("hide-hover"), this);
  for (SkinImage* image : {Image2_, Image3_}) {
    image->setGeometry(200, 0, 32, 13);
    image->setAccessibleName(tr("Hide playlist"));
    image->setAccessibleRole(QAccessible::Button);
  }
  Image2_->setObjectName(QStringLiteral("Image2"));
  Image3_->setObjectName(QStringLiteral("Image3"));
  Image3_->hide();
  connect(Image2_, &SkinImage::moved, this, [this] {
    Image3_->show();
    Image2_->hide();
  });
  connect(Image3_, &SkinImage::clicked, this, &frmplaylist::Image3_Click);
  for (SkinImage* image : {Image2_, Image3_})
    connect(image, &SkinImage::activated, this, &frmplaylist::Image3_Click);

  auto* Image4 = new SkinImage(QStringLiteral("about-icon"), this);
  Image4->setObjectName(QStringLiteral("Image4"));
  Image4->setAccessibleName(tr("About Sonavex"));
  Image4->setAccessibleRole(QAccessible::Button);
  Image4->setToolTip(tr("About Sonavex"));
  Image4->setGeometry(260, 147, 25, 25);
  connect(Image4, &SkinImage::clicked, this, &frmplaylist::aboutRequested);
  connect(Image4, &SkinImage::activated, this, &frmplaylist::aboutRequested);
  // Tab reads the panel from the top: the play modes and the hide image, the list, then the
  // command buttons down the side and the About icon.
  QWidget* order[] = {chkshuffle_, chkloop_, Image2_, Image3_, cpvcoollist2_, cmdadd_, cmdrem_,
                      cmdsort_,    cmdload_, cmdsave_, Image4};
  for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
  menus_ = new PopupMenus(core_, this);
  connect(menus_, &PopupMenus::searchRequested, this, &frmplaylist::searchRequested);
  connect(menus_, &PopupMenus::addressRequested, this, &frmplaylist::addressRequested);
  connect(menus_, &PopupMenus::aboutRequested, this, &frmplaylist::aboutRequested);
  connect(menus_, &PopupMenus::equalizerRequested, this, &frmplaylist::equalizerRequested);

  Timer1_ = new QTimer(this);
  Timer1_->setObjectName(QStringLiteral("Timer1"));
  Timer1_->setTimerType(Qt::PreciseTimer);
  Timer1_->setInterval(kHideInterval);
  connect(Timer1_, &QTimer::timeout, this, &frmplaylist::Timer1_Timer);
  drag_ = new WindowDrag(*this);

  auto drop = [this](std::string uris) { perform(core_, dropUriList, std::move(uris)); };
  new DropTarget(this, drop);
  new DropTarget(cpvcoollist2_->viewport(), drop);

  Timer2_ = new QTimer(this);
  Timer2_->setObjectName(QStringLiteral("Timer2"));
  Timer2_->setInterval(kClockInterval);
  connect(Timer2_, &QTimer::timeout, this, [this] { perform(core_, clockTick); });

  perform(core_, frmplaylist_Load);
  render();
}

SkinButton* frmplaylist::makeButton(const char* name, const char* caption, int top) {
  auto* button = new SkinButton(QLatin1String(caption), this);
  button->setObjectName(QLatin1String(name));
  button->setGeometry(kCommandButtonsLeft, top, 33, 25);
  return button;
}

void frmplaylist::render() {
  const bool empty = core_.list.count() == 0;
  if (emptyHint_->isHidden() == empty) emptyHint_->setVisible(empty);
  chkloop_->setChecked(core_.chkloop == 1);
  chkshuffle_->setChecked(core_.chkshuffle == 1);
  menus_->render();
  if (Timer2_->isActive() != core_.face.clockTimerOn) {
    if (core_.face.clockTimerOn) {
      Timer2_->start();
    } else {
      Timer2_->stop();
    }
  }
}

void frmplaylist::openSongMenu(double y, const QPoint& at) {
  const Index row = rowUnderPointer(y, core_.list.topIndex(), core_.list.count());
  if (row == kNone) return;  // a right click outside the rows does nothing
  perform(core_, [row](Core& core) { core.list.markEntry(row); });
  menus_->openSongMenu(at);
}

void frmplaylist::openMainMenu(const QPoint& at) { menus_->openMainMenu(at); }

void frmplaylist::backgroundPressed(Qt::MouseButton button, const QPoint& globalPos) {
  if (button == Qt::LeftButton) drag_->begin(globalPos);
  emit moved();
}

void frmplaylist::backgroundMoved(int x) {
  if (x < kFlyoutHideX) emit flyoutDismissed();
  Image2_->show();
  Image3_->hide();
}

void frmplaylist::mousePressEvent(QMouseEvent* event) {
  backgroundPressed(event->button(), event->globalPosition().toPoint());
  event->accept();
}

void frmplaylist::mouseMoveEvent(QMouseEvent* event) {
  backgroundMoved(static_cast<int>(event->position().x()));
  QWidget::mouseMoveEvent(event);
}

void frmplaylist::resizeEvent(QResizeEvent* event) {
  cpvcoollist2_->resize(cpvcoollist2_->width(), height() - 27);
  Image1_->resize(Image1_->width(), height() - 1);
  // The first sizing at show keeps the shape the window was given; a real resize reshapes it.
  if (event->oldSize().isValid() && event->oldSize() != event->size()) {
    applyRegion(*this, resizeRegion(kPanelScaleWidth, height()));
  }
  QWidget::resizeEvent(event);
}

void frmplaylist::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), QColor(0x08, 0x0C, 0x1C));
  drawSkin(painter, QRect(kSideLeft, 0, 45, 178), QStringLiteral("playlist-side"));
}

void frmplaylist::Image3_Click() {
  probeMoment(ProbeMoment::HideStart);
  QCursor::setPos(QCursor::pos() - QPoint(0, kHidePointerRaise));
  hide_.start();
  Timer1_->start();
  emit putAway();
}

void frmplaylist::Timer1_Timer() {
  applyRegion(*this, hide_.tick(kPanelScaleWidth));
  if (hide_.running()) return;
  Timer1_->stop();
  probeMoment(ProbeMoment::HideEnd);
}

void frmplaylist::prepareSlideIn() {
  hide();
  Timer1_->stop();
  hide_ = HideAnimation();
  applyRegion(*this, dockedPlaylistRegion(width(), height()));
}

void frmplaylist::moveEvent(QMoveEvent* event) {
  // A flyout left behind would float apart from the buttons it belongs to.
  emit moved();
  QWidget::moveEvent(event);
}

void frmplaylist::handleKeyRelease(QKeyEvent* event, bool fromList) {
  if (!keys_.released(event)) return;
  perform(core_, frmplaylist_KeyUp, windowsKeyCode(event->key()), fromList);
}

void frmplaylist::keyReleaseEvent(QKeyEvent* event) { handleKeyRelease(event, false); }

bool frmplaylist::isFileInfoKey(const QKeyEvent* event) {
  return event->key() == Qt::Key_I && event->modifiers() == Qt::ControlModifier;
}

bool frmplaylist::undoKey(const QKeyEvent* event) {
  const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
  const bool ctrl = modifiers == Qt::ControlModifier;
  const bool ctrlShift = modifiers == (Qt::ControlModifier | Qt::ShiftModifier);
  if (event->key() == Qt::Key_Z && ctrl) {
    perform(core_, undo);
  } else if ((event->key() == Qt::Key_Z && ctrlShift) || (event->key() == Qt::Key_Y && ctrl)) {
    perform(core_, redo);
  } else {
    return false;
  }
  return true;
}

void frmplaylist::keyPressEvent(QKeyEvent* event) {
  if (undoKey(event)) return;
  keys_.pressed(event);
  if (isFileInfoKey(event)) {
    perform(core_, showFileInfoDialog, this);
    return;
  }
  QWidget::keyPressEvent(event);
}

bool frmplaylist::eventFilter(QObject* watched, QEvent* event) {
  if (watched == cpvcoollist2_ && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (undoKey(key)) return true;
    keys_.pressed(key);
    if (isFileInfoKey(key)) {
      perform(core_, showFileInfoDialog, this);
      return true;
    }
  }
  if (watched == cpvcoollist2_->viewport() && event->type() == QEvent::MouseButtonRelease) {
    const auto* mouse = static_cast<QMouseEvent*>(event);
    // Only the right button alone opens the song menu, over a real row.
    if (mouse->button() == Qt::RightButton && mouse->buttons() == Qt::NoButton) {
      openSongMenu(mouse->position().y(), mouse->globalPosition().toPoint());
      return true;
    }
  }
  if (watched == cpvcoollist2_ && event->type() == QEvent::KeyRelease) {
    handleKeyRelease(static_cast<QKeyEvent*>(event), true);
    return true;  // handled once here; it must not reach the window a second time
  }
  return QWidget::eventFilter(watched, event);
}

bool frmplaylist::focusNextPrevChild(bool next) {
  if (!tabLeavesWindow(*this, next)) return QWidget::focusNextPrevChild(next);
  emit tabbedOut(next);
  return true;
}

void frmplaylist::focusFlyoutButton(Flyout which) {
  SkinButton* buttons[] = {cmdadd_, cmdrem_, cmdsort_};
  activateWindow();
  buttons[static_cast<int>(which)]->setFocus(Qt::OtherFocusReason);
}

bool frmplaylist::pointerOnFlyoutButton(Flyout which) const {
  const SkinButton* buttons[] = {cmdadd_, cmdrem_, cmdsort_};
  const SkinButton* button = buttons[static_cast<int>(which)];
  return button->rect().contains(button->mapFromGlobal(QCursor::pos()));
}

void frmplaylist::closeEvent(QCloseEvent* event) {
  event->accept();
  perform(core_, mnuexit_Click);
}

}  // namespace sonavex
