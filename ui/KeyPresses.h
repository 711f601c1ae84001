#pragma once
// Keys act on their release; a release whose press went elsewhere (Enter that accepted a dialog,
// Escape that closed a message box) belongs to that other window and must be ignored.
#include <QKeyEvent>
#include <QSet>

namespace sonavex {

class KeyPresses {
 public:
  void pressed(const QKeyEvent* event) { down_.insert(event->key()); }
  // True when this release ends a press this window saw; auto-repeat releases keep the key down.
  bool released(const QKeyEvent* event) {
    if (event->isAutoRepeat()) return false;
    return down_.remove(event->key());
  }

 private:
  QSet<int> down_;
};

// The volume keys: +1 for Up and +, -1 for Down and -, 0 for any other key. `arrowsAcross` (on the
// volume arc itself) adds Right and Left.
inline int volumeSteps(const QKeyEvent* event, bool arrowsAcross) {
  if (event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier)) return 0;
  switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Plus:
      return 1;
    case Qt::Key_Down:
    case Qt::Key_Minus:
      return -1;
    case Qt::Key_Right:
      return arrowsAcross ? 1 : 0;
    case Qt::Key_Left:
      return arrowsAcross ? -1 : 0;
    default:
      return 0;
  }
}

}  // namespace sonavex
