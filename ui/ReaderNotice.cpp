#include "ui/ReaderNotice.h"

#include <QAccessibleWidget>

namespace sonavex {

namespace {
QAccessibleInterface* accessibleNotice(const QString&, QObject* object) {
  auto* notice = qobject_cast<ReaderNotice*>(object);
  return notice ? new QAccessibleWidget(notice, QAccessible::Notification) : nullptr;
}
}  // namespace

ReaderNotice::ReaderNotice(QWidget* window) : QWidget(window) {
  static const bool installed = (QAccessible::installFactory(accessibleNotice), true);
  Q_UNUSED(installed);
  setObjectName(QStringLiteral("notice"));
  // A pixel in the corner, under the window's shape: readers take a hidden or empty object for
  // one that is not there.
  setGeometry(0, 0, 1, 1);
  setAttribute(Qt::WA_TransparentForMouseEvents);
  hide();
}

void ReaderNotice::tell(const QString& text) {
  if (text.isEmpty()) return;
  hide();
  setAccessibleName(text);
  show();
}

}  // namespace sonavex
