#include "ui/DropTarget.h"

#include <QDropEvent>
#include <QMimeData>
#include <QTimer>
#include <QWidget>

namespace sonavex {

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
      const QMimeData* data = drop->mimeData();
      std::string uris = data && data->hasUrls() ? data->data(QStringLiteral("text/uri-list")).toStdString()
                                                 : std::string();
      drop->acceptProposedAction();
      if (!uris.empty()) {
        QTimer::singleShot(0, this, [this, uris = std::move(uris)]() mutable { onDrop_(std::move(uris)); });
      }
      return true;
    }
    default:
      return QObject::eventFilter(watched, event);
  }
}

}  // namespace sonavex
