// List work on its threads: intakes append to the live list as they come, edits apply to what the
// user saw, and nothing else waits for either.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <future>
#include <mutex>

#include "core/Command.h"
#include "core/FileDrop.h"
#include "core/ListWork.h"
#include "core/OrderCommands.h"
#include "core/RemoveCommands.h"
#include "core/Shuffle.h"
#include "core/Transport.h"
#include "core/UndoableEdits.h"
#include "tests/core/Kit.h"

namespace sonavex {
namespace {

using kit::Scene;

// The program's event loop, played by the test's thread: only a wake from the work's threads
// drains, as in the program, so a wake that never comes fails (after two minutes: a hang, not a
// slow machine, which may take long over the large intakes).
struct PumpedWake : ListWake {
  std::function<void()> drain;
  std::mutex lock;
  std::condition_variable woken;
  bool pending = false;
  void onWake(std::function<void()> d) override { drain = std::move(d); }
  void wake() override {
    const std::lock_guard hold(lock);
    pending = true;
    woken.notify_all();
  }
  void pump(const std::function<bool()>& until) {
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (!until()) {
      ASSERT_LT(std::chrono::steady_clock::now(), giveUp) << "the list work never got there";
      std::unique_lock hold(lock);
      if (!woken.wait_for(hold, std::chrono::milliseconds(50), [this] { return pending; })) continue;
      pending = false;
      hold.unlock();
      if (drain) drain();
    }
  }
};

struct WithWake {  // outlives the core, whose threads may wake it until they are joined
  PumpedWake wake;
};

struct Threaded : WithWake, Scene {
  explicit Threaded(int entries = 0) : Scene(entries) {
    core.platform.listWake = &wake;
    connectListWork(core, true);
  }
  void settle() { wake.pump([this] { return !listBusy(core); }); }
};

TEST(ListWork, OnThreadsTheCommandsGiveWhatTheyGiveAtOnce) {
  kit::TempTree t;
  for (const char* name : {"b.mp3", "sub/a.mp3", "c.wav", "sub/deep/d.mp3", "e.ogg", "f.mp3"}) t.file(name);
  const std::vector<std::function<void(Core&)>> commands{
      [&t](Core& core) { filedragging(core, {t.root, "/gone/x.mp3"}); },
      cmdname_Click,
      [](Core& core) { for (Index i = 0; i < core.list.count(); i += 2) core.list.setSelected(i, true); },
      cmdsel_Click,
      [](Core& core) { undo(core); },
      [](Core& core) { redo(core); },
      [](Core& core) { undo(core); },
      mnuinvalid_Click,
      // The edit thread draws from its own source: only the order's shape compares.
      [](Core& core) { core.chkshuffle = 1; chkshuffle_Click(core); },
  };
  Scene now(3);
  Threaded later(3);
  for (const auto& command : commands) perform(now.core, command);
  for (const auto& command : commands) {
    perform(later.core, command);
    later.settle();
  }
  const auto outcome = [](const Scene& s) {
    return std::tuple(s.paths(), s.names(), s.core.list.selectionFlags(), s.core.history.undoLevels(),
                      s.messages.shown, s.messages.notices, s.shuffleCoversList());
  };
  EXPECT_EQ(outcome(later), outcome(now));
  EXPECT_EQ(later.busy.changes.back(), false);  // it showed while work ran, and shows no more
}

TEST(ListWork, WhileAnIntakeRunsTheListPlaysAndIsEditedAndItsEntriesComeAfter) {
  Threaded s(5);
  std::promise<void> go;
  std::atomic<bool> halfway = false;
  runIntake(s.core, [&, gate = go.get_future().share()](IntakeSink& sink) {
    for (int i = 0; i < 3; ++i) sink.add("/scan/a" + std::to_string(i) + ".mp3");
    halfway = true;
    gate.wait();
    for (int i = 0; i < 3; ++i) sink.add("/scan/b" + std::to_string(i) + ".mp3");
  });
  s.wake.pump([&] { return halfway && s.core.list.count() == 8; });
  // Clicks and keys act at once on what is shown: the third row goes, the player goes on.
  s.focus(2);
  perform(s.core, cmdsel_Click);
  perform(s.core, cmdnext_Click);
  EXPECT_EQ(s.engine.lastOpened(), s.core.list.path(3));
  s.wake.pump([&] { return s.core.list.count() == 7; });
  EXPECT_EQ(s.core.list.path(2), kit::Scene::pathOf(3));
  go.set_value();
  s.settle();
  EXPECT_EQ(s.paths(), (kit::Paths{"/music/t0.mp3", "/music/t1.mp3", "/music/t3.mp3", "/music/t4.mp3",
                                   "/scan/a0.mp3", "/scan/a1.mp3", "/scan/a2.mp3", "/scan/b0.mp3",
                                   "/scan/b1.mp3", "/scan/b2.mp3"}));
  // The removal came between the intake's appends, so each run of them undoes on its own.
  ASSERT_TRUE(undo(s.core));
  s.settle();
  EXPECT_EQ(s.core.list.count(), 7);
}

TEST(ListWork, AnIntakeTooLongForOneSliceComesWholeAndThoseAfterItFollowIt) {
  Threaded s;
  const auto many = [](const std::string& name, int n) {
    return [name, n](IntakeSink& sink) {
      for (int i = 0; i < n; ++i) sink.add("/m/" + name + std::to_string(i));
    };
  };
  runIntake(s.core, many("restored", 300000), {}, IntakeOrder::First);
  runIntake(s.core, many("given", 2));
  s.settle();
  ASSERT_EQ(s.core.list.count(), 300002);
  EXPECT_EQ(s.core.list.path(300000), "/m/given0");
}

TEST(ListWork, AnEditActsOnTheSelectionGivenAndWhatChangedMeanwhileFollowsItsEntry) {
  Threaded s(6);
  s.select({1});
  perform(s.core, cmdname_Click);  // computes while the user goes on
  perform(s.core, cmdsel_Click);   // row 1 as the user saw it, whatever the sort does to it
  s.core.list.listrefreshing();
  s.select({4});
  s.settle();
  const kit::Paths paths = s.paths();
  EXPECT_EQ(std::count(paths.begin(), paths.end(), kit::Scene::pathOf(1)), 0);
  ASSERT_EQ(s.core.list.selectedCount(), 1);
  const auto& flags = s.core.list.selectionFlags();
  const Index selected = static_cast<Index>(std::find(flags.begin(), flags.end(), 1) - flags.begin());
  EXPECT_EQ(s.core.list.path(selected), kit::Scene::pathOf(4));
}

}  // namespace
}  // namespace sonavex
