#include "core/UndoableEdits.h"

#include <charconv>
#include <iterator>
#include <memory>

#include "core/Shuffle.h"
#include "core/ListWork.h"
#include "core/model/StreamAddress.h"

namespace sonavex {

namespace {

using Strings = std::vector<std::string>;

// n when `name` is exactly makeDisplayName(n, filePart) for a number n >= 0, else -1: then the
// name can be made again from n and the file part, and need not be kept.
Index numberOf(std::string_view name, std::string_view filePart) {
  const std::size_t tail = kNameSeparator.size() + filePart.size();
  if (name.size() <= tail || !name.ends_with(filePart)) return kNone;
  const std::string_view digits = name.substr(0, name.size() - tail);
  if (name.substr(digits.size(), kNameSeparator.size()) != kNameSeparator) return kNone;
  if (digits[0] < '0' || digits[0] > '9' || (digits[0] == '0' && digits.size() > 1)) return kNone;
  Index n = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
  return error == std::errc() && end == digits.data() + digits.size() ? n : kNone;
}

// An address keeps what it shows: its station name comes from its list, not from its path.
std::string_view filePartFor(KeptNames naming, const std::string& path, const std::string& name) {
  return naming == KeptNames::FromPath && !isStreamAddress(path) ? fileNameOf(path)
                                                                 : fileNamePartOf(name);
}

// Selection, list indexes and current track before an undo or redo changes the list.
struct Was {
  Index currenttrack;
  Index listIndex1;
  Index listIndex2;
  Index selectedCount;
  std::vector<std::uint8_t> flags;
};

Was was(const ListState& core) {
  return {core.currenttrack, core.list.listIndex1(), core.list.listIndex2(),
          core.list.selectedCount(), core.list.selectionFlags()};
}

ListCursor cursorOf(const ListState& core) {
  ListCursor cursor{core.currenttrack, core.list.listIndex1(), core.list.listIndex2(), {}};
  if (core.list.selectedCount() > 0) cursor.selected = SelectionSet(core.list.selectionFlags());
  return cursor;
}

bool sameCursor(const Was& now, const ListCursor& cursor) {
  if (now.currenttrack != cursor.currenttrack || now.listIndex1 != cursor.listIndex1 ||
      now.listIndex2 != cursor.listIndex2)
    return false;
  return cursor.selected.sameAs(now.flags, now.selectedCount);
}

// As a rebuild leaves them: nothing selected, no list index, the current track untouched.
bool asRebuildLeft(const Was& now, const ListCursor& before) {
  return now.listIndex1 == kNone && now.listIndex2 == kNone && now.selectedCount == 0 &&
         now.currenttrack == before.currenttrack;
}

void setCurrentTrack(ListState& core, Index track) { core.currenttrack = track; }

void putCursor(ListState& core, const ListCursor& cursor) {
  std::vector<std::uint8_t> flags(static_cast<std::size_t>(core.list.count()), 0);
  cursor.selected.mark(flags);
  core.list.setSelectionFlags(std::move(flags));
  core.list.setListIndex1(cursor.listIndex1);
  core.list.setListIndex2(cursor.listIndex2);
  setCurrentTrack(core, cursor.currenttrack);
}

// Each of them follows its entry: `to` holds the new position of each old one (-1: gone).
void follow(ListState& core, const Was& old, const std::vector<Index>& to) {
  const auto moved = [&to](Index i) {
    return i >= 0 && i < static_cast<Index>(to.size()) ? to[static_cast<std::size_t>(i)] : kNone;
  };
  std::vector<std::uint8_t> flags(static_cast<std::size_t>(core.list.count()), 0);
  for (std::size_t i = 0; i < old.flags.size() && i < to.size(); ++i)
    if (old.flags[i] != 0 && to[i] != kNone) flags[static_cast<std::size_t>(to[i])] = 1;
  core.list.setSelectionFlags(std::move(flags));
  core.list.setListIndex1(moved(old.listIndex1));
  core.list.setListIndex2(moved(old.listIndex2));
  setCurrentTrack(core, moved(old.currenttrack));
}

template <class T>
void release(std::vector<T>& v) {
  std::vector<T>().swap(v);
}

// --- Removal -------------------------------------------------------------------------------------

// Takes the entries at the step's positions out into the step and renames the kept ones, as the
// command did. The kept entries' odd old names go into the step too.
void removeForward(ListState& core, UndoStep& step, std::vector<Index>& to) {
  Strings paths, names;
  core.list.takeEntries(paths, names);
  const auto n = static_cast<Index>(paths.size());
  const auto removed = static_cast<std::size_t>(step.positions.size());
  Strings keptPaths, keptNames;
  keptPaths.reserve(paths.size() - removed);
  keptNames.reserve(paths.size() - removed);
  step.paths.reserve(removed);
  step.names.reserve(removed);
  to.assign(paths.size(), kNone);
  Index next = 0;
  const auto keepUpTo = [&](Index end) {
    for (; next < end; ++next) {
      const auto at = static_cast<std::size_t>(next);
      to[at] = static_cast<Index>(keptPaths.size());
      keptNames.push_back(makeDisplayName(static_cast<Index>(keptNames.size()) + 1,
                                          filePartFor(step.naming, paths[at], names[at])));
      keptPaths.push_back(std::move(paths[at]));
    }
  };
  for (IndexList::Reader r(step.positions); !r.done(); r.next()) {
    const Index p = r.value();
    keepUpTo(p);
    step.paths.push_back(std::move(paths[static_cast<std::size_t>(p)]));
    step.names.push_back(std::move(names[static_cast<std::size_t>(p)]));
    next = p + 1;
  }
  keepUpTo(n);
  for (auto& [p, name] : step.oldNames) name = std::move(names[static_cast<std::size_t>(p)]);
  core.list.assign(std::move(keptPaths), std::move(keptNames));
}

// Puts the removed entries back at their positions and gives the kept ones their old names.
void removeBackward(ListState& core, UndoStep& step, std::vector<Index>& to) {
  Strings paths, names;
  core.list.takeEntries(paths, names);
  const std::size_t total = paths.size() + step.paths.size();
  Strings allPaths, allNames;
  allPaths.reserve(total);
  allNames.reserve(total);
  to.assign(paths.size(), kNone);
  IndexList::Reader removed(step.positions), number(step.oldNumbers);
  auto odd = step.oldNames.begin();
  std::size_t r = 0, k = 0;
  for (std::size_t p = 0; p < total; ++p) {
    if (!removed.done() && static_cast<std::size_t>(removed.value()) == p) {
      allPaths.push_back(std::move(step.paths[r]));
      allNames.push_back(std::move(step.names[r++]));
      removed.next();
      continue;
    }
    to[k] = static_cast<Index>(p);
    if (odd != step.oldNames.end() && static_cast<std::size_t>(odd->first) == p) {
      allNames.push_back(std::move((odd++)->second));
    } else {
      allNames.push_back(makeDisplayName(number.value(), fileNamePartOf(names[k])));
    }
    number.next();
    allPaths.push_back(std::move(paths[k++]));
  }
  release(step.paths);
  release(step.names);
  core.list.assign(std::move(allPaths), std::move(allNames));
}

// --- Reorder -------------------------------------------------------------------------------------

void reorderForward(ListState& core, UndoStep& step, std::vector<Index>& to) {
  Strings paths, names;
  core.list.takeEntries(paths, names);
  Strings newPaths, newNames;
  newPaths.reserve(paths.size());
  newNames.reserve(paths.size());
  to.assign(paths.size(), kNone);
  for (IndexList::Reader r(step.positions); !r.done(); r.next()) {
    const auto from = static_cast<std::size_t>(r.value());
    to[from] = static_cast<Index>(newPaths.size());
    newNames.push_back(
        makeDisplayName(static_cast<Index>(newNames.size()) + 1, fileNamePartOf(names[from])));
    newPaths.push_back(std::move(paths[from]));
  }
  for (auto& [p, name] : step.oldNames) name = std::move(names[static_cast<std::size_t>(p)]);
  core.list.assign(std::move(newPaths), std::move(newNames));
}

void reorderBackward(ListState& core, UndoStep& step, std::vector<Index>& to) {
  Strings paths, names;
  core.list.takeEntries(paths, names);
  to = step.positions.expand();  // the entry now at k goes back to its old position to[k]
  std::vector<Index> at(to.size());
  for (std::size_t k = 0; k < to.size(); ++k)
    at[static_cast<std::size_t>(to[k])] = static_cast<Index>(k);
  Strings oldPaths, oldNames;
  oldPaths.reserve(paths.size());
  oldNames.reserve(paths.size());
  IndexList::Reader number(step.oldNumbers);
  auto odd = step.oldNames.begin();
  for (std::size_t p = 0; p < at.size(); ++p, number.next()) {
    const auto k = static_cast<std::size_t>(at[p]);
    if (odd != step.oldNames.end() && static_cast<std::size_t>(odd->first) == p) {
      oldNames.push_back(std::move((odd++)->second));
    } else {
      oldNames.push_back(makeDisplayName(number.value(), fileNamePartOf(names[k])));
    }
    oldPaths.push_back(std::move(paths[k]));
  }
  core.list.assign(std::move(oldPaths), std::move(oldNames));
}

// --- Append --------------------------------------------------------------------------------------

void appendBackward(ListState& core, UndoStep& step, std::vector<Index>& to) {
  Strings paths, names;
  core.list.takeEntries(paths, names);
  const std::size_t kept = paths.size() - static_cast<std::size_t>(step.appended);
  const auto tail = [kept](Strings& all, Strings& into) {
    into.assign(std::make_move_iterator(all.begin() + static_cast<std::ptrdiff_t>(kept)),
                std::make_move_iterator(all.end()));
    all.resize(kept);
  };
  tail(paths, step.paths);
  tail(names, step.names);
  to.assign(kept + static_cast<std::size_t>(step.appended), kNone);
  for (std::size_t i = 0; i < kept; ++i) to[i] = static_cast<Index>(i);
  core.list.assign(std::move(paths), std::move(names));
}

void appendForward(ListState& core, UndoStep& step, std::vector<Index>& to) {
  to.resize(static_cast<std::size_t>(core.list.count()));
  for (std::size_t i = 0; i < to.size(); ++i) to[i] = static_cast<Index>(i);
  for (std::size_t i = 0; i < step.paths.size(); ++i)
    core.list.appendRaw(std::move(step.paths[i]), std::move(step.names[i]));
  release(step.paths);
  release(step.names);
}

// --- Undo and redo -------------------------------------------------------------------------------

// Whether the step fits a list of `count` entries in the given direction. With the revision check
// it always does; this keeps a broken step from reading out of bounds.
bool fits(const UndoStep& step, Index count, bool undoing) {
  switch (step.kind) {
    case UndoStep::Kind::Remove: {
      const Index kept = step.oldNumbers.size(), removed = step.positions.size();
      const bool held = static_cast<Index>(step.paths.size()) == removed &&
                        static_cast<Index>(step.names.size()) == removed;
      return undoing ? count == kept && held : count == kept + removed;
    }
    case UndoStep::Kind::Reorder:
      return count == step.positions.size() && count == step.oldNumbers.size();
    case UndoStep::Kind::Append:
      return undoing ? step.appended <= count
                     : static_cast<Index>(step.paths.size()) == step.appended &&
                           step.names.size() == step.paths.size();
  }
  return false;
}

bool applyStep(ListState& core, bool undoing) {
  UndoHistory& history = core.history;
  if (undoing ? !history.canUndo() : !history.canRedo()) return false;
  UndoStep& step = undoing ? history.nextUndo() : history.nextRedo();
  if (!history.describes(core.list.revision()) || !fits(step, core.list.count(), undoing)) {
    history.clear();
    return false;
  }
  PlaylistBatch batch(core.list);
  const Was now = was(core);
  std::vector<Index> to;
  switch (step.kind) {
    case UndoStep::Kind::Remove:
      undoing ? removeBackward(core, step, to) : removeForward(core, step, to);
      break;
    case UndoStep::Kind::Reorder:
      undoing ? reorderBackward(core, step, to) : reorderForward(core, step, to);
      break;
    case UndoStep::Kind::Append:
      undoing ? appendBackward(core, step, to) : appendForward(core, step, to);
      break;
  }
  noteMoves(core, to);
  const bool rebuild = step.kind != UndoStep::Kind::Append;
  if (rebuild && undoing && asRebuildLeft(now, step.before)) {
    putCursor(core, step.before);
  } else if (rebuild && !undoing && sameCursor(now, step.before)) {
    // As the command left it: the rebuild selected nothing and left the current track alone.
  } else {
    follow(core, now, to);
  }
  if (step.kind != UndoStep::Kind::Reorder) rebuildShuffleOrder(core);
  step.count();
  undoing ? history.undid(core.list.revision()) : history.redid(core.list.revision());
  return true;
}

}  // namespace

void removeEntries(ListState& core, const std::vector<bool>& keep, KeptNames naming) {
  PlaylistModel& list = core.list;
  PlaylistBatch batch(list);
  const std::uint64_t before = list.revision();
  UndoStep step;
  step.kind = UndoStep::Kind::Remove;
  step.naming = naming;
  step.before = cursorOf(core);
  bool changed = false;
  Index kept = 0;
  for (Index p = 0; p < list.count(); ++p) {
    const auto at = static_cast<std::size_t>(p);
    if (at >= keep.size() || !keep[at]) {
      step.positions.push_back(p);
      changed = true;
      continue;
    }
    const std::string& name = list.displayName(p);
    const Index number = numberOf(name, filePartFor(naming, list.path(p), name));
    ++kept;
    if (number == kNone) step.oldNames.emplace_back(p, std::string());
    step.oldNumbers.push_back(number == kNone ? 0 : number);
    changed = changed || number != kept;
  }
  step.positions.compact();
  step.oldNumbers.compact();
  std::vector<Index> to;
  removeForward(core, step, to);
  noteMoves(core, to);
  if (!changed) return core.history.unchanged(before, list.revision());
  step.count();
  core.history.record(std::move(step), before, list.revision());
}

void reorderEntries(ListState& core, std::vector<Index> order) {
  PlaylistModel& list = core.list;
  const Index n = list.count();
  if (static_cast<Index>(order.size()) != n) return;
  std::vector<bool> seen(order.size());
  for (const Index from : order) {
    if (from < 0 || from >= n || seen[static_cast<std::size_t>(from)]) return;
    seen[static_cast<std::size_t>(from)] = true;
  }
  PlaylistBatch batch(list);
  const std::uint64_t before = list.revision();
  UndoStep step;
  step.kind = UndoStep::Kind::Reorder;
  step.before = cursorOf(core);
  // Equal entries that swap places change nothing.
  bool changed = false;
  for (Index k = 0; k < n && !changed; ++k) {
    const Index from = order[static_cast<std::size_t>(k)];
    changed = (from != k && list.path(from) != list.path(k)) ||
              numberOf(list.displayName(k), fileNamePartOf(list.displayName(from))) != k + 1;
  }
  for (Index p = 0; p < n; ++p) {
    const std::string& name = list.displayName(p);
    const Index number = numberOf(name, fileNamePartOf(name));
    if (number == kNone) step.oldNames.emplace_back(p, std::string());
    step.oldNumbers.push_back(number == kNone ? 0 : number);
  }
  step.oldNumbers.compact();
  step.positions = IndexList(std::move(order));
  std::vector<Index> to;
  reorderForward(core, step, to);
  noteMoves(core, to);
  if (!changed) return core.history.unchanged(before, list.revision());
  step.count();
  core.history.record(std::move(step), before, list.revision());
}

// Off the program's thread the step is applied later: what can be said at once is whether there
// may be one (an edit under way holds the history). At once, whether there was.
static bool undoOrRedo(Core& core, bool undoing) {
  auto some = std::make_shared<bool>(listBusy(core) ||
                                     (undoing ? core.history.canUndo() : core.history.canRedo()));
  const bool atOnce = !listWorkOnThreads(core);
  runListEdit(core, [undoing, some, atOnce](ListState& state) {
    const bool applied = applyStep(state, undoing);
    if (atOnce) *some = applied;
  });
  return *some;
}

bool undo(Core& core) { return undoOrRedo(core, true); }

bool redo(Core& core) { return undoOrRedo(core, false); }

void forgetHistory(ListState& core) { core.history.clear(); }

}  // namespace sonavex
