#include "ui/AccessibleWindows.h"

#include <QAccessibleWidget>
#include <QDialog>
#include <QMenu>
#include <QWidget>

namespace sonavex {
namespace {

class ShownChildrenOnly : public QAccessibleWidget {
 public:
  ShownChildrenOnly(QWidget* window, QAccessible::Role role) : QAccessibleWidget(window, role) {}

  int childCount() const override { return static_cast<int>(shownChildren().size()); }
  QAccessibleInterface* child(int index) const override {
    const QList<QWidget*> shown = shownChildren();
    if (index < 0 || index >= shown.size()) return nullptr;
    return QAccessible::queryAccessibleInterface(shown[index]);
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    if (!child) return -1;
    return static_cast<int>(shownChildren().indexOf(qobject_cast<QWidget*>(child->object())));
  }

 private:
  QList<QWidget*> shownChildren() const {
    QList<QWidget*> shown;
    for (QObject* object : widget()->children()) {
      auto* child = qobject_cast<QWidget*>(object);
      if (child && !child->isWindow() && !child->isHidden() && !qobject_cast<QMenu*>(child))
        shown << child;
    }
    return shown;
  }
};

// The program's own windows (their classes are in its namespace); Qt's windows keep their own.
QAccessibleInterface* ownWindow(const QString& className, QObject* object) {
  if (!object || !object->isWidgetType() || QLatin1String(object->metaObject()->className()) != className ||
      !className.startsWith(QLatin1String("sonavex::"))) {
    return nullptr;
  }
  auto* window = static_cast<QWidget*>(object);
  if (!window->isWindow()) return nullptr;
  return new ShownChildrenOnly(window, qobject_cast<QDialog*>(window) ? QAccessible::Dialog
                                                                       : QAccessible::Window);
}

}  // namespace

void installAccessibleWindows() {
  static const bool installed = (QAccessible::installFactory(ownWindow), true);
  Q_UNUSED(installed);
}

}  // namespace sonavex
