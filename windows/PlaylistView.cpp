#include "windows/PlaylistView.h"

#include <QContextMenuEvent>

#include "ui/FocusChain.h"

namespace sonavex {

PlaylistView::PlaylistView(QWidget* parent) : QListView(parent) {
  setUniformItemSizes(true);
  // A list of a million rows is laid out a slice at a time between events, not in one go.
  setLayoutMode(QListView::Batched);
  setBatchSize(10000);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setFrameShape(QFrame::NoFrame);
  setTextElideMode(Qt::ElideRight);
}

QModelIndex PlaylistView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
  // Left and Right are the seek keys: the focus, which the next track is chosen from, stays.
  if (action == MoveRight || action == MoveLeft) return currentIndex();
  return QListView::moveCursor(action, modifiers);
}

void PlaylistView::contextMenuEvent(QContextMenuEvent* event) {
  // The mouse's way to the song menu is the right button's release over a row, not this event.
  if (event->reason() != QContextMenuEvent::Keyboard) {
    event->ignore();
    return;
  }
  event->accept();
  emit menuKeyPressed();
}

void PlaylistView::keyPressEvent(QKeyEvent* event) {
  if (isShiftF10(event)) {
    event->accept();
    emit menuKeyPressed();
    return;
  }
  QListView::keyPressEvent(event);
}

}  // namespace sonavex
