#include "ui/DialogFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace sonavex {

namespace {
QString& lastFolder() {
  static QString folder;  // dialogs run on the GUI thread only
  return folder;
}
}  // namespace

QString dialogStartFolder() {
  if (!lastFolder().isEmpty() && QFileInfo(lastFolder()).isDir()) return lastFolder();
  const QString music = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
  return !music.isEmpty() && QFileInfo(music).isDir() ? music : QDir::homePath();
}

void rememberDialogFolder(const QString& folder) {
  if (!folder.isEmpty()) lastFolder() = folder;
}

}  // namespace sonavex
