#pragma once
// The session manager's save request saves the playlist and the program keeps running (the user
// may still cancel the logout); the application being told to quit runs the program's exit path.
#include <functional>

class QGuiApplication;
class QObject;

namespace sonavex {

// The connection lasts as long as context does.
void runOnSessionEnd(QGuiApplication& app, QObject* context, std::function<void()> save,
                     std::function<void()> exitPath);

}  // namespace sonavex
