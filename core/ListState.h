#pragma once
// What the list edits change: the entries with their selection and list indexes, the shuffle order,
// the undo history, the shuffle box and the current track. The core is one; an edit that runs off
// the program's thread works on a snapshot of the core's (see ListWork.h), with that thread's own
// random source.
#include <vector>

#include "core/model/PlaylistModel.h"
#include "core/model/Random.h"
#include "core/model/ShuffleOrder.h"
#include "core/model/UndoHistory.h"

namespace sonavex {

struct ListState {
  explicit ListState(RandomSource& random) : rng(random) {}
  ListState(const ListState&) = delete;
  ListState& operator=(const ListState&) = delete;

  PlaylistModel list;    // cpvcoollist1 (paths) and cpvcoollist2 (display names)
  ShuffleOrder List5;    // shuffle order
  UndoHistory history;   // undo and redo of the playlist commands
  int chkshuffle = 0;    // shuffle box, off at start
  Index currenttrack = 0;  // current entry, -1 none
  RandomSource& rng;     // draws of this thread
  // Set while an edit runs off the program's thread: where each entry went, composed over the
  // edit's steps (moves[old] = new index, -1 gone; empty: nothing moved), so that what changed on
  // the program's thread meanwhile can follow its entry.
  std::vector<Index>* moves = nullptr;
};

// Records that the entries moved as `to` says (to[old] = new index, -1 gone).
void noteMoves(ListState& state, const std::vector<Index>& to);

}  // namespace sonavex
