#include "core/OrderCommands.h"

#include "core/RandomOrder.h"
#include "core/model/Sorting.h"
#include "core/UndoableEdits.h"

namespace sonavex {

void cmdname_Click(Core& core) {
  std::vector<std::string_view> names;
  names.reserve(core.list.displayNames().size());
  for (const auto& displayName : core.list.displayNames()) names.push_back(fileNamePartOf(displayName));
  auto order = sortedOrder(names);
  PlaylistBatch batch(core.list);
  reorderEntries(core, std::move(order));
}

void cmdrnd_Click(Core& core) {
  BusyScope busy(core.platform.busy);
  auto order = randomOrderMoves(core.rng, core.list.count());
  PlaylistBatch batch(core.list);
  reorderEntries(core, std::move(order));
}

}  // namespace sonavex
