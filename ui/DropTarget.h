#pragma once
// File drops from other programs. Paths are taken from the URLs' percent-encoded bytes, so a file
// name that is not valid UTF-8 arrives exactly as the file system spells it.
#include <QObject>
#include <functional>
#include <string>
#include <vector>

class QMimeData;
class QUrl;
class QWidget;

namespace sonavex {

// The local path of a file: URL as bytes; "" for any other URL or a file on another host.
std::string localPathOfUrl(const QUrl& url);
// The local paths of the dropped URLs, in drop order.
std::vector<std::string> droppedPaths(const QMimeData& data);

// Makes a widget accept file drops and hands the dropped paths to `onDrop`. The drop is accepted
// at once and the intake runs right after, from the event loop: a folder scan must not keep the
// program the files came from (a file manager) waiting for the end of the drag.
class DropTarget : public QObject {
  Q_OBJECT
 public:
  using Handler = std::function<void(const std::vector<std::string>&)>;
  DropTarget(QWidget* widget, Handler onDrop);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  Handler onDrop_;
};

}  // namespace sonavex
