#pragma once
// The shown list. Left and Right leave the focus and the selection alone: they are the seek keys.
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
