#pragma once
// Decoding of the first MPEG audio frame header into the File Info dialog's display texts.
// The decoder takes bytes so that headers can be built by hand; FileProbe.h does the file I/O.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace sonavex {

// Eleven ready-made texts; a field that no step sets stays empty.
struct MpegInfo {
  std::string bitrate;    // "128Kbit", or "153 Kbit (VBR)" from a Xing header
  std::string mode;       // " Stereo", " Joint Stereo", " 2 Channel", " Mono"
  std::string copyflag;   // " Yes", " No"
  std::string crc;        // "Yes", "No" (no leading blank)
  std::string emphasis;   // " None", " 50/15 microsec", " invalid", " CITT j. 17"
  std::string frequency;  // "44100 Hz"
  std::string layer;      // "layer 1", "layer 2", "layer 3"
  std::string length;     // "250 seconds"
  std::string version;    // "MPEG 1.0", "MPEG 2.0"
  std::string origflag;   // " Yes", " No"
  std::string size;       // "4000000 bytes"
};

// Only this many leading bytes are searched for a frame start: the file's first bytes, or those
// just after an ID3v2 tag that the file starts with.
inline constexpr std::size_t kMpegScanBytes = 4096;
inline constexpr std::size_t kId3v2HeaderSize = 10;

// The bytes an ID3v2 tag at the start of a file takes: its header, the size its header gives and
// the footer when one is flagged; 0 when `start` (the file's first bytes) begins with no valid
// ID3v2 header. Its pictures and texts hold byte pairs that look like frame headers (a UTF-16
// byte-order mark is FF FE), and nearly every MP3 made today starts with one.
std::uint64_t id3v2TagSize(std::span<const std::uint8_t> start);

// Shown instead of a number where the header gives nothing to divide by: a free-format stream
// (MPEG 2.0 bitrate index 0) has no table bitrate, and a Xing count of 57 frames or less gives a
// length of 0 seconds.
inline constexpr const char* kUnknownLength = "unknown";
inline constexpr const char* kFreeFormatBitrate = "free format";
inline constexpr const char* kUnknownVbrBitrate = "unknown (VBR)";

// Seconds estimated from a Xing frame count: 57 frames are dropped, then 38, 38, 39 frames per
// second in turn. Returns 0 for 57 frames or less.
std::int64_t XingFrames(std::uint32_t frames);

// Fills info from the file's first bytes (at most kMpegScanBytes are looked at; a shorter span
// reads as if followed by zeros) and its size in bytes. Returns false when no frame start was
// found: info then holds only the size.
bool decodeMpegInfo(std::span<const std::uint8_t> head, std::uint64_t fileSize, MpegInfo& info);

}  // namespace sonavex
