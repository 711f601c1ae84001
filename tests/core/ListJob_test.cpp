// List jobs on a worker give exactly what the same commands give at once, in the order asked, while
// the list shows what it held until each job is over.
#include <gtest/gtest.h>

#include <mutex>
#include <thread>

#include "core/Command.h"
#include "core/FileDrop.h"
#include "core/ListJob.h"
#include "core/OrderCommands.h"
#include "core/RemoveCommands.h"
#include "core/Shuffle.h"
#include "core/UndoableEdits.h"
#include "tests/core/Kit.h"

namespace sonavex {
namespace {

using kit::Scene;

// Runs each job's work on a thread of its own and keeps its `done` until pump(), as the program's
// event loop keeps it until it comes round.
struct ThreadWorker : ListWorker {
  void run(std::function<void()> work, std::function<void()> done) override {
    threads.emplace_back([this, work = std::move(work), done = std::move(done)] {
      work();
      const std::lock_guard hold(lock);
      finished.push_back(done);
    });
  }
  void pump() {
    while (!threads.empty()) {
      std::vector<std::thread> running = std::move(threads);
      for (std::thread& thread : running) thread.join();
      std::vector<std::function<void()>> ready;
      {
        const std::lock_guard hold(lock);
        ready.swap(finished);
      }
      for (auto& done : ready) done();
    }
  }
  std::vector<std::thread> threads;
  std::mutex lock;
  std::vector<std::function<void()>> finished;
};

TEST(ListJobs, OnAWorkerTheCommandsGiveWhatTheyGiveAtOnceInTheOrderAsked) {
  kit::TempTree t;
  for (const char* name : {"b.mp3", "sub/a.mp3", "c.wav", "sub/deep/d.mp3", "e.ogg", "f.mp3"}) t.file(name);
  const std::vector<std::function<void(Core&)>> commands{
      [&t](Core& core) { filedragging(core, {t.root, "/gone/x.mp3"}); },
      cmdname_Click,
      [](Core& core) {
        for (Index i = 0; i < core.list.count(); i += 2) core.list.setSelected(i, true);
      },
      cmdsel_Click,
      [](Core& core) { undo(core); },
      [](Core& core) {
        core.chkshuffle = 1;
        chkshuffle_Click(core);
      },
      cmdrnd_Click,
      [](Core& core) { redo(core); },
      mnuinvalid_Click,
  };
  Scene now(3), later(3);
  ThreadWorker worker;
  later.core.platform.jobs = &worker;
  for (const auto& command : commands) perform(now.core, command);
  for (const auto& command : commands) perform(later.core, command);
  // The drop runs; everything after it waits, and the list shows what it held.
  EXPECT_TRUE(listBusy(later.core));
  EXPECT_EQ(later.core.list.count(), 3);
  EXPECT_EQ(later.core.waitingCommands.size(), commands.size() - 1);
  worker.pump();

  EXPECT_FALSE(listBusy(later.core));
  // The messages are told after the job, not lost.
  const auto outcome = [](const Scene& s) {
    return std::tuple(s.paths(), s.names(), s.core.list.selectionFlags(), s.core.List5.entries(),
                      s.core.history.canUndo(), s.messages.shown);
  };
  EXPECT_EQ(outcome(later), outcome(now));
  // The busy pointer showed while jobs ran, and shows no more.
  EXPECT_EQ(std::count(later.busy.changes.begin(), later.busy.changes.end(), true),
            std::count(later.busy.changes.begin(), later.busy.changes.end(), false));
  EXPECT_GT(later.busy.changes.size(), now.busy.changes.size());
}

}  // namespace
}  // namespace sonavex
