#include "windows/PlaylistView.h"

#include <QContextMenuEvent>
#include <QPainter>
#include <QScrollBar>

#include "ui/FocusChain.h"
#include "ui/Skin.h"

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
  verticalScrollBar()->setStyleSheet(skinScrollBarStyle());
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

void PlaylistView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  // The list view tells readers its new current row has the focus, whether the keyboard is here
  // or not: a new track marks its row while the keyboard stays on, say, the loop box.
  if (hasFocus()) {
    QListView::currentChanged(current, previous);
  } else {
    QAbstractItemView::currentChanged(current, previous);  // all but that event
  }
}

void PlaylistView::focusInEvent(QFocusEvent* event) {
  QListView::focusInEvent(event);
  viewport()->update();  // the mark of an empty list rings it whole
}

void PlaylistView::focusOutEvent(QFocusEvent* event) {
  QListView::focusOutEvent(event);
  viewport()->update();
}

void PlaylistView::paintEvent(QPaintEvent* event) {
  QListView::paintEvent(event);
  if (!hasFocus()) return;
  const QModelIndex focused = currentIndex();
  const QRect row = focused.isValid() ? visualRect(focused) : viewport()->rect();
  if (row.isEmpty()) return;
  QPainter painter(viewport());
  drawFocusMark(painter, QRectF(row).adjusted(0.5, 0.5, -1.5, -1.5));
}

}  // namespace sonavex
