#include "core/ListJob.h"

#include <memory>
#include <vector>

#include "core/Command.h"

namespace sonavex {

namespace {

// Keeps what a job would tell the user, to be told on the program's thread afterwards, in order.
class KeptMessages : public MessageBoxes {
 public:
  MsgAnswer show(const std::string& text, const std::string& title, MsgButtons buttons,
                 MsgIcon icon) override {
    kept_.push_back({false, text, title, buttons, icon});
    return buttons == MsgButtons::Ok ? MsgAnswer::Ok : MsgAnswer::No;
  }
  void notify(const std::string& text, const std::string& title, MsgIcon icon) override {
    kept_.push_back({true, text, title, MsgButtons::Ok, icon});
  }
  void tellTo(MessageBoxes* messages) const {
    if (messages == nullptr) return;
    for (const Told& told : kept_) {
      if (told.notice) {
        messages->notify(told.text, told.title, told.icon);
      } else {
        messages->show(told.text, told.title, told.buttons, told.icon);
      }
    }
  }

 private:
  struct Told {
    bool notice;
    std::string text, title;
    MsgButtons buttons;
    MsgIcon icon;
  };
  std::vector<Told> kept_;
};

// What state a job works on and hands back: everything a list command reads or changes.
void copyState(Core& to, const Core& from) {
  to.chkloop = from.chkloop;
  to.chkshuffle = from.chkshuffle;
  to.shared = from.shared;
  to.face = from.face;
  to.vol = from.vol;
  to.checks = from.checks;
  to.decimalSeparator = from.decimalSeparator;
  to.lastPlaylist = from.lastPlaylist;
  to.ending = from.ending;
}

struct Job {
  explicit Job(Core& core) : copy(engine, core.rng), list(core.list) {
    copyState(copy, core);
    copy.list.adopt(std::move(list));
    copy.List5 = std::move(core.List5);
    copy.history = std::move(core.history);
    copy.platform.messages = &messages;
  }
  NoMediaEngine engine;  // a job has no business with the player
  KeptMessages messages;
  Core copy;
  PlaylistModel list;  // the core's entries, shared until written
};

}  // namespace

void runListJob(Core& core, std::function<void(Core&)> work, std::function<void(Core&)> then) {
  if (core.platform.jobs == nullptr) {
    work(core);
    if (then) then(core);
    return;
  }
  if (core.listJobRunning) {  // from a `then` of the job before: after the commands waiting
    core.waitingCommands.push_back([&core, work = std::move(work), then = std::move(then)] {
      runListJob(core, work, then);
    });
    return;
  }
  auto job = std::make_shared<Job>(core);
  core.listJobRunning = true;
  if (core.platform.busy != nullptr) core.platform.busy->setBusy(true);
  core.platform.jobs->run([job, work = std::move(work)] { work(job->copy); },
                          [&core, job, then = std::move(then)] {
                            std::shared_ptr<const void> givenUp = core.list.adopt(std::move(job->copy.list));
                            core.List5 = std::move(job->copy.List5);
                            core.history = std::move(job->copy.history);
                            copyState(core, job->copy);
                            // A long list takes a while to free: not on the program's thread.
                            core.platform.jobs->run([givenUp = std::move(givenUp)] {}, [] {});
                            if (core.platform.busy != nullptr) core.platform.busy->setBusy(false);
                            // Over: from here on (a box below waits on a person) commands run.
                            core.listJobRunning = false;
                            if (core.observer != nullptr) core.observer->coreChanged();
                            job->messages.tellTo(core.platform.messages);
                            if (then) perform(core, then);
                            runWaitingCommands(core);
                          });
}

void runAfterListJob(Core& core, std::function<void(Core&)> then) {
  if (!core.listJobRunning) {
    then(core);
    return;
  }
  // First in the queue: it belongs to the job, before whatever the user asked for meanwhile.
  core.waitingCommands.push_front([&core, then = std::move(then)] { perform(core, then); });
}

void runWaitingCommands(Core& core) {
  while (!core.listJobRunning && !core.waitingCommands.empty()) {
    std::function<void()> next = std::move(core.waitingCommands.front());
    core.waitingCommands.pop_front();
    next();
  }
}

}  // namespace sonavex
