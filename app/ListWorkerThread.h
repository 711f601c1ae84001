#pragma once
// The list jobs' worker (ListWorker in core/model/Platform.h): one thread, jobs in order; each job's
// `done` is posted to the program's event loop. Destroying it finishes the job under way and drops
// what has not begun, and no `done` runs after it.
#include <QObject>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <utility>

#include "core/model/Platform.h"

namespace sonavex {

class ListWorkerThread final : public QObject, public ListWorker {
  Q_OBJECT
 public:
  ListWorkerThread() = default;
  ~ListWorkerThread() override;

  void run(std::function<void()> work, std::function<void()> done) override;

 private:
  void loop();

  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::pair<std::function<void()>, std::function<void()>>> jobs_;
  bool stopping_ = false;
  std::thread thread_;
};

}  // namespace sonavex
