#include "ui/DropTarget.h"

#include <QDropEvent>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include "core/model/CommandLine.h"

namespace sonavex {

std::string localPathOfUrl(const QUrl& url) {
  // The encoded form keeps the name's bytes, also where they are not valid UTF-8.
  return pathOfFileUri(url.toEncoded().toStdString());
}

std::vector<std::string> droppedPaths(const QMimeData& data) {
  std::vector<std::string> paths;
  for (const QUrl& url : data.urls()) {
    std::string path = localPathOfUrl(url);
    if (!path.empty()) paths.push_back(std::move(path));
  }
  return paths;
}

DropTarget::DropTarget(QWidget* widget, Handler onDrop)
    : QObject(widget), onDrop_(std::move(onDrop)) {
  widget->setAcceptDrops(true);
  widget->installEventFilter(this);
}

bool DropTarget::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
      auto* drag = static_cast<QDropEvent*>(event);
      if (drag->mimeData() && drag->mimeData()->hasUrls()) {
        drag->acceptProposedAction();
      } else {
        drag->ignore();
      }
      return true;
    }
    case QEvent::Drop: {
      auto* drop = static_cast<QDropEvent*>(event);
      const std::vector<std::string> paths =
          drop->mimeData() ? droppedPaths(*drop->mimeData()) : std::vector<std::string>{};
      drop->acceptProposedAction();
      if (!paths.empty()) {
        QTimer::singleShot(0, this, [this, paths] { onDrop_(paths); });
      }
      return true;
    }
    default:
      return QObject::eventFilter(watched, event);
  }
}

}  // namespace sonavex
