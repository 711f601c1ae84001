// Undo and redo of the playlist commands: the current entry that follows its entry, deletion from
// the disk, random runs of every command against a history of snapshots (its depth, steps that must
// not be recorded, redo dropped by a new step), and what the history holds, the selection too.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

#include "core/model/CommandLine.h"
#include "core/AddCommands.h"
#include "core/OrderCommands.h"
#include "core/RemoveCommands.h"
#include "core/Transport.h"
#include "core/FileDrop.h"
#include "core/ListActions.h"
#include "core/PlaylistFile.h"
#include "core/Shuffle.h"
#include "core/UndoableEdits.h"
#include "tests/core/Kit.h"

namespace sonavex {
namespace {

using kit::multi;
using kit::Paths;
using kit::Scene;
using kit::TempTree;
using Command = std::function<void(Scene&)>;

using State = std::tuple<Paths, Paths, std::vector<std::uint8_t>, Index, Index, Index, std::optional<Index>>;
State state(const Scene& s) {
  const PlaylistModel& l = s.core.list;
  return {l.paths(),      l.displayNames(), l.selectionFlags(),         l.listIndex1(),
          l.listIndex2(), s.core.currenttrack, s.core.shared.tracknumber};
}

// Between the steps a track is played by double click; the current entry then follows it.
TEST(Undo, TheCurrentEntryFollowsItsEntryOrBecomesNoneWhenItIsGone) {
  const struct { const char* name; Command run; Index playAfterDo; std::string afterUndo; Index playAfterUndo;
                 std::string afterRedo; } rows[] = {
      {"remove selected", [](Scene& s) { s.select({1, 3}); cmdsel_Click(s.core); }, 2, "/m/b.mp3", 1, ""},
      {"sort by name", [](Scene& s) { cmdname_Click(s.core); }, 1, "/m/b.mp3", 0, "/m/f.mp3"},
      {"add files", [](Scene& s) { s.dialog.selection = "/m/new"; cmdfile_Click(s.core); }, 6, "", 2, "/m/d.mp3"},
  };
  const auto play = [](Scene& s, Index row) {
    s.core.list.setListIndex2(row);
    cpvcoollist2_DblClick(s.core);
    s.startStream(100);
  };
  const auto expectCurrent = [](const Scene& s, const std::string& path) {
    const Index at = s.core.currenttrack;
    const PlaylistModel& l = s.core.list;
    const auto number = s.core.shared.tracknumber;
    EXPECT_EQ(std::tuple(l.path(at), at == kNone || !path.empty(), l.listIndex1(), l.listIndex2(), number),
              std::tuple(path, true, at, at, at + 1));
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Scene s(0, 1, 0);
    s.add({"/m/f.mp3", "/m/e.mp3", "/m/d.mp3", "/m/c.mp3", "/m/b.mp3", "/m/a.mp3"});
    row.run(s);
    play(s, row.playAfterDo);
    const std::size_t calls = s.engine.calls.size();
    ASSERT_TRUE(undo(s.core));
    expectCurrent(s, row.afterUndo);
    play(s, row.playAfterUndo);
    ASSERT_TRUE(redo(s.core));
    expectCurrent(s, row.afterRedo);
    EXPECT_EQ(s.engine.calls.size(), calls + 1) << "only the second double click opened a track";
    EXPECT_EQ(s.engine.state, kPlaying);
  }
}

// Deleting a file forgets every step, since one could bring back an entry of the deleted file;
// a deletion that was refused or deleted nothing leaves the history alone.
TEST(Undo, DeletingFilesFromTheDiskCannotBeUndoneAndLeavesNoStepThatWouldBringThemBack) {
  TempTree t;
  // After the first step the list is b.mp3, a.mp3, c.mp3 and, where a row adds it, a relative path
  // that deletion refuses.
  const struct { const char* name; bool confirm, all, relative; std::vector<Index> selected; bool forgets; } rows[] = {
      {"selected files", true, false, false, {1, 2}, true}, {"all files", true, true, false, {}, true},
      {"refused", false, false, false, {1, 2}, false},      {"first file fails", true, false, true, {3}, false},
      {"second file fails", true, false, true, {1, 3}, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const Paths files{t.file("a.mp3"), t.file("b.mp3"), t.file("c.mp3")};
    Scene s;
    s.add({files[0], files[1], files[0], files[2]});
    if (row.relative) s.add({"relative.mp3"});
    s.core.list.markEntry(0);
    cmdsel_Click(s.core);  // the first a.mp3 goes; undo would bring it back
    s.dialog.selection = "/m/x.mp3";
    cmdfile_Click(s.core);
    undo(s.core);  // and a step to redo
    s.select(row.selected);
    s.messages.answer = row.confirm ? MsgAnswer::Yes : MsgAnswer::No;
    row.all ? mnudelfromharddisk_Click(s.core) : mnudelfromdisk_Click(s.core);
    const Paths now = s.paths();
    EXPECT_EQ(std::pair(s.core.history.canUndo(), s.core.history.canRedo()), std::pair(!row.forgets, !row.forgets));
    EXPECT_EQ(undo(s.core), !row.forgets);
    if (row.forgets) {
      EXPECT_EQ(s.paths(), now);
    }
    for (const auto& f : files) std::remove(f.c_str());
  }
}

// Long random runs of every command, plays, undos and redos against a plain list of snapshots; undo
// and redo never touch the engine.
TEST(Undo, RandomRunsMatchAHistoryOfWholeSnapshots) {
  TempTree t;
  t.file("tree/x.mp3");
  t.file("tree/sub/y.wav");
  const std::string plt = t.write("list.plt", "/l/one.mp3\r\n/l/two.mp3\r\n");
  kit::TestRandom pick(5);
  Scene s(0, 1, 1);
  for (int i = 0; i < 12; ++i)  // some on disk, so that deleting invalid entries keeps some
    s.core.list.appendRaw(i % 2 ? t.file(std::to_string(i % 5) + ".mp3") : "/r/" + std::to_string(i % 5) + ".mp3",
                          i % 4 ? std::to_string(i) + "   x" : "raw");
  rebuildShuffleOrder(s.core);
  bool cancel = false;
  const Command commands[] = {
      [](Scene& c) { cmdsel_Click(c.core); },
      [](Scene& c) { mnucrop_Click(c.core); },
      [](Scene& c) { cmdname_Click(c.core); },
      [](Scene& c) { cmdrnd_Click(c.core); },
      [](Scene& c) { cmdfile_Click(c.core); },
      [](Scene& c) { cmdfile_Click(c.core); },
      [](Scene& c) { if (c.core.list.count() > 30) cmdall_Click(c.core); },
      [](Scene& c) { if (c.core.list.count() > 20) mnuinvalid_Click(c.core); },
      // Cancelled or finding nothing at times: a command that changes no entry must record nothing.
      [&](Scene& c) { c.folders.folder = cancel ? "" : t.path("tree"); cmddir_Click(c.core); },
      [&](Scene& c) { filedragging(c.core, {t.path(cancel ? "none" : "tree")}); },
      [&](Scene& c) { openCommandLinePaths(c.core, commandLinePaths({"file://" + t.path("u.mp3"), plt}, t.root)); },
      [&](Scene& c) { c.dialog.selection = cancel ? "" : plt; cmdload_Click(c.core); },
  };
  using Entries = std::pair<Paths, Paths>;
  const auto entries = [&s] { return Entries(s.paths(), s.names()); };
  std::vector<Entries> snapshots{entries()};
  std::size_t at = 0;
  for (int round = 0; round < 3000; ++round) {
    const int what = pick.below(3 + static_cast<int>(std::size(commands)));
    if (what < 2) {
      const bool undoing = what == 0;
      const bool possible = undoing ? at > 0 : at + 1 < snapshots.size();
      const std::size_t calls = s.engine.calls.size();
      ASSERT_EQ(undoing ? undo(s.core) : redo(s.core), possible) << round;
      at = possible ? (undoing ? at - 1 : at + 1) : at;
      ASSERT_EQ(std::pair(entries(), s.engine.calls.size()), std::pair(snapshots[at], calls)) << round;
    } else if (what == 2) {
      s.core.list.setListIndex2(pick.below(std::max<Index>(s.core.list.count(), 1)));
      cpvcoollist2_DblClick(s.core);
    } else {
      s.core.list.listrefreshing();
      for (Index i = 0; i < s.core.list.count(); ++i) s.core.list.setSelected(i, pick.below(3) == 0);
      cancel = pick.below(3) == 0;
      const std::string chosen = multi({"/add", "a" + std::to_string(round) + ".mp3", "b.mp3"});
      s.dialog.selection = cancel ? "" : chosen.substr(0, pick.below(20));
      commands[what - 3](s);
      if (entries() != snapshots[at]) {
        snapshots.resize(at + 1);
        snapshots.push_back(entries());
        if (snapshots.size() > UndoHistory::kLevels + 1) snapshots.erase(snapshots.begin());
        at = snapshots.size() - 1;
      }
    }
    const PlaylistModel& l = s.core.list;
    const auto& flags = l.selectionFlags();
    ASSERT_EQ(std::count(flags.begin(), flags.end(), 1), l.selectedCount());
    ASSERT_TRUE(l.listIndex1() < l.count() && l.listIndex2() < l.count() && s.shuffleCoversList()) << round;
  }
  EXPECT_EQ(snapshots.size(), UndoHistory::kLevels + 1) << "the runs reached the oldest step";
}

TEST(Undo, AChangeTheHistoryDidNotRecordMakesItForgetRatherThanApplyStepsToAnotherList) {
  Scene s(4);
  s.core.list.markEntry(1);
  cmdsel_Click(s.core);
  s.core.list.assign({"/e/1.mp3", "/e/2.mp3", "/e/3.mp3"}, Paths(3, "x"));  // as many as the step expects
  const State now = state(s);
  EXPECT_FALSE(undo(s.core));
  EXPECT_EQ(std::pair(state(s), s.core.history.canUndo()), std::pair(now, false));
}

std::size_t heldBytes(const Paths& strings) {
  std::size_t bytes = 0;
  for (const auto& s : strings)
    bytes += sizeof s + (s.capacity() > std::string().capacity() ? s.capacity() + 1 : 0);
  return bytes;
}

// The history holds what a step took away, the selection it cleared (at most a bit per entry) and
// a few hundred bytes besides, never a second copy of the entries that are in the list.
TEST(Undo, TheHistoryHoldsOnlyWhatItsStepsTookAway) {
  constexpr int n = 20000;
  constexpr std::size_t slack = 1024 + n / 8;
  Scene s;
  for (int i = 0; i < n; ++i) s.core.list.appendEntry("/a/rather/long/folder/name/" + std::to_string(n - i) + ".mp3");
  for (int i = 0; i < n; i += 2) s.core.list.setSelected(i, true);
  const std::vector<std::uint8_t> selected = s.core.list.selectionFlags();
  const std::size_t entries = heldBytes(s.core.list.paths()) + heldBytes(s.core.list.displayNames());
  const std::size_t empty = s.core.history.bytes();
  constexpr std::size_t order = n * sizeof(Index);  // a permutation, plainly
  const struct { const char* name; Command run; std::size_t atLeast, atMost, undoneAtMost; } rows[] = {
      {"remove all", [](Scene& c) { cmdall_Click(c.core); }, entries, entries + slack, slack},
      {"sort by name", [](Scene& c) { cmdname_Click(c.core); }, order, order + slack, order + slack},
      {"random order", [](Scene& c) { cmdrnd_Click(c.core); }, 0, order / 4, order / 4},  // runs: few entries move
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    row.run(s);
    const std::size_t done = s.core.history.bytes() - empty;
    EXPECT_TRUE(done >= row.atLeast && done <= row.atMost) << done;
    undo(s.core);
    EXPECT_LE(s.core.history.bytes() - empty, row.undoneAtMost);
    EXPECT_EQ(s.core.list.selectionFlags(), selected) << "the selection comes back";
    redo(s.core);
    EXPECT_EQ(s.core.history.bytes() - empty, done);
    EXPECT_EQ(s.core.list.selectedCount(), 0);
    undo(s.core);
    s.core.history.clear();
  }
  s.dialog.selection = multi({"/new", "a.mp3", "b.mp3"});
  cmdfile_Click(s.core);
  EXPECT_LE(s.core.history.bytes() - empty, slack);
  const Paths& paths = s.core.list.paths();
  const Paths& names = s.core.list.displayNames();
  const std::size_t appended =
      heldBytes({paths.end() - 2, paths.end()}) + heldBytes({names.end() - 2, names.end()});
  undo(s.core);
  EXPECT_GE(s.core.history.bytes() - empty, appended);
}

}  // namespace
}  // namespace sonavex
