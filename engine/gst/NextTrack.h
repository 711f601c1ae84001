#pragma once
// What follows the playing stream without a gap. The program's thread says, whenever it changes,
// which paths come next in order (queue()); a streaming thread takes the one for the stream that
// has just been read to its end (take(), at about-to-finish), at once, without asking anyone.
//
// A stream taken is withdrawn when the paths change after it was taken: where it would start it
// is dropped instead (dropsAtStart()), so the stream before it plays to its own end and is never
// cut; the program then opens whatever its rules choose. The streams taken start in the order they
// were taken, each after the one before.
//
// Shared by the program's thread and streaming threads: every member locks.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace sonavex {

class NextTrack {
 public:
  NextTrack();
  ~NextTrack();
  NextTrack(const NextTrack&) = delete;
  NextTrack& operator=(const NextTrack&) = delete;

  struct Taken {
    std::string path;
    unsigned generation = 0;
    double seconds = 0;  // its length, as found out before it was taken (0: unknown)
  };

  // The program's thread: a stream of this generation is the current one, with nothing after it.
  void follow(unsigned generation);
  // The program's thread: the paths that follow the current stream, in the order they will play.
  void queue(std::vector<std::string> upcoming);
  // The program's thread: the first stream taken is the current one now.
  void adoptFirst();
  // The streams taken are withdrawn (one of them failed).
  void withdraw();
  // Whether a stream taken has not started at the sink yet (withdrawn or not).
  bool awaitingStart() const;
  // Whether a stream was taken to follow the current one (and still is).
  bool taken() const;
  // The first stream taken (an empty path when none).
  Taken firstTaken() const;

  // A streaming thread, at about-to-finish of stream `asking`: the path to set as the next URI and
  // the generation its stream will carry, or nothing. `numbered` gives out a generation.
  std::optional<Taken> take(unsigned asking, unsigned (*numbered)(void*), void* numbering);
  // A streaming thread, where each stream starts in front of the sink: whether this one is dropped
  // (a stream withdrawn, or one after it). True once tells that the drop starts here.
  bool dropsAtStart(bool* dropStarts);
  // Whether streams are being dropped (until the next follow()); read without the lock.
  bool dropping() const { return dropping_.load(std::memory_order_acquire); }
  // The bus's sync handler, at a stream's start at the sink: the generation of the stream taken
  // that starts now, or 0.
  unsigned joinsAtSink();

 private:
  struct Entry {
    Taken taken;
    bool withdrawn = false;
  };
  // Whether each path queued would play, found out on a thread of its own as soon as the path is
  // queued (once a stream has been opened), so that the streaming thread only looks it up.
  void check();
  std::optional<std::optional<double>> checked(const std::string& path);

  mutable std::mutex lock_;
  std::condition_variable toCheck_;
  std::deque<std::string> unchecked_;
  std::map<std::string, std::optional<double>> playable_;  // the latest paths looked at
  bool stopping_ = false;
  unsigned current_ = 0;
  std::vector<std::string> upcoming_;
  std::deque<Entry> taken_;
  // Starts seen at the sink's door and at the sink: first the current stream's own, then those of
  // the streams taken, one each.
  bool currentStarted_ = false;
  bool currentJoined_ = false;
  std::size_t startedAtDoor_ = 0;
  std::size_t joinedAtSink_ = 0;
  std::atomic<bool> dropping_{false};
  std::thread checker_;  // last: it stops before the rest goes
};

// Whether a file would open and play: a regular file that is not empty, with a stream of sound that
// GStreamer can decode. Only such a file is handed over; any other is opened, and fails, after the
// stream before it has ended. Its length in seconds (0 when unknown), or nothing when it would not
// play.
std::optional<double> looksPlayable(const std::string& path);

}  // namespace sonavex
