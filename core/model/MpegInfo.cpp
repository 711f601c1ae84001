#include "core/model/MpegInfo.h"

#include <cmath>
#include <optional>

namespace sonavex {
namespace {

// Byte at a 0-based offset, zero past the end of what was read.
std::uint8_t byteAt(std::span<const std::uint8_t> head, std::size_t offset) {
  return offset < head.size() && offset < kMpegScanBytes ? head[offset] : 0;
}

bool isAcceptedSecondByte(std::uint8_t b) {
  return (b >= 0xF2 && b <= 0xF7) || b >= 0xFA;
}

// 0-based offset of the first 0xFF followed by an accepted second byte. The last candidate is
// the fifth byte from the end of the scanned block (position 4092 counted from 1).
std::optional<std::size_t> findFrameStart(std::span<const std::uint8_t> head) {
  for (std::size_t p = 0; p < kMpegScanBytes - 4; ++p) {
    if (byteAt(head, p) == 0xFF && isAcceptedSecondByte(byteAt(head, p + 1))) return p;
  }
  return std::nullopt;
}

const char* layerText(std::uint8_t b1) {
  switch (b1) {
    case 0xFA: case 0xFB: case 0xF2: case 0xF3: return "layer 3";
    case 0xFC: case 0xFD: case 0xF4: case 0xF5: return "layer 2";
    default: return "layer 1";
  }
}

unsigned frequencyHz(bool mpeg1, unsigned n) {
  unsigned base = n <= 3 ? 22050 : n <= 7 ? 24000 : 16000;
  return mpeg1 ? base * 2 : base;
}

unsigned bitrateKbit(bool mpeg1, unsigned i) {
  if (mpeg1) {
    if (i <= 5) return i * 8 + 24;
    if (i <= 9) return i * 16 - 16;
    if (i <= 13) return (i - 5) * 32;
    return 320;
  }
  return i <= 7 ? i * 8 : (i - 4) * 16;
}

bool hasXingMarker(std::span<const std::uint8_t> head, std::size_t p) {
  return byteAt(head, p + 36) == 'X' && byteAt(head, p + 37) == 'i' &&
         byteAt(head, p + 38) == 'n' && byteAt(head, p + 39) == 'g';
}

std::uint32_t xingFrameCount(std::span<const std::uint8_t> head, std::size_t p) {
  return (std::uint32_t{byteAt(head, p + 45)} << 16) | (std::uint32_t{byteAt(head, p + 46)} << 8) |
         std::uint32_t{byteAt(head, p + 47)};
}

const char* const kModes[] = {" Stereo", " Joint Stereo", " 2 Channel", " Mono"};
const char* const kEmphases[] = {" None", " 50/15 microsec", " invalid", " CITT j. 17"};

}  // namespace

std::uint64_t id3v2TagSize(std::span<const std::uint8_t> start) {
  if (start.size() < kId3v2HeaderSize || start[0] != 'I' || start[1] != 'D' || start[2] != '3' ||
      start[3] == 0xFF || start[4] == 0xFF) {
    return 0;
  }
  std::uint64_t size = 0;
  for (std::size_t i = 6; i < kId3v2HeaderSize; ++i) {
    if (start[i] >= 0x80) return 0;  // sizes are seven bits a byte
    size = (size << 7) | start[i];
  }
  const bool footer = (start[5] & 0x10) != 0;
  return kId3v2HeaderSize + size + (footer ? kId3v2HeaderSize : 0);
}

std::int64_t XingFrames(std::uint32_t frames) {
  std::int64_t r = std::int64_t{frames} - 57;
  std::int64_t s = 0;
  while (r > 0) {
    ++s;
    r -= 38;
    if (s % 3 == 0) r -= 1;
  }
  return s;
}

bool decodeMpegInfo(std::span<const std::uint8_t> head, std::uint64_t fileSize, MpegInfo& info) {
  info.size = std::to_string(fileSize) + " bytes";
  const std::optional<std::size_t> start = findFrameStart(head);
  if (!start) return false;
  const std::size_t p = *start;
  const std::uint8_t b1 = byteAt(head, p + 1);
  const std::uint8_t b2 = byteAt(head, p + 2);
  const std::uint8_t b3 = byteAt(head, p + 3);

  const bool mpeg1 = b1 >= 0xFA;
  info.crc = (b1 & 1) == 0 ? "Yes" : "No";
  info.version = mpeg1 ? "MPEG 1.0" : "MPEG 2.0";
  info.layer = layerText(b1);
  info.frequency = std::to_string(frequencyHz(mpeg1, b2 & 0x0F)) + " Hz";

  if (hasXingMarker(head, p)) {
    const std::int64_t seconds = XingFrames(xingFrameCount(head, p));
    if (seconds > 0) {
      info.length = std::to_string(seconds) + " seconds";
      const double kbit = std::floor(static_cast<double>(fileSize) * 8.0 /
                                     (static_cast<double>(seconds) * 1000.0));
      info.bitrate = std::to_string(static_cast<std::uint64_t>(kbit)) + " Kbit (VBR)";
    } else {
      info.length = kUnknownLength;
      info.bitrate = kUnknownVbrBitrate;
    }
  } else {
    const unsigned kbit = bitrateKbit(mpeg1, b2 >> 4);
    const std::uint64_t bytesPerMs = kbit / 8;
    if (bytesPerMs > 0) {
      info.bitrate = std::to_string(kbit) + "Kbit";
      info.length = std::to_string(fileSize / bytesPerMs / 1000) + " seconds";
    } else {
      info.bitrate = kFreeFormatBitrate;
      info.length = kUnknownLength;
    }
  }

  info.copyflag = (b3 & 0x08) ? " Yes" : " No";
  info.origflag = (b3 & 0x04) ? " Yes" : " No";
  info.emphasis = kEmphases[b3 & 0x03];
  info.mode = kModes[b3 >> 6];
  return true;
}

}  // namespace sonavex
