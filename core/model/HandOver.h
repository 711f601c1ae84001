#pragma once
// What a second start of the player hands to the running one: the paths of its command line, in
// order. A frame is the number of paths and each path's length (4 bytes each, little-endian) and
// bytes; the running player answers one byte once it has the whole frame.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace sonavex {

inline constexpr char kHandOverAck = '1';

std::string encodeHandOver(const std::vector<std::string>& paths);

// Takes the bytes of a frame as they come, in any pieces.
class HandOverReader {
 public:
  enum class Status { Incomplete, Complete, Invalid };
  Status feed(const char* data, std::size_t size);
  Status status() const { return status_; }
  // The paths, once complete.
  const std::vector<std::string>& paths() const { return paths_; }

 private:
  std::optional<std::uint32_t> readWord();

  std::string pending_;
  std::size_t offset_ = 0;
  std::optional<std::uint32_t> count_;
  std::optional<std::uint32_t> pathLength_;
  std::vector<std::string> paths_;
  Status status_ = Status::Incomplete;
};

}  // namespace sonavex
