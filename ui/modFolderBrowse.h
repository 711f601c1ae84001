#pragma once
// The folder picker: a directory chooser that offers folders only.
#include <string>

#include "core/model/Platform.h"

class QWidget;

namespace sonavex {

// The full path of the chosen folder as file-system bytes, or "" when the user cancels.
std::string BrowseForFolder(QWidget* owner, const std::string& title);

class QtFolderPicker : public FolderPicker {
 public:
  explicit QtFolderPicker(QWidget* owner = nullptr) : owner_(owner) {}
  std::string BrowseForFolder(const std::string& title) override;

 private:
  QWidget* owner_;
};

}  // namespace sonavex
