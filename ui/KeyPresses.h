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

}  // namespace sonavex
