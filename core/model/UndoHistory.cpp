#include "core/model/UndoHistory.h"

#include <algorithm>

namespace sonavex {

namespace {

// A string's own object and, when it does not fit inside it, its buffer.
std::size_t stringBytes(const std::string& s) {
  static const std::size_t inlineCapacity = std::string().capacity();
  return sizeof(std::string) + (s.capacity() > inlineCapacity ? s.capacity() + 1 : 0);
}

std::size_t stringsBytes(const std::vector<std::string>& strings) {
  std::size_t bytes = (strings.capacity() - strings.size()) * sizeof(std::string);
  for (const auto& s : strings) bytes += stringBytes(s);
  return bytes;
}

}  // namespace

IndexList::IndexList(std::vector<Index> values) : size_(static_cast<Index>(values.size())) {
  std::size_t runs = 0;
  for (std::size_t i = 0; i < values.size(); ++i)
    runs += i == 0 || values[i] != static_cast<std::int64_t>(values[i - 1]) + 1;
  if (runs * sizeof(Run) < values.size() * sizeof(Index)) {
    size_ = 0;
    for (const Index value : values) push_back(value);
    runs_.shrink_to_fit();
  } else {
    plain_ = std::move(values);
  }
}

void IndexList::push_back(Index value) {
  ++size_;
  if (!plain_.empty()) {
    plain_.push_back(value);
  } else if (!runs_.empty() &&
             static_cast<std::int64_t>(runs_.back().first) + runs_.back().count == value) {
    ++runs_.back().count;
  } else {
    runs_.push_back({value, 1});
  }
}

void IndexList::compact() {
  if (runs_.size() * sizeof(Run) > static_cast<std::size_t>(size_) * sizeof(Index)) {
    plain_ = expand();
    runs_ = {};
  }
  runs_.shrink_to_fit();
  plain_.shrink_to_fit();
}

std::vector<Index> IndexList::expand() const {
  std::vector<Index> values;
  values.reserve(static_cast<std::size_t>(size_));
  for (Reader r(*this); !r.done(); r.next()) values.push_back(r.value());
  return values;
}

std::size_t IndexList::heapBytes() const {
  return runs_.capacity() * sizeof(Run) + plain_.capacity() * sizeof(Index);
}

Index IndexList::Reader::value() const {
  if (list_.runs_.empty()) return list_.plain_[static_cast<std::size_t>(read_)];
  return list_.runs_[run_].first + offset_;
}

void IndexList::Reader::next() {
  ++read_;
  if (!list_.runs_.empty() && ++offset_ == list_.runs_[run_].count) {
    ++run_;
    offset_ = 0;
  }
}

SelectionSet::SelectionSet(const std::vector<std::uint8_t>& flags) {
  std::size_t runs = 0;
  for (std::size_t i = 0; i < flags.size(); ++i) {
    count_ += flags[i] != 0;
    runs += flags[i] != 0 && (i == 0 || flags[i - 1] == 0);
  }
  const std::size_t listBytes =
      std::min(runs * 2, static_cast<std::size_t>(count_)) * sizeof(Index);
  if (listBytes <= (flags.size() + 7) / 8) {
    for (std::size_t i = 0; i < flags.size(); ++i)
      if (flags[i] != 0) positions_.push_back(static_cast<Index>(i));
    positions_.compact();
  } else {
    bits_.resize(flags.size());
    for (std::size_t i = 0; i < flags.size(); ++i) bits_[i] = flags[i] != 0;
  }
}

void SelectionSet::mark(std::vector<std::uint8_t>& flags) const {
  for (std::size_t i = 0; i < bits_.size() && i < flags.size(); ++i) flags[i] = bits_[i] ? 1 : 0;
  for (IndexList::Reader r(positions_); !r.done(); r.next())
    if (static_cast<std::size_t>(r.value()) < flags.size())
      flags[static_cast<std::size_t>(r.value())] = 1;
}

bool SelectionSet::sameAs(const std::vector<std::uint8_t>& flags, Index selectedCount) const {
  if (selectedCount != count_) return false;
  for (std::size_t i = 0; i < bits_.size(); ++i)
    if (bits_[i] && (i >= flags.size() || flags[i] == 0)) return false;
  for (IndexList::Reader r(positions_); !r.done(); r.next()) {
    const auto at = static_cast<std::size_t>(r.value());
    if (at >= flags.size() || flags[at] == 0) return false;
  }
  return true;
}

std::size_t SelectionSet::heapBytes() const {
  return positions_.heapBytes() + (bits_.capacity() + 7) / 8;
}

void UndoStep::count() {
  bytes = sizeof(UndoStep) + positions.heapBytes() + oldNumbers.heapBytes() +
          before.selected.heapBytes() + stringsBytes(paths) + stringsBytes(names) +
          oldNames.capacity() * sizeof(oldNames[0]);
  for (const auto& odd : oldNames) bytes += stringBytes(odd.second) - sizeof(std::string);
}

std::size_t UndoHistory::bytes() const {
  std::size_t total = sizeof(UndoHistory);
  for (const UndoStep& step : steps_) total += step.bytes;
  return total;
}

void UndoHistory::clear() {
  steps_.clear();
  steps_.shrink_to_fit();
  done_ = 0;
}

void UndoHistory::record(UndoStep step, std::uint64_t before, std::uint64_t after) {
  if (!describes(before)) clear();
  steps_.erase(steps_.begin() + static_cast<std::ptrdiff_t>(done_), steps_.end());
  steps_.push_back(std::move(step));
  if (steps_.size() > kLevels) steps_.pop_front();
  done_ = steps_.size();
  revision_ = after;
}

void UndoHistory::recordAppend(Index appended, std::uint64_t before, std::uint64_t after,
                               std::uint64_t intake) {
  if (appended <= 0) return;
  if (describes(before) && done_ > 0 && done_ == steps_.size()) {
    UndoStep& last = steps_.back();
    if (last.kind == UndoStep::Kind::Append && intake != 0 && last.intake == intake) {
      last.appended += appended;
      revision_ = after;
      return;
    }
  }
  UndoStep step;
  step.kind = UndoStep::Kind::Append;
  step.appended = appended;
  step.intake = intake;
  step.count();
  record(std::move(step), before, after);
}

void UndoHistory::unchanged(std::uint64_t before, std::uint64_t after) {
  if (describes(before)) revision_ = after;
}

void UndoHistory::undid(std::uint64_t after) {
  --done_;
  revision_ = after;
}

void UndoHistory::redid(std::uint64_t after) {
  ++done_;
  revision_ = after;
}

}  // namespace sonavex
