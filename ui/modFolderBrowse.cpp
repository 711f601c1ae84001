#include "ui/modFolderBrowse.h"

#include <QFile>
#include <QFileDialog>

#include "ui/DialogFolder.h"
#include "ui/FocusChain.h"

namespace sonavex {

std::string BrowseForFolder(QWidget* owner, const std::string& title) {
  const KeyboardReturn keyboard;
  const QString dir = QFileDialog::getExistingDirectory(
      owner, QString::fromUtf8(title), dialogStartFolder(),
      QFileDialog::ShowDirsOnly | QFileDialog::DontResolveSymlinks);
  if (dir.isEmpty()) return {};
  rememberDialogFolder(dir);
  const QByteArray bytes = QFile::encodeName(dir);
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

std::string QtFolderPicker::BrowseForFolder(const std::string& title) {
  return sonavex::BrowseForFolder(owner_, title);
}

}  // namespace sonavex
