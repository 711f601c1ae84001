#include "ui/QtMessageBoxes.h"

#include <QMessageBox>

#include "ui/FocusChain.h"

namespace sonavex {

namespace {
QMessageBox::Icon qtIcon(MsgIcon icon) {
  switch (icon) {
    case MsgIcon::Information:
      return QMessageBox::Information;
    case MsgIcon::Critical:
      return QMessageBox::Critical;
    case MsgIcon::None:
      break;
  }
  return QMessageBox::NoIcon;
}
}  // namespace

MsgAnswer QtMessageBoxes::show(const std::string& text, const std::string& title,
                               MsgButtons buttons, MsgIcon icon) {
  const bool yesNo = buttons == MsgButtons::YesNo;
  QMessageBox box(qtIcon(icon), QString::fromUtf8(title), QString::fromUtf8(text),
                  yesNo ? (QMessageBox::Yes | QMessageBox::No) : QMessageBox::Ok, owner_);
  const KeyboardReturn keyboard;
  const int answer = box.exec();
  if (!yesNo) return MsgAnswer::Ok;
  // Closing the box without choosing counts as the safe answer.
  return answer == QMessageBox::Yes ? MsgAnswer::Yes : MsgAnswer::No;
}

void QtMessageBoxes::notify(const std::string& text, const std::string& title, MsgIcon icon) {
  auto* box = new QMessageBox(qtIcon(icon), QString::fromUtf8(title), QString::fromUtf8(text),
                              QMessageBox::Ok, owner_);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setWindowModality(Qt::NonModal);
  box->show();
}

}  // namespace sonavex
