#pragma once
// The file I/O of the File Info dialog: two small reads, the first kMpegScanBytes bytes (after an
// ID3v2 tag the file starts with) and the last kId3v1Size bytes, whatever the file's size.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "core/model/Id3v1.h"
#include "core/model/MpegInfo.h"

namespace sonavex {

struct FileProbe {
  bool readable = false;
  std::string error;         // why the file could not be read, when !readable
  std::uint64_t size = 0;    // bytes; shrinks to what could be read if the file was cut short
  std::uint64_t headAt = 0;  // where `head` starts: the size of a leading ID3v2 tag, else 0
  std::array<std::uint8_t, kMpegScanBytes> head{};  // zero past the bytes read
  std::size_t headBytes = 0;
  std::array<std::uint8_t, kId3v1Size> tail{};
  bool hasTail = false;      // false for files shorter than the tag

  std::span<const std::uint8_t> headSpan() const { return {head.data(), headBytes}; }
  std::span<const std::uint8_t> tailSpan() const {
    return hasTail ? std::span<const std::uint8_t>(tail) : std::span<const std::uint8_t>();
  }
};

// Reads the two blocks of a regular file. Folders, devices, pipes and files that cannot be
// opened are not readable; a read error or a file cut short while it is read counts as a
// shorter file.
FileProbe probeFile(const std::string& path);

// Fills info from the file at path. Returns false when the file is unreadable (info untouched)
// or holds no frame start (info holds only the size).
bool ReadMpegInfo(const std::string& path, MpegInfo& info);

}  // namespace sonavex
