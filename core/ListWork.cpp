#include "core/ListWork.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "core/Command.h"
#include "core/CurrentTrack.h"
#include "core/Shuffle.h"

namespace sonavex {

namespace {

using Clock = std::chrono::steady_clock;
// A merge slice ends after this long, so the event loop answers in between.
constexpr auto kSlice = std::chrono::milliseconds(8);
// How long the end of the program waits for producers to finish, and then to stop.
constexpr auto kEndPatience = std::chrono::milliseconds(250);

// Where a thread leaves what the program's thread is to run, and wakes it.
struct Mailbox {
  std::mutex lock;
  std::deque<std::function<void(Core&)>> posted;
  ListWake* wake = nullptr;

  void post(std::function<void(Core&)> task) {
    {
      const std::lock_guard hold(lock);
      posted.push_back(std::move(task));
    }
    if (wake != nullptr) wake->wake();
  }
  std::deque<std::function<void(Core&)>> take() {
    const std::lock_guard hold(lock);
    return std::exchange(posted, {});
  }
};

// Selection, list indexes and current track: what a command acts on, and what follows its entry.
struct Cursor {
  std::vector<std::uint8_t> flags;
  Index listIndex1 = kNone;
  Index listIndex2 = kNone;
  Index currenttrack = kNone;
};

Cursor cursorOf(const ListState& state) {
  return {state.list.selectionFlags(), state.list.listIndex1(), state.list.listIndex2(),
          state.currenttrack};
}

Index moved(const std::vector<Index>& moves, Index i) {
  if (moves.empty() || i < 0) return i;
  return i < static_cast<Index>(moves.size()) ? moves[static_cast<std::size_t>(i)] : kNone;
}

std::vector<std::uint8_t> movedFlags(const std::vector<Index>& moves,
                                     const std::vector<std::uint8_t>& flags, Index count) {
  if (moves.empty()) return flags;
  std::vector<std::uint8_t> out(static_cast<std::size_t>(count), 0);
  for (std::size_t i = 0; i < flags.size() && i < moves.size(); ++i) {
    const Index to = moves[i];
    if (flags[i] != 0 && to >= 0 && to < count) out[static_cast<std::size_t>(to)] = 1;
  }
  return out;
}

void moveCursor(Cursor& cursor, const std::vector<Index>& moves, Index count) {
  cursor.flags = movedFlags(moves, cursor.flags, count);
  cursor.listIndex1 = moved(moves, cursor.listIndex1);
  cursor.listIndex2 = moved(moves, cursor.listIndex2);
  cursor.currenttrack = moved(moves, cursor.currenttrack);
}

// One thread that runs jobs in order.
class JobThread {
 public:
  ~JobThread() {
    {
      const std::lock_guard hold(lock_);
      stopping_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();
  }
  void post(std::function<void()> job) {
    {
      const std::lock_guard hold(lock_);
      jobs_.push_back(std::move(job));
    }
    if (!thread_.joinable()) thread_ = std::thread([this] { run(); });
    wake_.notify_all();
  }

 private:
  void run() {
    std::unique_lock hold(lock_);
    for (;;) {
      wake_.wait(hold, [this] { return stopping_ || !jobs_.empty(); });
      if (jobs_.empty()) return;
      std::function<void()> job = std::move(jobs_.front());
      jobs_.pop_front();
      hold.unlock();
      job();
      job = nullptr;  // what it held is freed here
      hold.lock();
    }
  }
  std::mutex lock_;
  std::condition_variable wake_;
  std::deque<std::function<void()>> jobs_;
  bool stopping_ = false;
  std::thread thread_;
};

// One intake: its producer's side (the buffer, under the lock) and the program's side.
struct Intake : IntakeSink {
  // Shared with the producer's thread.
  std::mutex lock;
  struct Arrival {
    std::string path, stationName;
  };
  std::vector<Arrival> ready;  // handed over, not merged yet
  bool finished = false;
  bool reshuffles = true;
  ErrorReport errors;
  std::shared_ptr<Mailbox> mailbox;
  const std::atomic<bool>* cancel = nullptr;

  // The program's thread's own.
  IntakeOrder order = IntakeOrder::AsTheyCome;
  std::uint64_t id = 0;
  std::vector<Arrival> merging;  // taken from `ready`, merged from `mergedUpTo` on
  std::size_t mergedUpTo = 0;
  IntakeResult result;
  std::function<void(Core&, const IntakeResult&)> then;
  std::thread thread;

