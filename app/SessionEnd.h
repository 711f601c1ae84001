#pragma once
// The desktop session ending (the session manager asks to save, or the application is told to
// quit) runs the program's exit path.
#include <functional>

class QGuiApplication;
class QObject;

namespace sonavex {

// The connection lasts as long as context does.
void runOnSessionEnd(QGuiApplication& app, QObject* context, std::function<void()> exitPath);

}  // namespace sonavex
