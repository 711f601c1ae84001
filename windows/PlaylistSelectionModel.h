#pragma once
// The list view's selection model. The core's flags are the selection: the user's clicks and keys
// change them directly, with the item views' rules (a plain click starts anew, Ctrl toggles, Shift
// or a drag extends the selection still being made). The model itself holds only the rows near the
// viewport, which is all the view paints and asks about, so a selection in half a million pieces on
// a list of a million costs nothing to show.
#include <QItemSelectionModel>
#include <cstdint>
#include <vector>

#include "core/model/PlaylistModel.h"

namespace sonavex {

class PlaylistSelectionModel : public QItemSelectionModel {
  Q_OBJECT
 public:
  PlaylistSelectionModel(PlaylistModel& list, QAbstractItemModel* model);

  void select(const QModelIndex& index, QItemSelectionModel::SelectionFlags command) override;
  void select(const QItemSelection& selection, QItemSelectionModel::SelectionFlags command) override;

  // Shows the core's flags for rows first..last and nothing else.
  void showRows(int first, int last);

  // This model is changing the core's flags: the user is selecting.
  bool applying() const { return applying_; }

  // The core's flags changed by other means: a selection being extended ends there.
  void restart();

 private:
  PlaylistModel& list_;
  std::vector<std::uint8_t> settled_;  // the flags before the selection still being made
  QItemSelection making_;               // the rows of the selection still being made
  QItemSelectionModel::SelectionFlags makingCommand_;
  bool madeByCore_ = false;             // settled_ holds a selection the core made
  bool applying_ = false;
  bool showing_ = false;
};

}  // namespace sonavex
