#include "windows/frmaddress.h"

#include <QBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

#include "core/AddCommands.h"
#include "core/Command.h"
#include "ui/ReaderNotice.h"
#include "ui/SkinButton.h"
#include "ui/Twips.h"

namespace sonavex {

frmaddress::frmaddress(Core& core) : QWidget(nullptr, Qt::Window), core_(core) {
  setObjectName(QStringLiteral("frmaddress"));
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(QStringLiteral("Sonavex Add Address"));
  QFont designed(QStringLiteral("MS Sans Serif"));
  designed.setPointSizeF(8);
  setFont(designed);

  auto* Label1 = new QLabel(QStringLiteral("Address of a station, a stream or a playlist:"), this);
  Label1->setObjectName(QStringLiteral("Label1"));
  txtaddress_ = new QLineEdit(this);
  txtaddress_->setObjectName(QStringLiteral("txtaddress"));
  txtaddress_->setPlaceholderText(QStringLiteral("https://"));
  txtaddress_->setMinimumSize(pixelsOfTwips(*this, 4215), pixelsOfTwips(*this, 495));
  txtaddress_->setAccessibleName(QStringLiteral("Address"));
  txtaddress_->setAccessibleDescription(QStringLiteral("An http or https address; Enter adds it"));
  Label1->setBuddy(txtaddress_);
  cmdaddaddress_ = new SkinButton(QStringLiteral("Add"), this);
  cmdaddaddress_->setObjectName(QStringLiteral("cmdaddaddress"));
  cmdaddaddress_->setFixedSize(pixelsOfTwips(*this, 615), pixelsOfTwips(*this, 375));
  lblrefusal_ = new QLabel(this);
  lblrefusal_->setObjectName(QStringLiteral("lblrefusal"));
  lblrefusal_->setWordWrap(true);
  // The window keeps its size while there is nothing to tell.
  QSizePolicy keep = lblrefusal_->sizePolicy();
  keep.setRetainSizeWhenHidden(true);
  lblrefusal_->setSizePolicy(keep);
  lblrefusal_->hide();

  auto* entry = new QHBoxLayout;
  entry->addWidget(txtaddress_, 1);
  entry->addWidget(cmdaddaddress_);
  auto* whole = new QVBoxLayout(this);
  whole->addWidget(Label1);
  whole->addLayout(entry);
  whole->addWidget(lblrefusal_);
  whole->setSizeConstraint(QLayout::SetFixedSize);
  setMinimumSize(pixelsOfTwips(*this, 5490), pixelsOfTwips(*this, 1695));
  layout()->activate();

  // The refusal is told as it shows: the keyboard stays in the address.
  notice_ = new ReaderNotice(this);
  connect(txtaddress_, &QLineEdit::returnPressed, this, &frmaddress::cmdaddaddress_Click);
  connect(txtaddress_, &QLineEdit::textEdited, lblrefusal_, &QWidget::hide);
  connect(cmdaddaddress_, &QPushButton::clicked, this, &frmaddress::cmdaddaddress_Click);
}

void frmaddress::cmdaddaddress_Click() {
  const QByteArray typed = txtaddress_->text().trimmed().toUtf8();
  const std::string address(typed.constData(), static_cast<std::size_t>(typed.size()));
  const std::string refusal = addressRefusal(address);
  if (refusal.empty()) {
    perform(core_, cmdurl_Click, address);
    close();
    return;
  }
  lblrefusal_->setText(QString::fromStdString(refusal));
  lblrefusal_->show();
  notice_->tell(lblrefusal_->text());
  txtaddress_->setFocus();
  txtaddress_->selectAll();
}

void frmaddress::keyPressEvent(QKeyEvent* event) {
  // The keyboard's way out, with or without a window manager's close.
  if (event->key() == Qt::Key_Escape) {
    close();
    return;
  }
  QWidget::keyPressEvent(event);
}

}  // namespace sonavex
