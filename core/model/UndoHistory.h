#pragma once
// The steps of the playlist's undo history (the edits that record them and undo/redo themselves are
// in UndoableEdits.h). A step holds only what its change took away or what cannot be worked out
// again from the list:
// - a removal: the removed entries (moved out of the list, not copied) and their positions; the
//   numbers the kept entries showed before the rebuild renumbered them, as integers (a list
//   numbered 1..N costs a few runs); a kept display name that is not "<number>   <file name>"
//   whole, which is rare; and the selection and list indexes the command found.
// - a reorder: the permutation, and the old numbers, odd names and selection as for a removal.
// - an append: how many entries came; once undone, the appended entries themselves, for redo.
// Undo and redo move the strings between the list and the step, so no entry is ever held twice.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "core/model/PlaylistModel.h"

namespace sonavex {

// A sequence of indexes, kept as runs of consecutive values when that is smaller than a plain
// vector (removed positions, a selection, the numbers 1..N, a random order that moves few entries).
class IndexList {
 public:
  IndexList() = default;
  // Keeps the smaller of the two forms.
  explicit IndexList(std::vector<Index> values);
  // Appends while building; compact() when done.
  void push_back(Index value);
  // Turns the runs into a plain vector when that is smaller, and frees spare capacity.
  void compact();

  Index size() const { return size_; }
  bool empty() const { return size_ == 0; }
  std::vector<Index> expand() const;
  std::size_t heapBytes() const;

  // Reads the values in order.
  class Reader {
   public:
    explicit Reader(const IndexList& list) : list_(list) {}
    bool done() const { return read_ >= list_.size_; }
    Index value() const;  // the current value; only while !done()
    void next();

   private:
    const IndexList& list_;
    Index read_ = 0;
    std::size_t run_ = 0;
    Index offset_ = 0;
  };

 private:
  struct Run {
    Index first;
    Index count;
  };
  std::vector<Run> runs_;  // the form while building, and when it is the smaller one
  std::vector<Index> plain_;
  Index size_ = 0;
};

// The selected positions of a list: as runs or single positions when that is smaller, else one
// bit per entry (so a selection never costs more than an eighth of a byte per entry).
class SelectionSet {
 public:
  SelectionSet() = default;
  explicit SelectionSet(const std::vector<std::uint8_t>& flags);
  Index count() const { return count_; }
  // Sets flags[i] for each selected position i below flags.size().
  void mark(std::vector<std::uint8_t>& flags) const;
  // Whether `flags`, of which `selectedCount` are set, select exactly these positions.
  bool sameAs(const std::vector<std::uint8_t>& flags, Index selectedCount) const;
  std::size_t heapBytes() const;

 private:
  IndexList positions_;
  std::vector<bool> bits_;  // used instead of positions_ when not empty
  Index count_ = 0;
};

// How a rebuild names a kept entry: "<new number>   " and the file name part of its old display
// name (remove, delete invalid, sort, random order), or the file name of its path (crop; an
// address keeps what it showed).
enum class KeptNames { FromDisplayName, FromPath };

// Selection, list indexes and current track as a rebuild found them.
struct ListCursor {
  Index currenttrack = kNone;
  Index listIndex1 = kNone;
  Index listIndex2 = kNone;
  SelectionSet selected;
};

struct UndoStep {
  enum class Kind { Remove, Reorder, Append };
  Kind kind = Kind::Append;
  KeptNames naming = KeptNames::FromDisplayName;
  // Remove: the removed positions in the list before, ascending. Reorder: the old position of the
  // entry at each new position.
  IndexList positions;
  // Remove and Reorder: the number each kept entry showed before, in its old order; 0 where its
  // whole old name is in oldNames.
  IndexList oldNumbers;
  // Kept entries whose old name was not "<number>   <the file name part of the new name>", by old
  // position, ascending. While the step is undone the strings are back in the list.
  std::vector<std::pair<Index, std::string>> oldNames;
  // Remove, while done: the removed entries. Append, while undone: the appended entries.
  std::vector<std::string> paths;
  std::vector<std::string> names;
  Index appended = 0;  // Append: how many
  std::uint64_t intake = 0;  // Append: the intake that brought them (0: none)
  ListCursor before;   // Remove and Reorder: as the command found it
  std::size_t bytes = 0;

  // Recounts `bytes`: the step itself and everything it holds on the heap.
  void count();
};

class UndoHistory {
 public:
  // Steps kept: recording one more forgets the oldest.
  static constexpr std::size_t kLevels = 50;

  bool canUndo() const { return done_ > 0; }
  bool canRedo() const { return done_ < steps_.size(); }
  std::size_t undoLevels() const { return done_; }
  std::size_t redoLevels() const { return steps_.size() - done_; }
  // What the history holds: its own bookkeeping and every step's bytes.
  std::size_t bytes() const;
  void clear();

  // A change took the entries from revision `before` to `after` (PlaylistModel::revision). A
  // history that did not describe `before` is forgotten first, and the redo steps always are.
  void record(UndoStep step, std::uint64_t before, std::uint64_t after);
  // A rebuild that changed no entry still gave the list a new revision.
  void unchanged(std::uint64_t before, std::uint64_t after);
  // The steps apply to the list at this revision.
  bool describes(std::uint64_t revision) const { return revision == revision_; }
  UndoStep& nextUndo() { return steps_[done_ - 1]; }
  UndoStep& nextRedo() { return steps_[done_]; }
  void undid(std::uint64_t after);
  void redid(std::uint64_t after);
  // `appended` entries came at the end, from revision `before` to `after`: one more step, or more
  // of the last one when it is the same intake's and nothing came between.
  void recordAppend(Index appended, std::uint64_t before, std::uint64_t after, std::uint64_t intake);

 private:
  std::deque<UndoStep> steps_;
  std::size_t done_ = 0;  // steps_[0, done_) can be undone, steps_[done_, size) redone
  std::uint64_t revision_ = 0;
};

}  // namespace sonavex
