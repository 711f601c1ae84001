#include "windows/PlaylistListModel.h"

#include <QAbstractItemView>
#include <QScrollBar>
#include <QSize>

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
  QItemSelectionModel* selection = view->selectionModel();
  connect(selection, &QItemSelectionModel::selectionChanged, this,
          &PlaylistListModel::pullSelectionFromView);
  connect(selection, &QItemSelectionModel::currentChanged, this,
          [this](const QModelIndex& current) { pullCurrentFromView(current); });
  connect(view->verticalScrollBar(), &QScrollBar::valueChanged, this,
          &PlaylistListModel::pullTopIndexFromView);
  pushSelectionToView();
}

QItemSelection PlaylistListModel::selectionFromFlags() const {
  QItemSelection selection;
  const auto& flags = list_.selectionFlags();
  const int rows = std::min<int>(shownRows_, static_cast<int>(flags.size()));
  int row = 0;
  while (row < rows) {
    if (!flags[static_cast<std::size_t>(row)]) {
      ++row;
      continue;
    }
    const int first = row;
    while (row < rows && flags[static_cast<std::size_t>(row)]) ++row;
    selection.append(QItemSelectionRange(index(first), index(row - 1)));
  }
  return selection;
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
  pushSelectionToView();
}

void PlaylistListModel::selectionChanged() {
  if (!syncing_) pushSelectionToView();
}

void PlaylistListModel::pushSelectionToView() {
  if (!view_) return;
  SyncGuard guard(syncing_);
  QItemSelectionModel* selection = view_->selectionModel();
  selection->select(selectionFromFlags(), QItemSelectionModel::ClearAndSelect);
  const Index focused = list_.listIndex2();
  if (focused >= 0 && focused < shownRows_) {
    selection->setCurrentIndex(index(focused), QItemSelectionModel::NoUpdate);
    view_->scrollTo(index(focused));
  } else if (selection->currentIndex().isValid()) {
    selection->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
  }
}

void PlaylistListModel::pullSelectionFromView(const QItemSelection& selected,
                                              const QItemSelection& deselected) {
  if (syncing_) return;
  SyncGuard guard(syncing_);
  std::vector<std::uint8_t> flags = list_.selectionFlags();
  flags.resize(static_cast<std::size_t>(list_.count()), 0);
  auto mark = [&flags](const QItemSelection& ranges, std::uint8_t value) {
    for (const QItemSelectionRange& range : ranges) {
      const int last = std::min(range.bottom(), static_cast<int>(flags.size()) - 1);
      for (int row = std::max(range.top(), 0); row <= last; ++row)
        flags[static_cast<std::size_t>(row)] = value;
    }
  };
  mark(deselected, 0);
  mark(selected, 1);
  list_.setSelectionFlags(std::move(flags));
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
