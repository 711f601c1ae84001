#include "core/model/HandOver.h"

#include <algorithm>

namespace sonavex {

namespace {
// A command line holds far less; a frame that claims more is not one of ours.
constexpr std::uint32_t kMaxPaths = 1u << 20;
constexpr std::uint32_t kMaxPathBytes = 1u << 16;

void putWord(std::string& out, std::uint32_t word) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((word >> (8 * i)) & 0xFF));
}
}  // namespace

std::string encodeHandOver(const std::vector<std::string>& paths) {
  std::string out;
  putWord(out, static_cast<std::uint32_t>(paths.size()));
  for (const std::string& path : paths) {
    putWord(out, static_cast<std::uint32_t>(path.size()));
    out += path;
  }
  return out;
}

std::optional<std::uint32_t> HandOverReader::readWord() {
  if (pending_.size() - offset_ < 4) return std::nullopt;
  std::uint32_t word = 0;
  for (int i = 0; i < 4; ++i) {
    word |= static_cast<std::uint32_t>(static_cast<unsigned char>(pending_[offset_ + i])) << (8 * i);
  }
  offset_ += 4;
  return word;
}

HandOverReader::Status HandOverReader::feed(const char* data, std::size_t size) {
  if (status_ != Status::Incomplete) {
    if (size > 0) status_ = Status::Invalid;  // nothing may follow a frame
    return status_;
  }
  pending_.append(data, size);
  if (!count_) {
    count_ = readWord();
    if (!count_) return status_;
    if (*count_ > kMaxPaths) return status_ = Status::Invalid;
    // Room for what has arrived rather than for what the frame claims: four bytes claiming a
    // million paths must not cost tens of megabytes.
    paths_.reserve(std::min<std::uint32_t>(*count_, 1024));
  }
  while (paths_.size() < *count_) {
    if (!pathLength_) {
      pathLength_ = readWord();
      if (!pathLength_) break;
      if (*pathLength_ > kMaxPathBytes) return status_ = Status::Invalid;
    }
    if (pending_.size() - offset_ < *pathLength_) break;
    paths_.push_back(pending_.substr(offset_, *pathLength_));
    offset_ += *pathLength_;
    pathLength_.reset();
  }
  // Drop what has been read, so a long frame is not kept twice.
  pending_.erase(0, offset_);
  offset_ = 0;
  if (paths_.size() == *count_) status_ = pending_.empty() ? Status::Complete : Status::Invalid;
  return status_;
}

}  // namespace sonavex
