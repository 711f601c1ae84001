#include "core/model/PlaylistModel.h"

#include <algorithm>
#include <charconv>

#include "core/model/StreamAddress.h"

namespace sonavex {

namespace {
const std::string kEmpty;
}

std::string_view fileNameOf(std::string_view path) {
  const auto slash = path.rfind(kPathSeparator);
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string_view fileNamePartOf(std::string_view displayName) {
  const auto sep = displayName.find(kNameSeparator);
  return sep == std::string_view::npos ? std::string_view() : displayName.substr(sep + 3);
}

std::string_view shownNameOf(std::string_view path, std::string_view stationName) {
  if (!isStreamAddress(path)) return fileNameOf(path);
  return stationName.empty() ? path : stationName;
}

std::string makeDisplayName(Index number, std::string_view fileName) {
  char digits[16];
  const auto end = std::to_chars(digits, digits + sizeof digits, number).ptr;
  std::string name;
  name.reserve(static_cast<std::size_t>(end - digits) + 3 + fileName.size());
  name.append(digits, end).append(kNameSeparator).append(fileName);
  return name;
}

PlaylistModel::PlaylistModel(const PlaylistModel& other)
    : entries_(other.entries_),
      selected_(other.selected_),
      selectedCount_(other.selectedCount_),
      lastSelected_(other.lastSelected_),
      listIndex1_(other.listIndex1_),
      listIndex2_(other.listIndex2_),
      topIndex_(other.topIndex_),
      revision_(other.revision_) {}

std::shared_ptr<const void> PlaylistModel::adopt(PlaylistModel&& other) {
  auto given = std::make_shared<Hold>(std::move(entries_));
  entries_ = std::move(other.entries_);
  other.entries_ = Hold();
  selected_ = std::move(other.selected_);
  selectedCount_ = other.selectedCount_;
  lastSelected_ = other.lastSelected_;
  listIndex1_ = other.listIndex1_;
  listIndex2_ = other.listIndex2_;
  topIndex_ = other.topIndex_;
  revision_ = other.revision_;
  notifyReset();
  return given;
}

PlaylistModel::Entries& PlaylistModel::own() {
  if (!entries_.alone()) entries_ = Hold(new Entries{entries_->paths, entries_->names});
  return *entries_;
}

const std::string& PlaylistModel::path(Index i) const {
  return (i >= 0 && i < count()) ? entries_->paths[static_cast<std::size_t>(i)] : kEmpty;
}

const std::string& PlaylistModel::displayName(Index i) const {
  return (i >= 0 && i < count()) ? entries_->names[static_cast<std::size_t>(i)] : kEmpty;
}

bool PlaylistModel::appendEntry(std::string path, std::string_view stationName) {
  if (hasNulByte(path)) return false;
  std::string name = makeDisplayName(count() + 1, shownNameOf(path, stationName));
  appendRaw(std::move(path), std::move(name));
  return true;
}

void PlaylistModel::appendRaw(std::string path, std::string displayName) {
  const Index first = count();
  Entries& entries = own();
  entries.paths.push_back(std::move(path));
  entries.names.push_back(std::move(displayName));
  selected_.push_back(0);
  ++revision_;
  notifyAppended(first, 1);
}

void PlaylistModel::assign(std::vector<std::string> paths, std::vector<std::string> displayNames) {
  displayNames.resize(paths.size());
  selected_.assign(paths.size(), 0);
  // Fresh entries: a copy that shares the old ones keeps them, nothing is copied.
  entries_ = Hold(new Entries{std::move(paths), std::move(displayNames)});
  selectedCount_ = 0;
  lastSelected_ = kNone;
  listIndex1_ = kNone;
  listIndex2_ = kNone;
  topIndex_ = 0;
  ++revision_;
  notifyReset();
}

void PlaylistModel::clear() { assign({}, {}); }

void PlaylistModel::takeEntries(std::vector<std::string>& paths,
                                std::vector<std::string>& displayNames) {
  Entries& entries = own();
  paths = std::move(entries.paths);
  displayNames = std::move(entries.names);
  assign({}, {});
}

bool PlaylistModel::isSelected(Index i) const {
  return i >= 0 && i < count() && selected_[static_cast<std::size_t>(i)] != 0;
}

void PlaylistModel::setSelected(Index i, bool selected) {
  if (i < 0 || i >= count()) return;
  auto& flag = selected_[static_cast<std::size_t>(i)];
  selectedCount_ += (selected ? 1 : 0) - flag;
  flag = selected ? 1 : 0;
  if (selected) lastSelected_ = i;
  notifySelection();
}

Index PlaylistModel::selectedCount() const { return selectedCount_; }

void PlaylistModel::setSelectionFlags(std::vector<std::uint8_t> flags) {
  flags.resize(entries_->paths.size(), 0);
  selectedCount_ = 0;
  lastSelected_ = kNone;
  for (std::size_t i = 0; i < flags.size(); ++i) {
    flags[i] = flags[i] != 0 ? 1 : 0;
    if (flags[i] != 0) lastSelected_ = static_cast<Index>(i);
    selectedCount_ += flags[i];
  }
  selected_ = std::move(flags);
  notifySelection();
}

void PlaylistModel::listrefreshing() {
  // Playing marks one entry at a time, so usually a single flag is set: clear just that one
  // instead of sweeping a long list on every track change.
  if (selectedCount_ == 1 && isSelected(lastSelected_)) {
    selected_[static_cast<std::size_t>(lastSelected_)] = 0;
  } else if (selectedCount_ > 0) {
    std::fill(selected_.begin(), selected_.end(), std::uint8_t{0});
  }
  selectedCount_ = 0;
  lastSelected_ = kNone;
  notifySelection();
}

void PlaylistModel::setListIndex1(Index i) { listIndex1_ = clampIndex(i); }

void PlaylistModel::setListIndex2(Index i) {
  listIndex2_ = clampIndex(i);
  notifySelection();
}

void PlaylistModel::markEntry(Index i) {
  PlaylistBatch batch(*this);
  setListIndex1(i);
  setListIndex2(i);
  listrefreshing();
  if (i > kNone) setSelected(i, true);
}

void PlaylistModel::beginBatch() { ++batchDepth_; }

void PlaylistModel::endBatch() {
  if (batchDepth_ == 0 || --batchDepth_ > 0) return;
  if (!observer_) {
    pendingReset_ = pendingSelection_ = false;
    pendingAppendFirst_ = kNone;
    return;
  }
  if (pendingReset_) {
    observer_->entriesReset();
  } else if (pendingAppendFirst_ != kNone && pendingAppendFirst_ < count()) {
    observer_->entriesAppended(pendingAppendFirst_, count() - pendingAppendFirst_);
  }
  if (pendingSelection_ && !pendingReset_) observer_->selectionChanged();
  pendingReset_ = pendingSelection_ = false;
  pendingAppendFirst_ = kNone;
}

void PlaylistModel::notifyAppended(Index first, Index n) {
  if (batchDepth_ > 0) {
    if (pendingAppendFirst_ == kNone) pendingAppendFirst_ = first;
    return;
  }
  if (observer_) observer_->entriesAppended(first, n);
}

void PlaylistModel::notifyReset() {
  if (batchDepth_ > 0) {
    pendingReset_ = true;
    return;
  }
  if (observer_) observer_->entriesReset();
}

void PlaylistModel::notifySelection() {
  if (batchDepth_ > 0) {
    pendingSelection_ = true;
    return;
  }
  if (observer_) observer_->selectionChanged();
}

}  // namespace sonavex
