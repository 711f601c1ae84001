#include "app/ListWorkerThread.h"

namespace sonavex {

ListWorkerThread::~ListWorkerThread() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
    jobs_.clear();
  }
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void ListWorkerThread::run(std::function<void()> work, std::function<void()> done) {
  {
    const std::lock_guard lock(mutex_);
    jobs_.emplace_back(std::move(work), std::move(done));
  }
  if (!thread_.joinable()) thread_ = std::thread([this] { loop(); });
  wake_.notify_all();
}

void ListWorkerThread::loop() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
    if (stopping_) return;
    auto [work, done] = std::move(jobs_.front());
    jobs_.pop_front();
    lock.unlock();
    work();
    work = nullptr;  // what the job held is freed here, not on the program's thread
    // Queued on this object: once it is destroyed, nothing of it runs any more.
    QMetaObject::invokeMethod(this, std::move(done), Qt::QueuedConnection);
    lock.lock();
  }
}

}  // namespace sonavex
