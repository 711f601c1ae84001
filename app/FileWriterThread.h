#pragma once
// The background writer on a thread of its own (see BackgroundWriter in core/model/Platform.h).
// The thread starts with the first write; destroying the writer finishes the queued writes first.
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "core/model/Platform.h"

namespace sonavex {

class FileWriterThread final : public BackgroundWriter {
 public:
  FileWriterThread() = default;
  ~FileWriterThread() override;
  FileWriterThread(const FileWriterThread&) = delete;
  FileWriterThread& operator=(const FileWriterThread&) = delete;

  void write(std::string path, std::function<std::string()> bytes,
             std::function<void(bool, const std::string&)> done = {}) override;
  void waitIdle() override;

 private:
  void run();

  std::mutex mutex_;
  std::condition_variable changed_;
  struct Write {
    std::string path;
    std::function<std::string()> bytes;
    std::function<void(bool, const std::string&)> done;
  };
  std::deque<Write> queue_;  // oldest first
  bool writing_ = false;
  bool stopping_ = false;
  std::thread thread_;
};

}  // namespace sonavex
