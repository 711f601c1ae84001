#include "ui/QtBusyPointer.h"

#include <QCursor>
#include <QGuiApplication>

namespace sonavex {

QtBusyPointer::~QtBusyPointer() {
  while (depth_ > 0) setBusy(false);
}

void QtBusyPointer::setBusy(bool busy) {
  if (busy) {
    if (depth_++ == 0) QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  } else if (depth_ > 0) {
    if (--depth_ == 0) QGuiApplication::restoreOverrideCursor();
  }
}

}  // namespace sonavex
