#include "engine/gst/PipelineWorker.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace sonavex {

namespace {
constexpr auto kExitPatience = std::chrono::seconds(3);
}

struct PipelineWorker::Queue {
  std::mutex lock;
  std::condition_variable wake;
  std::condition_variable done;
  std::deque<std::function<void()>> jobs;
  bool quitting = false;
  bool finished = false;

  void run() {
    std::unique_lock hold(lock);
    for (;;) {
      wake.wait(hold, [this] { return quitting || !jobs.empty(); });
      if (jobs.empty()) break;
      std::function<void()> job = std::move(jobs.front());
      jobs.pop_front();
      hold.unlock();
      job();
      job = nullptr;  // what it held goes here, not under the lock
      hold.lock();
    }
    finished = true;
    done.notify_all();
  }
};

PipelineWorker::PipelineWorker() : queue_(std::make_shared<Queue>()) {
  std::thread([queue = queue_] { queue->run(); }).detach();
}

PipelineWorker::~PipelineWorker() {
  std::unique_lock hold(queue_->lock);
  queue_->quitting = true;
  queue_->wake.notify_all();
  queue_->done.wait_for(hold, kExitPatience, [this] { return queue_->finished; });
}

void PipelineWorker::post(std::function<void()> job) {
  std::lock_guard hold(queue_->lock);
  queue_->jobs.push_back(std::move(job));
  queue_->wake.notify_one();
}

}  // namespace sonavex
