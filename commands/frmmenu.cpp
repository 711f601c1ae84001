#include "commands/frmmenu.h"

#include <QRegion>

#include "commands/core/AddCommands.h"
#include "commands/core/OrderCommands.h"
#include "commands/core/RemoveCommands.h"

namespace sonavex {

namespace {
constexpr int kButtonWidth = 33;
constexpr int kButtonHeight = 25;
constexpr int kGap = 4;
constexpr int kRowTop[] = {16, 41, 66};  // level with the add, remove and sort buttons
constexpr int kTwipsPerPixel = 15;
constexpr int kOffsetTwips = 22;  // gap between the playlist window and the flyout
}  // namespace

frmmenu::frmmenu(Core& core, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint), core_(core) {
  setObjectName("frmmenu");
  setWindowTitle("frmmenu");
  setFixedSize(2 * kButtonWidth + 3 * kGap, kRowTop[2] + kButtonHeight + kRowTop[0]);
  cmdfile = makeButton("cmdfile", "&file", 0, 0);
  cmddir = makeButton("cmddir", "dir", 0, 1);
  cmdsel = makeButton("cmdsel", "sel", 1, 0);
  cmdall = makeButton("cmdall", "all", 1, 1);
  cmdname = makeButton("cmdname", "name", 2, 0);
  cmdrnd = makeButton("cmdrnd", "rand", 2, 1);
  connect(cmdfile, &QPushButton::clicked, this, &frmmenu::cmdfile_Click);
  connect(cmddir, &QPushButton::clicked, this, &frmmenu::cmddir_Click);
  connect(cmdsel, &QPushButton::clicked, this, &frmmenu::cmdsel_Click);
  connect(cmdall, &QPushButton::clicked, this, &frmmenu::cmdall_Click);
  connect(cmdname, &QPushButton::clicked, this, &frmmenu::cmdname_Click);
  connect(cmdrnd, &QPushButton::clicked, this, &frmmenu::cmdrnd_Click);
}

QPushButton* frmmenu::makeButton(const char* name, const QString& caption, int row, int column) {
  auto* button = new QPushButton(caption, this);
  button->setObjectName(name);
  button->setGeometry(kGap + column * (kButtonWidth + kGap), kRowTop[row], kButtonWidth,
                      kButtonHeight);
  return button;
}

void frmmenu::placeBeside(const QWidget& panel) {
  const int offset = (kOffsetTwips + kTwipsPerPixel - 1) / kTwipsPerPixel;
  move(panel.frameGeometry().right() + 1 + offset, panel.mapToGlobal(QPoint(0, 0)).y());
}

void frmmenu::showFlyout(Flyout which) {
  shown_ = which;
  const QRect strip(0, kRowTop[static_cast<int>(which)], width(), kButtonHeight);
  setMask(QRegion(strip, QRegion::Rectangle));
  show();
  raise();
}

void frmmenu::cmdfile_Click() { sonavex::cmdfile_Click(core_); }
void frmmenu::cmddir_Click() { sonavex::cmddir_Click(core_); }
void frmmenu::cmdsel_Click() { sonavex::cmdsel_Click(core_); }
void frmmenu::cmdall_Click() { sonavex::cmdall_Click(core_); }
void frmmenu::cmdname_Click() { sonavex::cmdname_Click(core_); }
void frmmenu::cmdrnd_Click() { sonavex::cmdrnd_Click(core_); }

}  // namespace sonavex
