#include "engine/gst/NextTrack.h"

#include <gst/gst.h>
#include <gst/pbutils/pbutils.h>
#include <sys/stat.h>

#include <algorithm>

#include "engine/gst/GstStart.h"

namespace sonavex {

namespace {
constexpr std::size_t kPathsKept = 64;
}  // namespace

NextTrack::NextTrack() : checker_([this] { check(); }) {}

NextTrack::~NextTrack() {
  {
    const std::lock_guard hold(lock_);
    stopping_ = true;
  }
  toCheck_.notify_all();
  checker_.join();
}

void NextTrack::check() {
  std::unique_lock hold(lock_);
  for (;;) {
    // Not before the first open: a player that is never played never starts GStreamer.
    toCheck_.wait(hold, [this] { return stopping_ || (current_ != 0 && !unchecked_.empty()); });
    if (stopping_) return;
    const std::string path = std::move(unchecked_.front());
    unchecked_.pop_front();
    if (playable_.count(path) > 0) continue;
    hold.unlock();
    const std::optional<double> playable = looksPlayable(path);
    hold.lock();
    if (playable_.size() >= kPathsKept) playable_.clear();
    playable_[path] = playable;
  }
}

std::optional<std::optional<double>> NextTrack::checked(const std::string& path) {
  const std::lock_guard hold(lock_);
  const auto found = playable_.find(path);
  if (found == playable_.end()) return std::nullopt;
  return found->second;
}

void NextTrack::follow(unsigned generation) {
  {
    const std::lock_guard hold(lock_);
    current_ = generation;
    taken_.clear();
    startedAtDoor_ = joinedAtSink_ = 0;
    currentStarted_ = currentJoined_ = false;
    dropping_.store(false, std::memory_order_release);
  }
  toCheck_.notify_all();
}

void NextTrack::queue(std::vector<std::string> upcoming) {
  bool added = false;
  {
    const std::lock_guard hold(lock_);
    for (const std::string& path : upcoming) {
      if (playable_.count(path) == 0 && std::find(unchecked_.begin(), unchecked_.end(), path) == unchecked_.end()) {
        unchecked_.push_back(path);
        added = true;
      }
    }
  }
  // Asked after every command, the clock's and the title's ticks too: the checker wakes only for
  // a path it has not looked at.
  if (added) toCheck_.notify_all();
  const std::lock_guard hold(lock_);
  upcoming_ = std::move(upcoming);
  bool broken = false;  // once one is withdrawn, those after it follow another stream
  for (std::size_t i = 0; i < taken_.size(); ++i) {
    Entry& entry = taken_[i];
    const bool wanted = !broken && i < upcoming_.size() && upcoming_[i] == entry.taken.path;
    // One that has passed the sink's door plays: too late to withdraw. One wanted again before
    // it starts plays after all.
    if (i >= startedAtDoor_) entry.withdrawn = !wanted;
    broken = broken || !wanted;
  }
}

void NextTrack::adoptFirst() {
  const std::lock_guard hold(lock_);
  if (taken_.empty()) return;
  current_ = taken_.front().taken.generation;
  taken_.pop_front();
  currentStarted_ = currentJoined_ = true;
  if (startedAtDoor_ > 0) --startedAtDoor_;
  if (joinedAtSink_ > 0) --joinedAtSink_;
  if (!upcoming_.empty()) upcoming_.erase(upcoming_.begin());
}

void NextTrack::withdraw() {
  const std::lock_guard hold(lock_);
  for (std::size_t i = startedAtDoor_; i < taken_.size(); ++i) taken_[i].withdrawn = true;
}

bool NextTrack::awaitingStart() const {
  const std::lock_guard hold(lock_);
  return startedAtDoor_ < taken_.size();
}

bool NextTrack::taken() const {
  const std::lock_guard hold(lock_);
  return !taken_.empty() && !taken_.front().withdrawn;
}

NextTrack::Taken NextTrack::firstTaken() const {
  const std::lock_guard hold(lock_);
  return taken_.empty() ? Taken{} : taken_.front().taken;
}

std::optional<NextTrack::Taken> NextTrack::take(unsigned asking, unsigned (*numbered)(void*),
                                                void* numbering) {
  std::string path;
  std::size_t position = 0;
  {
    const std::lock_guard hold(lock_);
    if (asking != current_) {
      while (position < taken_.size() && taken_[position].taken.generation != asking) ++position;
      if (position == taken_.size()) return std::nullopt;  // a stream no longer followed
      ++position;
    }
    if (position != taken_.size() || dropping() || position >= upcoming_.size()) return std::nullopt;
    if (position > 0 && taken_[position - 1].withdrawn) return std::nullopt;
    path = upcoming_[position];
  }
  // Found out ahead, usually; else here, outside the lock (it opens the file).
  if (path.empty()) return std::nullopt;
  const std::optional<std::optional<double>> known = checked(path);
  const std::optional<double> seconds = known ? *known : looksPlayable(path);
  if (!seconds) return std::nullopt;
  const std::lock_guard hold(lock_);
  // The program may have changed its mind meanwhile.
  if (taken_.size() != position || position >= upcoming_.size() || upcoming_[position] != path) {
    return std::nullopt;
  }
  Entry entry{{path, numbered(numbering), *seconds}, false};
  taken_.push_back(entry);
  return entry.taken;
}

bool NextTrack::dropsAtStart(bool* dropStarts) {
  const std::lock_guard hold(lock_);
  *dropStarts = false;
  if (dropping_.load(std::memory_order_relaxed)) return true;
  if (!currentStarted_) {  // the current stream's own start (it may come after a follower was taken)
    currentStarted_ = true;
    return false;
  }
  if (startedAtDoor_ >= taken_.size()) return false;  // the first stream, or one not taken
  const bool withdrawn = taken_[startedAtDoor_++].withdrawn;
  if (withdrawn) {
    dropping_.store(true, std::memory_order_release);
    *dropStarts = true;
  }
  return withdrawn;
}

unsigned NextTrack::joinsAtSink() {
  const std::lock_guard hold(lock_);
  if (!currentJoined_) {
    currentJoined_ = true;
    return 0;
  }
  if (joinedAtSink_ >= startedAtDoor_ || joinedAtSink_ >= taken_.size()) return 0;
  return taken_[joinedAtSink_++].taken.generation;
}

std::optional<double> looksPlayable(const std::string& path) {
  struct stat info {};
  if (path.find('\0') != std::string::npos || ::stat(path.c_str(), &info) != 0 ||
      !S_ISREG(info.st_mode) || info.st_size == 0) {
    return std::nullopt;
  }
  // Looked at as the player would open it, up to its first sound: found, demuxed and decodable.
  if (std::string ignored; !startGstreamer(ignored)) return std::nullopt;
  GstDiscoverer* discoverer = gst_discoverer_new(2 * GST_SECOND, nullptr);
  gchar* uri = gst_filename_to_uri(path.c_str(), nullptr);
  if (discoverer == nullptr || uri == nullptr) {
    g_free(uri);
    if (discoverer != nullptr) g_object_unref(discoverer);
    return std::nullopt;
  }
  GstDiscovererInfo* found = gst_discoverer_discover_uri(discoverer, uri, nullptr);
  std::optional<double> playable;
  if (found != nullptr && gst_discoverer_info_get_result(found) == GST_DISCOVERER_OK) {
    GList* audio = gst_discoverer_info_get_audio_streams(found);
    const GstClockTime length = gst_discoverer_info_get_duration(found);
    if (audio != nullptr) {
      playable = GST_CLOCK_TIME_IS_VALID(length) ? static_cast<double>(length) / GST_SECOND : 0.0;
    }
    gst_discoverer_stream_info_list_free(audio);
  }
  if (found != nullptr) gst_discoverer_info_unref(found);
  g_free(uri);
  g_object_unref(discoverer);
  return playable;
}

}  // namespace sonavex
