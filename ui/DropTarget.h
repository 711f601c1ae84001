#pragma once
// File drops from other programs. The drop's URI list is handed on as it came, percent-encoded
// bytes and all: a file name that is not valid UTF-8 arrives exactly as the file system spells it,
// and a drop of a million files is read on the list job's worker, not here.
#include <QObject>
#include <functional>
#include <string>

class QWidget;

namespace sonavex {

// Makes a widget accept file drops and hands the dropped "text/uri-list" to `onDrop`. The drop is accepted
// at once and the intake runs right after, from the event loop: a folder scan must not keep the
// program the files came from (a file manager) waiting for the end of the drag.
class DropTarget : public QObject {
  Q_OBJECT
 public:
  using Handler = std::function<void(std::string uriList)>;
  DropTarget(QWidget* widget, Handler onDrop);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  Handler onDrop_;
};

}  // namespace sonavex
