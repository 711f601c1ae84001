#pragma once
// The shown list. Left and Right leave the focus and the selection alone: they are the seek keys.
// Names too long for a row end in an ellipsis. The menu key and Shift+F10 ask for the song menu.
// While it has the keyboard, the skin's focus mark rings the focused row (the whole list while it
// is empty); a row marked while the keyboard is elsewhere tells no reader it has the focus.
#include <QListView>

namespace sonavex {

class PlaylistView : public QListView {
  Q_OBJECT
 public:
  explicit PlaylistView(QWidget* parent = nullptr);

 signals:
  // The menu key or Shift+F10: the song menu for the focused row.
  void menuKeyPressed();

 protected:
  QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace sonavex
