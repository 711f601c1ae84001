#include "windows/PlaylistView.h"

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
  // Left and Right are the seek keys: the focus, which the next track is chosen from, stays.
  if (action == MoveRight || action == MoveLeft) return currentIndex();
  return QListView::moveCursor(action, modifiers);
}

}  // namespace sonavex
