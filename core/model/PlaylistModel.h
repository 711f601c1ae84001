#pragma once
// The playlist: index-parallel lists of full paths (`cpvcoollist1`, hidden) and display names
// (`cpvcoollist2`, shown), the selection flags and list index of the shown list, the list index of
// the path list, and the top index (first visible row).
//
// Paths are bytes exactly as the file system gives them. A display name is the decimal 1-based
// position at the time of the append, three spaces and the file name (the part of the path after
// its last '/'); an http(s) address shows the station name its list gave, or else the whole
// address. Only commands that rebuild the whole list renumber. Indexes are 32-bit; -1 = none.
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace sonavex {

using Index = std::int32_t;
inline constexpr Index kNone = -1;
inline constexpr char kPathSeparator = '/';
inline constexpr std::string_view kNameSeparator = "   ";  // between number and file name

// The file name of a path: everything after its last separator (the whole path if there is none).
std::string_view fileNameOf(std::string_view path);
// The file name part of a display name: everything after the first three spaces ("" if none).
std::string_view fileNamePartOf(std::string_view displayName);
// What an entry shows after its number: the file name, or for an address its station name or
// else the address.
std::string_view shownNameOf(std::string_view path, std::string_view stationName = {});
// "<number>   <fileName>".
std::string makeDisplayName(Index number, std::string_view fileName);
// True when the path holds a NUL byte and so cannot name the file it shows.
inline bool hasNulByte(std::string_view path) { return path.find('\0') != std::string_view::npos; }

// Told what changed so a view can update only those rows. Between beginBatch() and endBatch() the
// changes are merged into one notification.
class PlaylistObserver {
 public:
  virtual ~PlaylistObserver() = default;
  virtual void entriesAppended(Index first, Index count) = 0;
  virtual void entriesReset() = 0;      // any other change: re-read entries and selection
  virtual void selectionChanged() = 0;  // selection flags or list indexes
};

// The paths and display names of a playlist, shared by copies of it (see PlaylistModel).
struct PlaylistEntries {
  std::vector<std::string> paths;
  std::vector<std::string> names;
  std::atomic<long> holders{1};
};

// A counted hold on entries that copies on other threads may share. Whether a hold is the only one
// is read with acquire: a thread that finds itself alone and writes then comes after every other
// holder's reads, whichever thread let go last.
class EntriesHold {
 public:
  EntriesHold() : entries_(new PlaylistEntries) {}
  explicit EntriesHold(PlaylistEntries* entries) : entries_(entries) {}
  EntriesHold(const EntriesHold& other) : entries_(other.entries_) {
    entries_->holders.fetch_add(1, std::memory_order_relaxed);
  }
  EntriesHold(EntriesHold&& other) noexcept : entries_(std::exchange(other.entries_, nullptr)) {}
  EntriesHold& operator=(EntriesHold other) noexcept {
    std::swap(entries_, other.entries_);
    return *this;
  }
  ~EntriesHold() {
    if (entries_ && entries_->holders.fetch_sub(1, std::memory_order_acq_rel) == 1) delete entries_;
  }
  bool alone() const { return entries_->holders.load(std::memory_order_acquire) == 1; }
  PlaylistEntries* operator->() const { return entries_; }
  PlaylistEntries& operator*() const { return *entries_; }

 private:
  PlaylistEntries* entries_;
};

class PlaylistModel {
 public:
  PlaylistModel() = default;
  // A copy shares the entries until either side changes them, so copying a long list is cheap:
  // a list job works on a copy while the shown list stays as it was. It has no observer.
  PlaylistModel(const PlaylistModel& other);
  PlaylistModel& operator=(const PlaylistModel&) = delete;
  // Takes over everything of `other` but the observer, which is told of a reset. Returns the
  // entries given up, so that the caller decides where they are freed (a long list takes a while).
  std::shared_ptr<const void> adopt(PlaylistModel&& other);

  void setObserver(PlaylistObserver* observer) { observer_ = observer; }

  Index count() const { return static_cast<Index>(entries_->paths.size()); }
  bool empty() const { return entries_->paths.empty(); }
  // Out-of-range indexes read as the empty text, like an empty list entry.
  const std::string& path(Index i) const;         // cpvcoollist1(i)
  const std::string& displayName(Index i) const;  // cpvcoollist2(i)
  const std::vector<std::string>& paths() const { return entries_->paths; }
  const std::vector<std::string>& displayNames() const { return entries_->names; }

  // Append entry: the path, and the display name numbered count() + 1 (with `stationName` for an
  // address that has one). A path holding a NUL byte is refused (false): the system calls would
  // stop at the NUL and reach another file than the one shown.
  bool appendEntry(std::string path, std::string_view stationName = {});
  // Appends an entry whose display name is given as it is.
  void appendRaw(std::string path, std::string displayName);
  // Replaces every entry at once; list indexes become -1 and no entry is selected.
  void assign(std::vector<std::string> paths, std::vector<std::string> displayNames);
  // Removes every entry; list indexes become -1.
  void clear();
  // Hands every path and display name over to the caller (no string is copied) and leaves the
  // list empty, as clear() does. For rebuilds that move the entries into a new order.
  void takeEntries(std::vector<std::string>& paths, std::vector<std::string>& displayNames);
  // Counts every change of the paths or display names (not of the selection or list indexes): two
  // equal revisions mean the entries did not change in between.
  std::uint64_t revision() const { return revision_; }

  // Selection of the shown list.
  bool isSelected(Index i) const;
  void setSelected(Index i, bool selected);
  Index selectedCount() const;
  const std::vector<std::uint8_t>& selectionFlags() const { return selected_; }
  // Replaces all flags at once (the view reports the user's selection this way).
  void setSelectionFlags(std::vector<std::uint8_t> flags);
  // Clears the selection flag of every entry; does not touch the list index.
  void listrefreshing();

  Index listIndex1() const { return listIndex1_; }  // cpvcoollist1's list index
  Index listIndex2() const { return listIndex2_; }  // cpvcoollist2's list index (focused entry)
  void setListIndex1(Index i);
  void setListIndex2(Index i);
  Index topIndex() const { return topIndex_; }
  void setTopIndex(Index i) { topIndex_ = i; }

  // Mark entry: both list indexes := i, listrefreshing, and entry i (if any) selected alone.
  void markEntry(Index i);

  // Merges change notifications until the matching endBatch().
  void beginBatch();
  void endBatch();

 private:
  Index clampIndex(Index i) const { return (i >= 0 && i < count()) ? i : kNone; }
  void notifyAppended(Index first, Index n);
  void notifyReset();
  void notifySelection();

  using Entries = PlaylistEntries;
  using Hold = EntriesHold;
  // The entries, shared with copies until one of them writes (then it takes its own).
  Entries& own();

  Hold entries_;
  std::vector<std::uint8_t> selected_;  // 0 or 1
  // How many flags are set, and the entry set last: when it is the only one, clearing the
  // selection need not sweep every entry.
  Index selectedCount_ = 0;
  Index lastSelected_ = kNone;
  Index listIndex1_ = kNone;
  Index listIndex2_ = kNone;
  Index topIndex_ = 0;
  std::uint64_t revision_ = 0;

  PlaylistObserver* observer_ = nullptr;
  int batchDepth_ = 0;
  bool pendingReset_ = false;
  Index pendingAppendFirst_ = kNone;
  bool pendingSelection_ = false;
};

// Keeps a batch open for its lifetime.
class PlaylistBatch {
 public:
  explicit PlaylistBatch(PlaylistModel& model) : model_(model) { model_.beginBatch(); }
  ~PlaylistBatch() { model_.endBatch(); }
  PlaylistBatch(const PlaylistBatch&) = delete;
  PlaylistBatch& operator=(const PlaylistBatch&) = delete;

 private:
  PlaylistModel& model_;
};

}  // namespace sonavex
