#include "core/OrderCommands.h"

#include "core/RandomOrder.h"
#include "core/model/Sorting.h"
#include "core/UndoableEdits.h"
#include "core/ListWork.h"

namespace sonavex {

void cmdname_Click(Core& core) {
  runListEdit(core, [](ListState& job) {
    std::vector<std::string_view> names;
    names.reserve(job.list.displayNames().size());
    for (const auto& displayName : job.list.displayNames()) names.push_back(fileNamePartOf(displayName));
    auto order = sortedOrder(names);
    PlaylistBatch batch(job.list);
    reorderEntries(job, std::move(order));
  });
}

void cmdrnd_Click(Core& core) {
  runListEdit(core, [](ListState& job) {
    auto order = randomOrderMoves(job.rng, job.list.count());
    PlaylistBatch batch(job.list);
    reorderEntries(job, std::move(order));
  });
}

}  // namespace sonavex
