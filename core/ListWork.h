#pragma once
// What takes long on a long list runs off the program's thread, and the list the user sees stays
// live throughout: it plays, scrolls, is selected from and edited while the work goes on.
//
// An intake produces entries (a folder scan, a playlist file, a drop, the restore, the command line,
// a hand-over, the file dialog's choice) on a thread of its own and hands them over as they come;
// the program's thread appends them to the list in slices short enough to keep the event loop
// answering. Intakes run side by side, each merging after whatever was done meanwhile; an intake
// started as `First` (the restore) merges before every intake started after it. An intake's
// appends are one step of the undo history while nothing else comes between them.
//
// An edit changes the whole list (remove, crop, delete invalid, sort, random order, undo, redo, a
// new shuffle order). It is computed on the edit thread from a snapshot of the list state holding
// the user's selection of the moment the command was given, and applied in one step. Edits run one
// at a time in the order given, and intakes append nothing while one is under way, so the list it
// was computed from is the list it applies to. At the apply, whatever the program's thread changed
// meanwhile (the selection, the marked row, the current track) follows its entry.
//
// Nothing else waits for list work: transport, engine events, the media controls, the clock and
// exit run at once. The one hand-over point between the threads is ListWork's mailbox (and each
// intake's buffer), under their locks. Without core.platform.listWake all of it runs at once on the
// calling thread.
#include <functional>
#include <memory>
#include <string>

#include "core/Core.h"
#include "core/model/ErrorReport.h"

namespace sonavex {

// What a producer adds to; used on the intake's own thread.
class IntakeSink {
 public:
  virtual ~IntakeSink() = default;
  // False, and the entry is left out, for a path holding a NUL byte: it would name another file.
  // `stationName`: what an address shows, as its list names it (see PlaylistModel::appendEntry).
  virtual bool add(std::string path, std::string stationName = {}) = 0;
  // Told once the intake is over (see ErrorReport).
  virtual void error(const std::string& text) = 0;
  // The program ends: stop soon; nothing more will be merged.
  virtual bool cancelled() const = 0;
  // The intake named nothing to add at all: it leaves the shuffle order as it is (any other intake
  // rebuilds it at its end, as every command that may change the entries does).
  virtual void namedNothing() {}
};

using Produce = std::function<void(IntakeSink&)>;

// Appends at once to a list, for producing on the program's thread; errors are kept.
class ListSink : public IntakeSink {
 public:
  explicit ListSink(PlaylistModel& list) : list_(list) {}
  bool add(std::string path, std::string stationName = {}) override {
    return list_.appendEntry(std::move(path), stationName);
  }
  void error(const std::string& text) override { errors.add(text); }
  bool cancelled() const override { return false; }
  ErrorReport errors;

 private:
  PlaylistModel& list_;
};

// What an intake brought, for its `then` on the program's thread.
struct IntakeResult {
  Index first = kNone;  // where its first entry is now; -1 when none came
  Index count = 0;      // entries merged
  ErrorReport errors;
};

enum class IntakeOrder { AsTheyCome, First };

void runIntake(Core& core, Produce produce,
               std::function<void(Core&, const IntakeResult&)> then = {},
               IntakeOrder order = IntakeOrder::AsTheyCome);

// `work` runs on the edit thread on a snapshot (or on the core itself without a worker); it must
// not touch the engine nor ask anyone anything. `then` runs on the program's thread once applied.
void runListEdit(Core& core, std::function<void(ListState&)> work,
                 std::function<void(Core&)> then = {});

// An intake or an edit is under way.
bool listBusy(const Core& core);
// Intakes and edits run on threads (else at once, on the calling thread).
bool listWorkOnThreads(const Core& core);
// Once core.platform.listWake is set: its wake drains the list work, and intakes and edits run on
// threads when `onThreads` (otherwise at once, as without a wake).
void connectListWork(Core& core, bool onThreads);
// Lets another thread have a task run on the program's thread, in order, once the event loop comes
// round (at once, on the calling thread, without a wake); tasks posted after the core is gone are
// dropped.
std::function<void(std::function<void(Core&)>)> programPost(Core& core);
// The program ends: intakes stop soon, nothing more is merged or applied.
void endListWork(Core& core);

// The program's side: set up once the platform is (core.platform.listWake), and torn down with the
// core, which first stops the intakes and waits for the threads.
class ListWork {
 public:
  explicit ListWork(Core& core);
  ~ListWork();
  ListWork(const ListWork&) = delete;
  ListWork& operator=(const ListWork&) = delete;

  // On the program's thread: merges a slice of what the intakes brought and applies finished edits.
  void drain();

  struct State;

 private:
  std::unique_ptr<State> state_;
  friend void runIntake(Core&, Produce, std::function<void(Core&, const IntakeResult&)>,
                        IntakeOrder);
  friend void runListEdit(Core&, std::function<void(ListState&)>, std::function<void(Core&)>);
  friend bool listBusy(const Core&);
  friend bool listWorkOnThreads(const Core&);
  friend void connectListWork(Core&, bool);
  friend std::function<void(std::function<void(Core&)>)> programPost(Core&);
  friend void endListWork(Core&);
};

}  // namespace sonavex
