#pragma once
// The shown list over the core playlist. Appends arrive as one row insertion however many entries
// came in; the user's selection goes straight to the core's flags, and the view is shown the flags
// of the rows near its viewport.
#include <QAbstractListModel>
#include <QItemSelection>
#include <QPointer>

#include "core/model/PlaylistModel.h"

class QAbstractItemView;

namespace sonavex {

class PlaylistSelectionModel;

class PlaylistListModel : public QAbstractListModel, public PlaylistObserver {
  Q_OBJECT
 public:
  static constexpr int kRowHeight = 13;

  explicit PlaylistListModel(PlaylistModel& list, QObject* parent = nullptr);
  ~PlaylistListModel() override;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

  // The view that shows the core's selection and changes it.
  void attachView(QAbstractItemView* view);

  void entriesAppended(Index first, Index count) override;
  void entriesReset() override;
  void selectionChanged() override;

 private:
  void pushSelectionToView();
  void showSelectionNearViewport();
  void pullCurrentFromView(const QModelIndex& current);
  void pullTopIndexFromView();

  PlaylistModel& list_;
  int shownRows_ = 0;  // rows the view has been told about
  QPointer<QAbstractItemView> view_;
  PlaylistSelectionModel* selection_ = nullptr;  // owned as a child
  bool syncing_ = false;
};

}  // namespace sonavex
