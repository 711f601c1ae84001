#include "playlist/PlaylistView.h"

namespace sonavex {

PlaylistView::PlaylistView(QWidget* parent) : QListView(parent) {
  setUniformItemSizes(true);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setFrameShape(QFrame::NoFrame);
  setTextElideMode(Qt::ElideNone);
}

QModelIndex PlaylistView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
  if (action == MoveRight) action = MoveDown;
  if (action == MoveLeft) action = MoveUp;
  return QListView::moveCursor(action, modifiers);
}

}  // namespace sonavex
