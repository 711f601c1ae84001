#pragma once
// Services that need a person or the desktop: message boxes, the shared file dialog `cd1`, the
// folder picker and the busy pointer; and a writer that keeps the disk off the UI thread. The windows provide Qt implementations; tests answer them.
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace sonavex {

enum class MsgButtons { Ok, YesNo };
enum class MsgIcon { None, Information, Critical };
enum class MsgAnswer { Ok, Yes, No };

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  virtual MsgAnswer show(const std::string& text, const std::string& title, MsgButtons buttons,
                         MsgIcon icon) = 0;
  // An OK notice that never blocks: the caller goes on at once and the notice stays up until the
  // user closes it.
  virtual void notify(const std::string& text, const std::string& title, MsgIcon icon) = 0;
};

// The common file dialog `cd1`. Its settings and its last selection persist between uses.
// After ShowOpen/ShowSave, FileName holds the selection text: "" when nothing was chosen, one full
// path, or (several files) the folder, NUL, name, NUL, name... with no NUL at the end. Paths are
// bytes as the file system gives them.
class FileDialog {
 public:
  virtual ~FileDialog() = default;
  std::string Filter;       // "description|pattern|description|pattern..."
  long Flags = 0;           // 0x200: several files may be chosen
  int MaxFileSize = 260;    // longest selection text the dialog may return
  std::string FileName;     // the selection text
  std::string FileTitle;    // the file name alone, for a single choice
  virtual void ShowOpen() = 0;
  virtual void ShowSave() = 0;
};

inline constexpr long kAllowMultiSelect = 0x200;
inline constexpr long kExplorerStyle = 0x80000;

class FolderPicker {
 public:
  virtual ~FolderPicker() = default;
  // The full path of the chosen folder, or "" on cancel.
  virtual std::string BrowseForFolder(const std::string& title) = 0;
};

class BusyPointer {
 public:
  virtual ~BusyPointer() = default;
  virtual void setBusy(bool busy) = 0;
};

// Shows the busy pointer for its lifetime.
class BusyScope {
 public:
  explicit BusyScope(BusyPointer* pointer) : pointer_(pointer) {
    if (pointer_) pointer_->setBusy(true);
  }
  ~BusyScope() {
    if (pointer_) pointer_->setBusy(false);
  }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  BusyPointer* pointer_;
};

struct ProgramCommand {
  std::string program;  // full path
  std::vector<std::string> arguments;
  bool operator==(const ProgramCommand&) const = default;
};

// Starts another program without waiting for it.
class ProgramStarter {
 public:
  virtual ~ProgramStarter() = default;
  virtual bool startDetached(const ProgramCommand& command) = 0;
};

// The program's event loop.
class EventLoop {
 public:
  virtual ~EventLoop() = default;
  // Ends the program at once: no window is asked whether it may close.
  virtual void quit() = 0;
  // Lets the events that are waiting run (the next button does, so that a click that came during a
  // long list operation is handled first).
  virtual void runPending() = 0;
};

// Writes files on a thread of its own, one after another, so that the UI thread never waits on the
// disk for them. Each write replaces its file atomically; a failure is told to the write's `done`,
// or without one on standard error.
class BackgroundWriter {
 public:
  virtual ~BackgroundWriter() = default;
  // Queues a write of the file; `bytes` makes what it holds, on the writer's thread (a long list
  // takes a while to write out). A write to the same file that has not begun yet is dropped: only
  // the latest bytes matter (and only the latest `done` runs). `done` runs on the writer's thread
  // with the outcome and the reason of a failure.
  virtual void write(std::string path, std::function<std::string()> bytes,
                     std::function<void(bool written, const std::string& reason)> done = {}) = 0;
  // Returns once every queued write has ended.
  virtual void waitIdle() = 0;
};

// Brings list work back to the program's thread. wake() may be called from any thread and carries
// nothing: it only makes the event loop call what was set with onWake() soon. What crosses between
// threads goes through the core's own hand-over point (ListWork's mailbox), under its lock.
class ListWake {
 public:
  virtual ~ListWake() = default;
  virtual void onWake(std::function<void()> drain) = 0;
  virtual void wake() = 0;
};

// Fetches what an http(s) address holds (a playlist), blocking: called on an intake's producer
// thread, never the program's. Follows at most 5 redirects, to http(s) only; gives up after
// `timeoutMs`, past `maxBytes`, or soon once `cancelled` says so. False (and a reason for the
// user in `error`) on any failure.
struct Fetched {
  std::string bytes;
  std::string address;  // where they came from, after the redirects
  std::string error;
};
class RemoteFiles {
 public:
  virtual ~RemoteFiles() = default;
  virtual bool fetch(const std::string& address, std::size_t maxBytes, int timeoutMs,
                     const std::function<bool()>& cancelled, Fetched& got) = 0;
};

struct Platform {
  MessageBoxes* messages = nullptr;
  FileDialog* cd1 = nullptr;
  FolderPicker* folders = nullptr;
  BusyPointer* busy = nullptr;
  ProgramStarter* programs = nullptr;
  EventLoop* loop = nullptr;
  BackgroundWriter* writer = nullptr;
  ListWake* listWake = nullptr;  // none: list work runs at once, on the calling thread
  RemoteFiles* remote = nullptr;  // none: a playlist at an address cannot be fetched
};

}  // namespace sonavex
