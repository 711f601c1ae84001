#include "commands/core/PlaylistRebuild.h"

namespace sonavex {

void reorderEntries(PlaylistModel& list, const std::vector<Index>& order) {
  const auto& oldPaths = list.paths();
  const auto& oldNames = list.displayNames();
  std::vector<std::string> paths;
  std::vector<std::string> names;
  paths.reserve(order.size());
  names.reserve(order.size());
  for (const Index from : order) {
    const auto at = static_cast<std::size_t>(from);
    paths.push_back(oldPaths[at]);
    names.push_back(makeDisplayName(static_cast<Index>(names.size()) + 1, fileNamePartOf(oldNames[at])));
  }
  list.assign(std::move(paths), std::move(names));
}

void keepEntries(PlaylistModel& list, const std::vector<bool>& keep) {
  std::vector<Index> kept;
  kept.reserve(keep.size());
  for (Index i = 0; i < list.count(); ++i) {
    if (static_cast<std::size_t>(i) < keep.size() && keep[static_cast<std::size_t>(i)]) kept.push_back(i);
  }
  reorderEntries(list, kept);
}

void delsel(Core& core) {
  std::vector<bool> keep(static_cast<std::size_t>(core.list.count()));
  for (Index i = 0; i < core.list.count(); ++i) keep[static_cast<std::size_t>(i)] = !core.list.isSelected(i);
  keepEntries(core.list, keep);
}

void crop(Core& core) {
  std::vector<std::string> paths;
  std::vector<std::string> names;
  for (Index i = 0; i < core.list.count(); ++i) {
    if (!core.list.isSelected(i)) continue;
    const std::string& path = core.list.path(i);
    names.push_back(makeDisplayName(static_cast<Index>(names.size()) + 1, fileNameOf(path)));
    paths.push_back(path);
  }
  core.list.assign(std::move(paths), std::move(names));
}

}  // namespace sonavex
