#include "windows/PlaylistListModel.h"

#include <QAbstractItemView>
#include <QScrollBar>
#include <QSize>

#include "windows/PlaylistSelectionModel.h"

namespace sonavex {

namespace {
// Sets a flag for the lifetime of a scope, so that changes we push do not come back to us.
class SyncGuard {
 public:
  explicit SyncGuard(bool& flag) : flag_(flag), old_(flag) { flag_ = true; }
  ~SyncGuard() { flag_ = old_; }
  SyncGuard(const SyncGuard&) = delete;
  SyncGuard& operator=(const SyncGuard&) = delete;

 private:
  bool& flag_;
  bool old_;
};
}  // namespace

PlaylistListModel::PlaylistListModel(PlaylistModel& list, QObject* parent)
    : QAbstractListModel(parent), list_(list), shownRows_(list.count()) {
  list_.setObserver(this);
}

PlaylistListModel::~PlaylistListModel() { list_.setObserver(nullptr); }

int PlaylistListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : shownRows_;
}

QVariant PlaylistListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= shownRows_) return {};
  switch (role) {
    case Qt::DisplayRole: {
      const std::string& name = list_.displayName(index.row());
      return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    }
    case Qt::SizeHintRole:
      return QSize(1, kRowHeight);
    default:
      return {};
  }
}

void PlaylistListModel::attachView(QAbstractItemView* view) {
  view_ = view;
  view->setModel(this);
  QItemSelectionModel* made = view->selectionModel();
  selection_ = new PlaylistSelectionModel(list_, this);
  view->setSelectionModel(selection_);
  delete made;
  connect(selection_, &QItemSelectionModel::currentChanged, this,
          [this](const QModelIndex& current) { pullCurrentFromView(current); });
  connect(view->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] {
    pullTopIndexFromView();
    showSelectionNearViewport();
  });
  pushSelectionToView();
}

void PlaylistListModel::entriesAppended(Index first, Index count) {
  if (count <= 0) return;
  if (first != shownRows_ || first + count != list_.count()) {
    entriesReset();
    return;
  }
  beginInsertRows(QModelIndex(), first, first + count - 1);
  shownRows_ += count;
  endInsertRows();
}

void PlaylistListModel::entriesReset() {
  beginResetModel();
  shownRows_ = list_.count();
  endResetModel();
  if (selection_ != nullptr) selection_->restart();
  pushSelectionToView();
}

void PlaylistListModel::selectionChanged() {
  if (syncing_) return;
  if (selection_ != nullptr && selection_->applying()) {
    showSelectionNearViewport();  // a click or a key: the view stays where the user has it
    return;
  }
  if (selection_ != nullptr) selection_->restart();
  pushSelectionToView();
}

void PlaylistListModel::showSelectionNearViewport() {
  if (!view_ || selection_ == nullptr) return;
  // A page of rows either side of those shown, and more than any screen holds.
  constexpr int kRowsAround = 512;
  const QModelIndex top = view_->indexAt(QPoint(1, 1));
  const int first = top.isValid() ? top.row() : 0;
  SyncGuard guard(syncing_);
  selection_->showRows(first - kRowsAround, first + kRowsAround);
}

void PlaylistListModel::pushSelectionToView() {
  if (!view_ || selection_ == nullptr) return;
  SyncGuard guard(syncing_);
  showSelectionNearViewport();
  const Index focused = list_.listIndex2();
  if (focused >= 0 && focused < shownRows_) {
    selection_->setCurrentIndex(index(focused), QItemSelectionModel::NoUpdate);
    view_->scrollTo(index(focused));
  } else if (selection_->currentIndex().isValid()) {
    selection_->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
  }
}

void PlaylistListModel::pullCurrentFromView(const QModelIndex& current) {
  if (syncing_) return;
  SyncGuard guard(syncing_);
  list_.setListIndex2(current.isValid() ? current.row() : kNone);
}

void PlaylistListModel::pullTopIndexFromView() {
  if (!view_) return;
  const QModelIndex top = view_->indexAt(QPoint(1, 1));
  list_.setTopIndex(top.isValid() ? top.row() : 0);
}

}  // namespace sonavex
