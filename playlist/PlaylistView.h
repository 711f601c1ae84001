#pragma once
// The shown list. Left and Right move the focus up and down like the list box this player was
// designed for, so that the seek keys' reselection can undo exactly that move.
#include <QListView>

namespace sonavex {

class PlaylistView : public QListView {
  Q_OBJECT
 public:
  explicit PlaylistView(QWidget* parent = nullptr);

 protected:
  QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
};

}  // namespace sonavex
