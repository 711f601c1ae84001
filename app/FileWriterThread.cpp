#include "app/FileWriterThread.h"

#include <algorithm>
#include <iostream>

#include "core/LastPlaylist.h"
#include "core/PlaylistFile.h"

namespace sonavex {

FileWriterThread::~FileWriterThread() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void FileWriterThread::write(std::string path, std::function<std::string()> bytes,
                             std::function<void(bool, const std::string&)> done) {
  {
    const std::lock_guard lock(mutex_);
    const auto waiting = std::find_if(queue_.begin(), queue_.end(),
                                      [&path](const Write& queued) { return queued.path == path; });
    if (waiting != queue_.end()) {
      waiting->bytes = std::move(bytes);
      waiting->done = std::move(done);
    } else {
      queue_.push_back({std::move(path), std::move(bytes), std::move(done)});
    }
  }
  if (!thread_.joinable()) thread_ = std::thread([this] { run(); });
  changed_.notify_all();
}

void FileWriterThread::waitIdle() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return queue_.empty() && !writing_; });
}

void FileWriterThread::run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
    if (queue_.empty()) return;  // stopping, with nothing left to write
    Write next = std::move(queue_.front());
    queue_.pop_front();
    writing_ = true;
    lock.unlock();
    std::string reason;
    const bool written = writeFileAtomically(next.path, next.bytes(), &reason);
    next.bytes = nullptr;  // what it held (a list's entries) goes here
    if (next.done) {
      next.done(written, reason);
    } else if (!written) {
      std::cerr << saveFailureText(next.path, reason) << std::flush;
    }
    lock.lock();
    writing_ = false;
    changed_.notify_all();
  }
}

}  // namespace sonavex
