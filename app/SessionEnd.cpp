#include "app/SessionEnd.h"

#include <QGuiApplication>
#include <QSessionManager>

namespace sonavex {

void runOnSessionEnd(QGuiApplication& app, QObject* context, std::function<void()> save,
                     std::function<void()> exitPath) {
  QObject::connect(&app, &QGuiApplication::commitDataRequest, context,
                   [save](QSessionManager&) { save(); });
  QObject::connect(&app, &QCoreApplication::aboutToQuit, context, exitPath);
}

}  // namespace sonavex