  // Each entry is handed over as it comes (the lock is the program's thread's for a swap only);
  // the program's thread is woken when it had nothing waiting.
  bool add(std::string path, std::string stationName = {}) override {
    if (hasNulByte(path)) return false;
    bool wasIdle = false;
    {
      const std::lock_guard hold(lock);
      wasIdle = ready.empty();
      ready.push_back({std::move(path), std::move(stationName)});
    }
    if (wasIdle) wakeProgram();
    return true;
  }
  void error(const std::string& text) override {
    const std::lock_guard hold(lock);
    errors.add(text);
  }
  bool cancelled() const override { return cancel != nullptr && cancel->load(std::memory_order_relaxed); }
  void namedNothing() override {
    const std::lock_guard hold(lock);
    reshuffles = false;
  }

  void finish() {
    {
      const std::lock_guard hold(lock);
      finished = true;
    }
    wakeProgram();
  }
  void wakeProgram() {
    if (mailbox && mailbox->wake) mailbox->wake->wake();
  }
};

struct EditJob {
  explicit EditJob(RandomSource& rng) : state(rng) {}
  ListState state;
  std::function<void(ListState&)> work;
  std::function<void(Core&)> then;
  Cursor input;  // what the command acts on, as the user saw it when giving it
  std::uint64_t baseRevision = 0;
  std::uint64_t baseShuffle = 0;
  std::vector<Index> moves;
};

}  // namespace

struct ListWork::State {
  explicit State(Core& c) : core(c), mailbox(std::make_shared<Mailbox>()) {}
  Core& core;
  std::shared_ptr<Mailbox> mailbox;
  bool ending = false;
  std::atomic<bool> cancel{false};  // the producers' signal to stop
  bool threaded = false;  // connected to a listWake, with list work on threads
  std::deque<std::unique_ptr<Intake>> intakes;  // in the order they began
  std::uint64_t nextIntakeId = 1;
  std::shared_ptr<EditJob> running;  // the edit under way
  std::deque<std::shared_ptr<EditJob>> waiting;
  std::deque<std::function<void(Core&)>> thens;  // run after the state is updated
  bool busyShown = false;
  bool draining = false;
  SeededRandom editRandom;  // the edit thread's own draws
  JobThread editThread;     // last: stopped first, while the rest is still whole

  bool useThreads() const { return threaded; }

  bool busy() const { return !intakes.empty() || running || !waiting.empty(); }

  void showBusy() {
    const bool now = busy();
    if (now == busyShown) return;
    busyShown = now;
    if (core.platform.busy != nullptr) core.platform.busy->setBusy(now);
  }

  // --- Intakes ---------------------------------------------------------------------------------

  // Appends what the intake handed over, until the slice's end; true when the intake is over. What
  // was handed over while a slice merged is taken up in the same slice: its wake may have come
  // before that slice began, and none follows once the producer is done. `sliceOver`: it stopped
  // for the slice's end, with more to merge perhaps.
  bool merge(Intake& intake, Clock::time_point sliceEnd, bool whole, bool& sliceOver) {
    PlaylistModel& list = core.list;
    const std::uint64_t before = list.revision();
    const Index from = list.count();
    bool over = false;
    {
      PlaylistBatch batch(list);
      for (sliceOver = false; !sliceOver;) {
        if (intake.mergedUpTo == intake.merging.size()) {
          intake.merging.clear();
          intake.mergedUpTo = 0;
          const std::lock_guard hold(intake.lock);
          intake.merging.swap(intake.ready);
          if (intake.merging.empty()) {
            over = intake.finished;
            break;
          }
        }
        while (intake.mergedUpTo < intake.merging.size()) {
          Intake::Arrival& next = intake.merging[intake.mergedUpTo++];
          list.appendEntry(std::move(next.path), next.stationName);
          sliceOver = !whole && (intake.mergedUpTo & 255) == 0 && Clock::now() >= sliceEnd;
          if (sliceOver) break;
        }
      }
    }
    const Index n = list.count() - from;
    if (n > 0) {
      if (intake.result.first == kNone) intake.result.first = from;
      intake.result.count += n;
      core.history.recordAppend(n, before, list.revision(), intake.id);
    }
    return over;
  }

  void finishIntake(std::unique_ptr<Intake> intake) {
    if (intake->thread.joinable()) intake->thread.join();
    bool reshuffles = true;
    {
      const std::lock_guard hold(intake->lock);
      intake->result.errors = intake->errors;
      reshuffles = intake->reshuffles;
    }
    auto then = std::move(intake->then);
    thens.push_back([result = std::move(intake->result), then = std::move(then), reshuffles](Core& now) {
      if (then) then(now, result);
      // Once for the whole intake: the order only needs to be right after its last entry.
      if (reshuffles && now.chkshuffle == 1) runListEdit(now, rebuildShuffleOrder);
    });
  }

