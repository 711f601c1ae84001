#include "windows/PlaylistSelectionModel.h"

#include <algorithm>

namespace sonavex {

PlaylistSelectionModel::PlaylistSelectionModel(PlaylistModel& list, QAbstractItemModel* model)
    : QItemSelectionModel(model), list_(list) {}

void PlaylistSelectionModel::select(const QModelIndex& index,
                                    QItemSelectionModel::SelectionFlags command) {
  select(index.isValid() ? QItemSelection(index, index) : QItemSelection(), command);
}

void PlaylistSelectionModel::select(const QItemSelection& selection,
                                    QItemSelectionModel::SelectionFlags command) {
  if (showing_) {
    QItemSelectionModel::select(selection, command);
    return;
  }
  if (command == NoUpdate) return;
  const auto rows = static_cast<std::size_t>(list_.count());
  // The same steps as the item views' own model: Clear drops everything, a command without
  // Current settles what was being made, and Select, Deselect or Toggle start the next one. A
  // selection the core made stands as one being made, as when it was handed to that model whole.
  if (command & Clear) {
    settled_.assign(rows, 0);
    making_.clear();
  } else if (!(command & Current)) {
    settled_ = list_.selectionFlags();
    making_.clear();
  } else if (madeByCore_) {
    settled_.assign(rows, 0);
  }
  madeByCore_ = false;
  if (command & (Select | Deselect | Toggle)) {
    making_ = selection;
    makingCommand_ = command;
  }
  std::vector<std::uint8_t> flags = settled_;
  flags.resize(rows, 0);
  for (const QItemSelectionRange& range : making_) {
    const int last = std::min(range.bottom(), static_cast<int>(rows) - 1);
    for (int row = std::max(range.top(), 0); row <= last; ++row) {
      auto& flag = flags[static_cast<std::size_t>(row)];
      if (makingCommand_ & Toggle) {
        flag = settled_.size() > static_cast<std::size_t>(row) && settled_[static_cast<std::size_t>(row)] ? 0 : 1;
      } else {
        flag = (makingCommand_ & Select) ? 1 : 0;
      }
    }
  }
  applying_ = true;
  list_.setSelectionFlags(std::move(flags));
  applying_ = false;
}

void PlaylistSelectionModel::showRows(int first, int last) {
  QItemSelection shown;
  const auto& flags = list_.selectionFlags();
  last = std::min(last, static_cast<int>(flags.size()) - 1);
  const QAbstractItemModel* rows = model();
  for (int row = std::max(first, 0); row <= last; ++row) {
    if (!flags[static_cast<std::size_t>(row)]) continue;
    const int top = row;
    while (row < last && flags[static_cast<std::size_t>(row) + 1]) ++row;
    shown.append(QItemSelectionRange(rows->index(top, 0), rows->index(row, 0)));
  }
  showing_ = true;
  QItemSelectionModel::select(shown, ClearAndSelect);
  showing_ = false;
}

void PlaylistSelectionModel::restart() {
  settled_ = list_.selectionFlags();
  making_.clear();
  madeByCore_ = true;
}

}  // namespace sonavex
