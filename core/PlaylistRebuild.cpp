#include "core/PlaylistRebuild.h"

#include "core/UndoableEdits.h"

namespace sonavex {

namespace {
std::vector<bool> selectedFlags(const PlaylistModel& list, bool selected) {
  std::vector<bool> flags(static_cast<std::size_t>(list.count()));
  for (Index i = 0; i < list.count(); ++i)
    flags[static_cast<std::size_t>(i)] = list.isSelected(i) == selected;
  return flags;
}
}  // namespace

void delsel(ListState& core) {
  removeEntries(core, selectedFlags(core.list, false), KeptNames::FromDisplayName);
}

void crop(ListState& core) { removeEntries(core, selectedFlags(core.list, true), KeptNames::FromPath); }

}  // namespace sonavex