  // Merges what is ready, intake by intake, for one slice (everything when `whole`). At the end of
  // the program everything ready goes in, an edit under way or not: its result is not awaited.
  void mergeIntakes(bool whole) {
    const Clock::time_point sliceEnd = Clock::now() + kSlice;
    for (std::size_t i = 0; i < intakes.size();) {
      if ((running || !waiting.empty()) && !ending) return;  // an edit computes on the list as it is
      if (!whole && Clock::now() >= sliceEnd) {
        mailbox->wake->wake();  // the rest after other events
        return;
      }
      Intake& intake = *intakes[i];
      bool sliceOver = false;
      const bool over = merge(intake, sliceEnd, whole, sliceOver);
      if (over) {
        std::unique_ptr<Intake> done = std::move(intakes[i]);
        intakes.erase(intakes.begin() + static_cast<std::ptrdiff_t>(i));
        finishIntake(std::move(done));
        continue;
      }
      if (sliceOver) {  // the slice ended inside it
        mailbox->wake->wake();
        return;
      }
      if (intake.order == IntakeOrder::First && !ending) return;  // later ones merge after it
      ++i;
    }
  }

  // --- Edits -----------------------------------------------------------------------------------

  void startEdit() {
    if (running || waiting.empty()) return;
    running = std::move(waiting.front());
    waiting.pop_front();
    EditJob& job = *running;
    job.state.list.adopt(PlaylistModel(core.list));
    job.state.list.setSelectionFlags(job.input.flags);
    job.state.list.setListIndex1(job.input.listIndex1);
    job.state.list.setListIndex2(job.input.listIndex2);
    job.state.currenttrack = job.input.currenttrack;
    job.state.List5 = core.List5;
    job.state.chkshuffle = core.chkshuffle;
    // Nothing else records a step while the edit is under way: it has the history.
    job.state.history = std::exchange(core.history, UndoHistory());
    job.baseRevision = core.list.revision();
    job.baseShuffle = core.List5.revision();
    job.state.moves = &job.moves;
    editThread.post([job = running, mail = std::weak_ptr<Mailbox>(mailbox)] {
      job->work(job->state);
      if (auto box = mail.lock()) box->post([job](Core& c) { c.work->state_->applyEdit(job); });
    });
  }

  void applyEdit(const std::shared_ptr<EditJob>& job) {
    if (job != running) return;
    running = nullptr;
    EditJob& done = *job;
    if (core.list.revision() != done.baseRevision) {
      // The list changed under it after all: its history describes no list now, and it runs again
      // on the list as it is.
      core.history = std::move(done.state.history);
      auto again = std::make_shared<EditJob>(editRandom);
      again->work = std::move(done.work);
      again->then = std::move(done.then);
      again->input = std::move(done.input);
      waiting.push_front(std::move(again));
      startEdit();
      return;
    }
    const Cursor live = cursorOf(core);
    std::shared_ptr<const void> givenUp = core.list.adopt(std::move(done.state.list));
    const Index count = core.list.count();
    {
      PlaylistBatch batch(core.list);
      // What the user or the player changed while the edit computed follows its entry.
      if (live.flags != done.input.flags) core.list.setSelectionFlags(movedFlags(done.moves, live.flags, count));
      if (live.listIndex1 != done.input.listIndex1) core.list.setListIndex1(moved(done.moves, live.listIndex1));
      if (live.listIndex2 != done.input.listIndex2) core.list.setListIndex2(moved(done.moves, live.listIndex2));
    }
    core.currenttrack = live.currenttrack != done.input.currenttrack
                            ? moved(done.moves, live.currenttrack)
                            : done.state.currenttrack;
    if (core.shared.tracknumber) currenttracknumber(core);
    if (done.state.List5.revision() != done.baseShuffle) core.List5 = std::move(done.state.List5);
    core.history = std::move(done.state.history);
    for (auto& next : waiting) moveCursor(next->input, done.moves, count);
    for (auto& intake : intakes) intake->result.first = moved(done.moves, intake->result.first);
    // A long list takes a while to free: on the edit thread, not here.
    editThread.post([givenUp = std::move(givenUp), job] {});
    if (done.then) thens.push_back(std::move(done.then));
    startEdit();
  }

