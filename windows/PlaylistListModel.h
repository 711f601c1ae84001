#pragma once
// The shown list over the core playlist. Appends arrive as one row insertion however many entries
// came in; the selection is carried both ways between the core's flags and the view without echo.
#include <QAbstractListModel>
#include <QItemSelection>
#include <QPointer>

#include "core/model/PlaylistModel.h"

class QAbstractItemView;
class QItemSelectionModel;

namespace sonavex {

class PlaylistListModel : public QAbstractListModel, public PlaylistObserver {
  Q_OBJECT
 public:
  static constexpr int kRowHeight = 13;

  explicit PlaylistListModel(PlaylistModel& list, QObject* parent = nullptr);
  ~PlaylistListModel() override;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

  // The view whose selection mirrors the core's; the user's changes there flow back to the core.
  void attachView(QAbstractItemView* view);

  // The core's flags as the fewest selection ranges.
  QItemSelection selectionFromFlags() const;

  void entriesAppended(Index first, Index count) override;
  void entriesReset() override;
  void selectionChanged() override;

 private:
  void pushSelectionToView();
  void pullSelectionFromView(const QItemSelection& selected, const QItemSelection& deselected);
  void pullCurrentFromView(const QModelIndex& current);
  void pullTopIndexFromView();

  PlaylistModel& list_;
  int shownRows_ = 0;  // rows the view has been told about
  QPointer<QAbstractItemView> view_;
  bool syncing_ = false;
};

}  // namespace sonavex
