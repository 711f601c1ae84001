#include "core/model/SelectionText.h"

#include "core/model/PlaylistModel.h"

namespace sonavex {

std::vector<std::string> pathsOfSelection(std::string_view selection) {
  std::vector<std::string> paths;
  if (selection.empty()) return paths;
  auto nul = selection.find('\0');
  if (nul == std::string_view::npos) {
    paths.emplace_back(selection);
    return paths;
  }
  const std::string_view folder = selection.substr(0, nul);
  while (nul != std::string_view::npos) {
    const auto start = nul + 1;
    nul = selection.find('\0', start);
    const auto name = selection.substr(start, nul == std::string_view::npos ? std::string_view::npos : nul - start);
    if (name.empty()) continue;
    std::string path;
    path.reserve(folder.size() + 1 + name.size());
    path.append(folder).push_back(kPathSeparator);
    path.append(name);
    paths.push_back(std::move(path));
  }
  return paths;
}

}  // namespace sonavex