  void runThens() {
    while (!thens.empty()) {
      std::function<void(Core&)> then = std::move(thens.front());
      thens.pop_front();
      perform(core, then);
    }
  }
};

ListWork::ListWork(Core& core) : state_(std::make_unique<State>(core)) {}

ListWork::~ListWork() {
  state_->ending = true;
  state_->cancel = true;
  if (state_->threaded && state_->core.platform.listWake != nullptr) state_->core.platform.listWake->onWake({});
  for (auto& intake : state_->intakes)
    if (intake->thread.joinable()) intake->thread.join();
}

void ListWork::drain() {
  State& s = *state_;
  if (s.draining || s.core.ending) return;
  s.draining = true;
  for (auto& task : s.mailbox->take()) task(s.core);
  s.mergeIntakes(false);
  s.showBusy();
  s.draining = false;
  commandDone(s.core);
  s.runThens();
}

void runIntake(Core& core, Produce produce, std::function<void(Core&, const IntakeResult&)> then,
               IntakeOrder order) {
  ListWork::State& s = *core.work->state_;
  if (core.ending) return;
  auto intake = std::make_unique<Intake>();
  intake->order = order;
  intake->id = s.nextIntakeId++;
  intake->then = std::move(then);
  intake->mailbox = s.mailbox;
  intake->cancel = &s.cancel;
  Intake& sink = *intake;
  if (!s.useThreads()) {
    BusyScope busy(core.platform.busy);
    produce(sink);
    sink.finish();
    s.intakes.push_back(std::move(intake));
    s.mergeIntakes(true);
    s.runThens();
    return;
  }
  sink.thread = std::thread([&sink, produce = std::move(produce)] {
    produce(sink);
    sink.finish();
  });
  s.intakes.push_back(std::move(intake));
  s.showBusy();
}

void runListEdit(Core& core, std::function<void(ListState&)> work, std::function<void(Core&)> then) {
  ListWork::State& s = *core.work->state_;
  if (core.ending) return;
  if (!s.useThreads()) {
    BusyScope busy(core.platform.busy);
    work(core);
    if (core.shared.tracknumber) currenttracknumber(core);
    if (then) then(core);
    return;
  }
  auto job = std::make_shared<EditJob>(s.editRandom);
  job->work = std::move(work);
  job->then = std::move(then);
  job->input = cursorOf(core);
  s.waiting.push_back(std::move(job));
  s.startEdit();
  s.showBusy();
}

bool listBusy(const Core& core) { return core.work->state_->busy(); }

bool listWorkOnThreads(const Core& core) { return core.work->state_->threaded; }

void connectListWork(Core& core, bool onThreads) {
  ListWork::State& s = *core.work->state_;
  ListWake* wake = core.platform.listWake;
  if (wake == nullptr) return;
  const std::lock_guard hold(s.mailbox->lock);
  s.mailbox->wake = wake;
  s.threaded = onThreads;
  wake->onWake([&core] { core.work->drain(); });
}

std::function<void(std::function<void(Core&)>)> programPost(Core& core) {
  ListWork::State& s = *core.work->state_;
  if (core.platform.listWake == nullptr) return [&core](std::function<void(Core&)> task) { task(core); };
  return [mail = std::weak_ptr<Mailbox>(s.mailbox)](std::function<void(Core&)> task) {
    if (auto box = mail.lock()) box->post(std::move(task));
  };
}

void endListWork(Core& core) {
  ListWork::State& s = *core.work->state_;
  if (s.ending) return;
  s.ending = true;
  s.waiting.clear();
  // What the intakes bring within a moment is in the list that is saved: a hand-over answered just
  // now is not lost. Longer ones are told to stop, and one stuck in the file system is not waited
  // for long.
  const auto allFinished = [&s](Clock::time_point giveUp) {
    for (auto& intake : s.intakes) {
      for (;;) {
        {
          const std::lock_guard hold(intake->lock);
          if (intake->finished) break;
        }
        if (Clock::now() >= giveUp) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      }
    }
  };
  allFinished(Clock::now() + kEndPatience);
  s.cancel = true;
  allFinished(Clock::now() + kEndPatience);
  s.mergeIntakes(true);
}

void noteMoves(ListState& state, const std::vector<Index>& to) {
  if (state.moves == nullptr) return;
  std::vector<Index>& moves = *state.moves;
  if (moves.empty()) {
    moves = to;
    return;
  }
  for (Index& m : moves) m = m >= 0 && m < static_cast<Index>(to.size()) ? to[static_cast<std::size_t>(m)] : kNone;
}

}  // namespace sonavex
