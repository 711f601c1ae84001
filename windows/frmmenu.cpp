#include "windows/frmmenu.h"

#include <QCursor>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <vector>

#include "core/AddCommands.h"
#include "core/Command.h"
#include "core/OrderCommands.h"
#include "core/RemoveCommands.h"
#include "core/model/PanelShape.h"
#include "core/model/PlayerShape.h"
#include "ui/RegionMask.h"
#include "ui/ScreenFit.h"
#include "ui/SkinButton.h"
#include "ui/Twips.h"

namespace sonavex {

namespace {
constexpr int kButtonWidth = 33;
constexpr int kButtonHeight = 25;
constexpr int kGap = 4;
constexpr int kRowTop[] = {16, 41, 66};  // level with the add, remove and sort buttons
}  // namespace

frmmenu::frmmenu(Core& core, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint), core_(core) {
  setObjectName(QStringLiteral("frmmenu"));
  setWindowTitle(QStringLiteral("Playlist commands"));
  // The flyout must not take the keyboard from the playlist window it stands beside.
  setAttribute(Qt::WA_ShowWithoutActivating);
  setAccessibleName(QStringLiteral("Playlist commands"));
  setFixedSize(kScaleWidth, kRowTop[2] + kButtonHeight + kRowTop[0]);
  cmdfile = makeButton("cmdfile", QStringLiteral("&file"), 0, 0);
  cmddir = makeButton("cmddir", QStringLiteral("dir"), 0, 1);
  cmdurl = makeButton("cmdurl", QStringLiteral("&url"), 0, 2);
  cmdurl->setAccessibleName(QStringLiteral("add address"));
  cmdsel = makeButton("cmdsel", QStringLiteral("sel"), 1, 0);
  cmdall = makeButton("cmdall", QStringLiteral("all"), 1, 1);
  cmdname = makeButton("cmdname", QStringLiteral("name"), 2, 0);
  cmdrnd = makeButton("cmdrnd", QStringLiteral("rand"), 2, 1);
  connect(cmdfile, &QPushButton::clicked, this, &frmmenu::cmdfile_Click);
  connect(cmddir, &QPushButton::clicked, this, &frmmenu::cmddir_Click);
  connect(cmdurl, &QPushButton::clicked, this, &frmmenu::addressRequested);
  connect(cmdsel, &QPushButton::clicked, this, &frmmenu::cmdsel_Click);
  connect(cmdall, &QPushButton::clicked, this, &frmmenu::cmdall_Click);
  connect(cmdname, &QPushButton::clicked, this, &frmmenu::cmdname_Click);
  connect(cmdrnd, &QPushButton::clicked, this, &frmmenu::cmdrnd_Click);
}

SkinButton* frmmenu::makeButton(const char* name, const QString& caption, int row, int column) {
  auto* button = new SkinButton(caption, this);
  button->setObjectName(QLatin1String(name));
  button->setGeometry(kGap + column * (kButtonWidth + kGap), kRowTop[row], kButtonWidth,
                      kButtonHeight);
  return button;
}

void frmmenu::placeBeside(const QWidget& panel) {
  const Point place = menuDock(outerRect(panel), twipsPerPixel(panel));
  designedPlace_ = QPoint(place.x, place.y);
  buttonsLeft_ = panel.geometry().left() + kCommandButtonsLeft;
  // Hidden, it keeps the designed place; it is fitted onto the screen as it shows.
  move(isVisible() ? placeOnScreen() : designedPlace_);
}

QPoint frmmenu::placeOnScreen() const {
  QPoint place = sonavex::placeOnScreen(*this, designedPlace_, screen());
  if (const QScreen* on = screen()) {
    const QRect free = on->availableGeometry();
    const QRect strip = mask().boundingRect();
    place.setX(flyoutLeft(designedPlace_.x() + strip.left(), strip.width(), buttonsLeft_,
                          free.left(), free.right() + 1) - strip.left());
  }
  return place;
}

bool frmmenu::underPointer() const {
  return isVisible() && mask().contains(mapFromGlobal(QCursor::pos()));
}

bool frmmenu::hasKeyboard() const {
  return isActiveWindow() && focusWidget() && focusWidget()->isVisible();
}

void frmmenu::leaveEvent(QEvent* event) {
  emit pointerLeft();
  QWidget::leaveEvent(event);
}

void frmmenu::showFlyout(Flyout which) {
  shown_ = which;
  const int row = static_cast<int>(which);
  applyRegion(*this, flyoutRegion(which, kRowTop[row], kButtonHeight, width()));
  // Only the pair that shows can be reached with Tab or found by a screen reader.
  const std::vector<SkinButton*> rows[] = {
      {cmdfile, cmddir, cmdurl}, {cmdsel, cmdall}, {cmdname, cmdrnd}};
  for (int r = 0; r < 3; ++r) {
    for (SkinButton* button : rows[r]) button->setVisible(r == row);
  }
  move(placeOnScreen());
  show();
  raise();
}

void frmmenu::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    emit left(shown_);
    return;
  }
  QWidget::keyPressEvent(event);
}

void frmmenu::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  // Only the dark strip: a line down its left edge would show as a sliver cut by the rounded end.
  painter.fillRect(rect(), QColor(0x10, 0x18, 0x38));
}

void frmmenu::cmdfile_Click() { perform(core_, sonavex::cmdfile_Click); }
void frmmenu::cmddir_Click() { perform(core_, sonavex::cmddir_Click); }
void frmmenu::cmdsel_Click() { perform(core_, sonavex::cmdsel_Click); }
void frmmenu::cmdall_Click() { perform(core_, sonavex::cmdall_Click); }
void frmmenu::cmdname_Click() { perform(core_, sonavex::cmdname_Click); }
void frmmenu::cmdrnd_Click() { perform(core_, sonavex::cmdrnd_Click); }

}  // namespace sonavex
