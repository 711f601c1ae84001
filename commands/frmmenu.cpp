#include "commands/frmmenu.h"

#include <QRegion>

#include "app/Twips.h"
#include "commands/core/AddCommands.h"
#include "commands/core/OrderCommands.h"
#include "commands/core/RemoveCommands.h"

namespace sonavex {

namespace {
constexpr int kButtonWidth = 33;
constexpr int kButtonHeight = 25;
constexpr int kGap = 4;
constexpr int kRowTop[] = {16, 41, 66};  // level with the add, remove and sort buttons
// The remove and sort strips start one and two pixels higher, as the shapes were designed.
constexpr int kStripRaise[] = {0, 1, 2};
constexpr double kOffsetTwips = 22;  // gap between the playlist window and the flyout
}  // namespace

frmmenu::frmmenu(Core& core, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint), core_(core) {
  setObjectName(QStringLiteral("frmmenu"));
  setWindowTitle(QStringLiteral("frmmenu"));
  // The flyout must not take the keyboard from the playlist window it stands beside.
  setAttribute(Qt::WA_ShowWithoutActivating);
  setFixedSize(2 * kButtonWidth + 3 * kGap, kRowTop[2] + kButtonHeight + kRowTop[0]);
  cmdfile = makeButton("cmdfile", QStringLiteral("&file"), 0, 0);
  cmddir = makeButton("cmddir", QStringLiteral("dir"), 0, 1);
  cmdsel = makeButton("cmdsel", QStringLiteral("sel"), 1, 0);
  cmdall = makeButton("cmdall", QStringLiteral("all"), 1, 1);
  cmdname = makeButton("cmdname", QStringLiteral("name"), 2, 0);
  cmdrnd = makeButton("cmdrnd", QStringLiteral("rand"), 2, 1);
  connect(cmdfile, &QPushButton::clicked, this, &frmmenu::cmdfile_Click);
  connect(cmddir, &QPushButton::clicked, this, &frmmenu::cmddir_Click);
  connect(cmdsel, &QPushButton::clicked, this, &frmmenu::cmdsel_Click);
  connect(cmdall, &QPushButton::clicked, this, &frmmenu::cmdall_Click);
  connect(cmdname, &QPushButton::clicked, this, &frmmenu::cmdname_Click);
  connect(cmdrnd, &QPushButton::clicked, this, &frmmenu::cmdrnd_Click);
}

QPushButton* frmmenu::makeButton(const char* name, const QString& caption, int row, int column) {
  auto* button = new QPushButton(caption, this);
  button->setObjectName(QLatin1String(name));
  button->setGeometry(kGap + column * (kButtonWidth + kGap), kRowTop[row], kButtonWidth,
                      kButtonHeight);
  // The selection of the playlist stays where the user made it.
  button->setFocusPolicy(Qt::NoFocus);
  // The captions must fit buttons 33 pixels wide.
  button->setStyleSheet(QStringLiteral("padding: 0px"));
  return button;
}

void frmmenu::placeBeside(const QWidget& panel) {
  const int offset = pixelsOfTwips(panel, kOffsetTwips);
  const QRect frame = panel.frameGeometry();
  move(frame.left() + frame.width() + offset, panel.mapToGlobal(QPoint(0, 0)).y());
}

void frmmenu::showFlyout(Flyout which) {
  shown_ = which;
  const int row = static_cast<int>(which);
  const int top = kRowTop[row] - kStripRaise[row];
  setMask(QRegion(0, top, width(), kRowTop[row] + kButtonHeight - top));
  show();
  raise();
}

void frmmenu::run(void (*command)(Core&)) {
  command(core_);
  emit commandDone();
}

void frmmenu::cmdfile_Click() { run(&sonavex::cmdfile_Click); }
void frmmenu::cmddir_Click() { run(&sonavex::cmddir_Click); }
void frmmenu::cmdsel_Click() { run(&sonavex::cmdsel_Click); }
void frmmenu::cmdall_Click() { run(&sonavex::cmdall_Click); }
void frmmenu::cmdname_Click() { run(&sonavex::cmdname_Click); }
void frmmenu::cmdrnd_Click() { run(&sonavex::cmdrnd_Click); }

}  // namespace sonavex
