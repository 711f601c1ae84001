#pragma once
// The changes of the playlist that can be undone, and undo and redo themselves. The commands change
// the entries only through these edits (removing, reordering; appends are recorded by the intakes
// that merge them, see ListWork.h), and each edit records its step in the history itself, so every
// way to a command (button, menu item, key, drop, command line) records the same step. An edit that
// changes no entry records nothing.
//
// After undo or redo the entries, paths and display names, are exactly as before or after the
// step. The selection, both list indexes and `currenttrack` are put back as they were on that side
// of the step when nothing moved them since; otherwise each follows its entry, and one whose entry
// is gone becomes -1 (an entry brought back is not selected). After a change of the entry set the
// shuffle order is rebuilt, as the commands do; undoing a reorder leaves it, as "name" and "rand"
// do. The engine is not touched: a track that plays goes on playing.
//
// Deleting files from the disk cannot be undone. As soon as a command has deleted a file it
// forgets the whole history, undo and redo: the earlier steps were recorded against the list before
// the deletion, and some of them could bring back an entry of a file that is gone. So the history
// never holds a step that says anything about those entries.
//
// Undo and redo check the playlist's revision first: a change the history did not record (none is
// made by the commands) makes it forget its steps instead of applying them to another list.
#include <cstdint>
#include <vector>

#include "core/Core.h"

namespace sonavex {

// Removes the entries whose `keep` flag is false (a missing flag is false). The kept ones are
// renumbered 1..N and named as `naming` says; nothing is selected and both list indexes are -1.
void removeEntries(ListState& state, const std::vector<bool>& keep, KeptNames naming);

// Puts the entries in the order given by `order` (the old index of each entry, each once; anything
// else changes nothing), renumbered 1..N; nothing is selected and both list indexes are -1.
void reorderEntries(ListState& state, std::vector<Index> order);

// Undo and redo as list edits (ListWork.h). False when there was nothing to undo or redo.
bool undo(Core& core);
bool redo(Core& core);

// A command deleted files from the disk: nothing before it can be undone or redone.
void forgetHistory(ListState& state);

}  // namespace sonavex
