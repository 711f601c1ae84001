#pragma once
// One thread that runs jobs in the order they were posted. Every call into GStreamer that can wait
// runs here: a state change opens files and sound servers and waits for streaming threads, a
// flushing seek waits for them too, and building the first pipeline reads the plugin registry.
// The UI thread only posts.
#include <functional>
#include <memory>

namespace sonavex {

class PipelineWorker {
 public:
  PipelineWorker();
  // Runs the jobs already posted, then ends. A job stuck for good (a file that never opens) is
  // left behind after a few seconds rather than holding the program's exit: jobs therefore own
  // what they use and never point at their poster.
  ~PipelineWorker();
  PipelineWorker(const PipelineWorker&) = delete;
  PipelineWorker& operator=(const PipelineWorker&) = delete;

  void post(std::function<void()> job);

 private:
  struct Queue;
  std::shared_ptr<Queue> queue_;
};

}  // namespace sonavex
