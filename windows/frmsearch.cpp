#include "windows/frmsearch.h"

#include <QAbstractListModel>
#include <QComboBox>
#include <QBoxLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

#include "ui/ReaderNotice.h"
#include "ui/SkinButton.h"
#include "ui/Twips.h"
#include "core/Command.h"
#include "core/TrackSearch.h"

namespace sonavex {

// The entry numbers of the matches, made into texts only for the rows the drop-down shows: a
// search over 100,000 entries builds no 100,000 items.
class SearchResultsModel : public QAbstractListModel {
 public:
  using QAbstractListModel::QAbstractListModel;
  void setNumbers(std::vector<Index> numbers) {
    beginResetModel();
    numbers_ = std::move(numbers);
    endResetModel();
  }
  Index numberAt(int row) const {
    return row >= 0 && row < rowCount() ? numbers_[static_cast<std::size_t>(row)] : kNone;
  }
  int rowCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : static_cast<int>(numbers_.size());
  }
  QVariant data(const QModelIndex& index, int role) const override {
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole) return {};
    return QString::number(numberAt(index.row()));
  }

 private:
  std::vector<Index> numbers_;
};

namespace {
QLabel* label(QWidget* parent, const char* name, const QString& caption) {
  auto* l = new QLabel(caption, parent);
  l->setObjectName(QLatin1String(name));
  return l;
}
}  // namespace

frmsearch::frmsearch(Core& core) : QWidget(nullptr, Qt::Window), core_(core) {
  setObjectName(QStringLiteral("frmsearch"));
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(QStringLiteral("Sonvex Search"));
  QFont designed(QStringLiteral("MS Sans Serif"));
  designed.setPointSizeF(8);
  setFont(designed);

  QLabel* Label1 = label(this, "Label1", QStringLiteral("Enter the string to be searched "));
  Text1_ = new QLineEdit(this);
  Text1_->setObjectName(QStringLiteral("Text1"));
  Text1_->setMinimumSize(pixelsOfTwips(*this, 4215), pixelsOfTwips(*this, 495));
  Text1_->setToolTip(QStringLiteral(
      "Make sure that entered string as such is a part of the filename to be searched"));
  Text1_->setAccessibleName(QStringLiteral("Enter the string to be searched"));
  Label1->setBuddy(Text1_);
  cmdsearch_ = new SkinButton(QStringLiteral("Search"), this);
  cmdsearch_->setObjectName(QStringLiteral("cmdsearch"));
  cmdsearch_->setFixedSize(pixelsOfTwips(*this, 615), pixelsOfTwips(*this, 375));

  Frame1_ = new QGroupBox(this);
  Frame1_->setObjectName(QStringLiteral("Frame1"));
  Frame1_->setAccessibleName(QStringLiteral("Search Results"));
  QLabel* Label2 = label(Frame1_, "Label2", QStringLiteral("Search Results"));
  lblcount_ = label(Frame1_, "lblcount", QString());
  QLabel* Label3 = label(Frame1_, "Label3", QStringLiteral("Track(s):"));
  results_ = new SearchResultsModel(this);
  Combo1_ = new QComboBox(Frame1_);
  Combo1_->setObjectName(QStringLiteral("Combo1"));
  Combo1_->setAccessibleName(QStringLiteral("Track(s)"));
  Combo1_->setModel(results_);
  Combo1_->setMinimumWidth(pixelsOfTwips(*this, 1815));
  Label3->setBuddy(Combo1_);
  cmdgoto_ = new SkinButton(QStringLiteral("Goto"), Frame1_);
  cmdgoto_->setObjectName(QStringLiteral("cmdgoto"));
  cmdgoto_->setFixedSize(pixelsOfTwips(*this, 615), pixelsOfTwips(*this, 375));
  // Inside the frame, below its line; each label level with what it names.
  auto* results = new QGridLayout(Frame1_);
  results->addWidget(Label2, 0, 0);
  results->addWidget(lblcount_, 0, 1, 1, 2);
  results->addWidget(Label3, 1, 0);
  results->addWidget(Combo1_, 1, 1);
  results->addWidget(cmdgoto_, 1, 2);
  results->setColumnStretch(1, 1);
  // The window keeps its size while the results are hidden.
  QSizePolicy keep = Frame1_->sizePolicy();
  keep.setRetainSizeWhenHidden(true);
  Frame1_->setSizePolicy(keep);
  Frame1_->hide();

  auto* entry = new QHBoxLayout;
  entry->addWidget(Text1_, 1);
  entry->addWidget(cmdsearch_);
  auto* whole = new QVBoxLayout(this);
  whole->addWidget(Label1, 0, Qt::AlignHCenter);
  whole->addLayout(entry);
  whole->addWidget(Frame1_);
  // As large as the fonts need, never smaller than designed; not resizable.
  whole->setSizeConstraint(QLayout::SetFixedSize);
  setMinimumSize(pixelsOfTwips(*this, 5490), pixelsOfTwips(*this, 2295));
  // Sized now, so that it can be placed before it shows.
  layout()->activate();

  // The count is told as it comes: the keyboard stays in the search text.
  notice_ = new ReaderNotice(this);
  connect(Text1_, &QLineEdit::textChanged, Frame1_, &QWidget::hide);
  connect(cmdsearch_, &QPushButton::clicked, this, &frmsearch::cmdsearch_Click);
  connect(cmdgoto_, &QPushButton::clicked, this, &frmsearch::cmdgoto_Click);
  Text1_->installEventFilter(this);
  Combo1_->installEventFilter(this);
}

void frmsearch::cmdsearch_Click() {
  const QByteArray text = Text1_->text().toUtf8();
  std::vector<Index> numbers = searchEntries(core_.list, std::string_view(text.data(), text.size()));
  const std::size_t count = numbers.size();
  results_->setNumbers(std::move(numbers));
  Combo1_->setCurrentIndex(-1);  // nothing is preselected
  lblcount_->setText(QString::fromStdString(searchCountText(count)));
  Frame1_->show();
  notice_->tell(lblcount_->text());
}

void frmsearch::cmdgoto_Click() {
  const Index number = results_->numberAt(Combo1_->currentIndex());
  if (number == kNone) return;
  perform(core_, gotoEntry, number);
}

void frmsearch::keyPressEvent(QKeyEvent* event) {
  // The keyboard's way out, with or without a window manager's close.
  if (event->key() == Qt::Key_Escape) {
    close();
    return;
  }
  QWidget::keyPressEvent(event);
}

bool frmsearch::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) keys_.pressed(static_cast<QKeyEvent*>(event));
  if (event->type() == QEvent::KeyRelease) {
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (keys_.released(key) && enter) {
      if (watched == Text1_) cmdsearch_Click();
      if (watched == Combo1_) cmdgoto_Click();
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace sonavex
