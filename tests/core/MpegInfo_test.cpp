#include "mediainfo/core/MpegInfo.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace sonavex {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A scan block of zeros with a four-byte header at a 0-based offset.
Bytes headerAt(std::size_t offset, std::uint8_t b1, std::uint8_t b2, std::uint8_t b3,
               std::size_t length = kMpegScanBytes) {
  Bytes bytes(length, 0);
  bytes.at(offset) = 0xFF;
  bytes.at(offset + 1) = b1;
  bytes.at(offset + 2) = b2;
  bytes.at(offset + 3) = b3;
  return bytes;
}

// Writes a Xing marker and a big-endian frame count after the 4-byte flags word.
void putXing(Bytes& bytes, std::size_t frameStart, std::uint32_t frames,
             const char* marker = "Xing", std::size_t markerOffset = 36) {
  for (int k = 0; k < 4; ++k) bytes.at(frameStart + markerOffset + k) = marker[k];
  bytes.at(frameStart + markerOffset + 7) = 0x0F;  // flags: all present, not examined
  bytes.at(frameStart + markerOffset + 8) = static_cast<std::uint8_t>(frames >> 24);
  bytes.at(frameStart + markerOffset + 9) = static_cast<std::uint8_t>(frames >> 16);
  bytes.at(frameStart + markerOffset + 10) = static_cast<std::uint8_t>(frames >> 8);
  bytes.at(frameStart + markerOffset + 11) = static_cast<std::uint8_t>(frames);
}

MpegInfo decode(const Bytes& bytes, std::uint64_t size) {
  MpegInfo info;
  decodeMpegInfo(bytes, size, info);
  return info;
}

TEST(MpegWorkedExample, Layer3At128KbitIn4MBFile) {
  const MpegInfo info = decode(headerAt(0, 0xFB, 0x90, 0x64), 4'000'000);
  EXPECT_EQ(info.crc, "No");
  EXPECT_EQ(info.version, "MPEG 1.0");
  EXPECT_EQ(info.layer, "layer 3");
  EXPECT_EQ(info.bitrate, "128Kbit");
  EXPECT_EQ(info.frequency, "44100 Hz");
  EXPECT_EQ(info.mode, " Joint Stereo");
  EXPECT_EQ(info.copyflag, " No");
  EXPECT_EQ(info.origflag, " Yes");
  EXPECT_EQ(info.emphasis, " None");
  EXPECT_EQ(info.length, "250 seconds");
  EXPECT_EQ(info.size, "4000000 bytes");
}

TEST(MpegXing, FrameCountGivesLengthAndAverageBitrateOfA5MBFile) {
  const struct {
    std::uint32_t frames;
    std::string length, bitrate;
  } rows[] = {
      {1000, "25 seconds", "1600 Kbit (VBR)"},
      {10000, "260 seconds", "153 Kbit (VBR)"},
      {0x7F000000u + 1000, "25 seconds", "1600 Kbit (VBR)"},  // only the low three bytes count
      {0, kUnknownLength, kUnknownVbrBitrate},                 // 57 frames or fewer: no length
      {1, kUnknownLength, kUnknownVbrBitrate},
      {57, kUnknownLength, kUnknownVbrBitrate},
  };
  for (const auto& row : rows) {
    Bytes bytes = headerAt(0, 0xFB, 0x90, 0x64);
    putXing(bytes, 0, row.frames);
    const MpegInfo info = decode(bytes, 5'000'000);
    EXPECT_EQ(info.length, row.length) << row.frames;
    EXPECT_EQ(info.bitrate, row.bitrate) << row.frames;
  }
}

TEST(MpegFrameSearch, FindsHeaderAtLastPositionButNotBeyond) {
  // Positions counted from 1: 4092 is the last one searched.
  MpegInfo last;
  EXPECT_TRUE(decodeMpegInfo(headerAt(4091, 0xFB, 0x90, 0x64), 4096, last));
  EXPECT_EQ(last.layer, "layer 3");
  Bytes late(kMpegScanBytes, 0);
  late[4092] = 0xFF;
  late[4093] = 0xFB;
  MpegInfo info;
  EXPECT_FALSE(decodeMpegInfo(late, 4096, info));
  EXPECT_EQ(info.size, "4096 bytes");
  EXPECT_TRUE(info.layer.empty());
  EXPECT_TRUE(info.bitrate.empty());
}

TEST(MpegFrameSearch, RejectsSecondBytesF0F1F8F9AndAcceptsTheRest) {
  for (int b1 = 0; b1 <= 0xFF; ++b1) {
    Bytes bytes(16, 0);
    bytes[5] = 0xFF;
    bytes[6] = static_cast<std::uint8_t>(b1);
    MpegInfo info;
    const bool accepted = (b1 >= 0xF2 && b1 <= 0xF7) || b1 >= 0xFA;
    EXPECT_EQ(decodeMpegInfo(bytes, 16, info), accepted) << "second byte " << b1;
  }
}

TEST(MpegFrameSearch, TakesFirstQualifyingPairInsideLeadingMetadata) {
  Bytes bytes = headerAt(600, 0xFB, 0x90, 0x64);
  // A lone 0xFF and a rejected pair come first; then an accepted pair inside "metadata".
  bytes[10] = bytes[20] = bytes[100] = 0xFF;
  bytes[21] = 0xF1;
  bytes[101] = 0xF3;  // MPEG 2.0 layer 3
  bytes[102] = 0x44;
  bytes[103] = 0xC0;
  const MpegInfo info = decode(bytes, 1000);
  EXPECT_EQ(info.version + " " + info.frequency + info.mode + " " + info.bitrate, "MPEG 2.0 24000 Hz Mono 32Kbit");
}

TEST(MpegFrameSearch, ShortBlockReadsAsFollowedByZeros) {
  Bytes tiny = {0x00, 0xFF, 0xFA, 0x10};  // header ends the data; nothing after it
  const MpegInfo info = decode(tiny, 4);
  EXPECT_EQ(info.crc, "Yes");
  EXPECT_EQ(info.bitrate, "32Kbit");
  EXPECT_EQ(info.mode, " Stereo");
  EXPECT_EQ(info.length, "0 seconds");

  Bytes cut = {0xFF, 0xFB};  // b2 and b3 lie past the data and read as zero
  const MpegInfo part = decode(cut, 2);
  EXPECT_EQ(part.bitrate, "24Kbit");
  EXPECT_EQ(part.frequency, "44100 Hz");
  EXPECT_EQ(part.emphasis, " None");

  MpegInfo none;
  EXPECT_FALSE(decodeMpegInfo({}, 0, none));
  EXPECT_EQ(none.size, "0 bytes");
}

TEST(MpegHeaderFields, VersionLayerAndCrcFromSecondByte) {
  struct Case { std::uint8_t b1; const char* version; const char* layer; const char* crc; };
  const Case cases[] = {
      {0xFA, "MPEG 1.0", "layer 3", "Yes"}, {0xFB, "MPEG 1.0", "layer 3", "No"}, {0xFC, "MPEG 1.0", "layer 2", "Yes"},
      {0xFD, "MPEG 1.0", "layer 2", "No"},  {0xFE, "MPEG 1.0", "layer 1", "Yes"}, {0xFF, "MPEG 1.0", "layer 1", "No"},
      {0xF2, "MPEG 2.0", "layer 3", "Yes"}, {0xF3, "MPEG 2.0", "layer 3", "No"},  {0xF4, "MPEG 2.0", "layer 2", "Yes"},
      {0xF5, "MPEG 2.0", "layer 2", "No"},  {0xF6, "MPEG 2.0", "layer 1", "Yes"}, {0xF7, "MPEG 2.0", "layer 1", "No"},
  };
  for (const Case& c : cases) {
    const MpegInfo info = decode(headerAt(0, c.b1, 0x90, 0), 1000);
    EXPECT_EQ(info.version, c.version) << int(c.b1);
    EXPECT_EQ(info.layer, c.layer) << int(c.b1);
    EXPECT_EQ(info.crc, c.crc) << int(c.b1);
  }
}

TEST(MpegHeaderFields, FrequencyFromLowFourBitsOfThirdByte) {
  const char* mpeg1[] = {"44100 Hz", "48000 Hz", "32000 Hz", "32000 Hz"};
  const char* mpeg2[] = {"22050 Hz", "24000 Hz", "16000 Hz", "16000 Hz"};
  for (int n = 0; n < 16; ++n) {
    const auto b2 = static_cast<std::uint8_t>(0x90 | n);
    EXPECT_EQ(decode(headerAt(0, 0xFB, b2, 0), 1000).frequency, mpeg1[n / 4]) << n;
    EXPECT_EQ(decode(headerAt(0, 0xF3, b2, 0), 1000).frequency, mpeg2[n / 4]) << n;
  }
}

TEST(MpegHeaderFields, BitrateTableIsSharedByAllLayers) {
  const int mpeg1[] = {24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 320};
  const int mpeg2[] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176};
  for (int i = 0; i < 16; ++i) {
    const auto b2 = static_cast<std::uint8_t>(i << 4);
    for (std::uint8_t b1 : {0xFB, 0xFD, 0xFF}) {
      EXPECT_EQ(decode(headerAt(0, b1, b2, 0), 1000).bitrate, std::to_string(mpeg1[i]) + "Kbit");
    }
    if (i == 0) continue;  // free format, below
    for (std::uint8_t b1 : {0xF3, 0xF5, 0xF7}) {
      EXPECT_EQ(decode(headerAt(0, b1, b2, 0), 1000).bitrate, std::to_string(mpeg2[i]) + "Kbit");
    }
  }
}

TEST(MpegHeaderFields, ConstantBitrateLengthTruncatesBothDivisions) {
  // 320 kbit/s = 40 bytes per millisecond: 39,999 bytes is 999 ms, 40,000 bytes one second.
  EXPECT_EQ(decode(headerAt(0, 0xFB, 0xE0, 0), 39'999).length, "0 seconds");
  EXPECT_EQ(decode(headerAt(0, 0xFB, 0xE0, 0), 40'000).length, "1 seconds");
  // 8 kbit/s (MPEG 2.0 index 1) = 1 byte per ms; sizes past 32 bits keep their digits.
  EXPECT_EQ(decode(headerAt(0, 0xF3, 0x10, 0), 5'000'000'000).length, "5000000 seconds");
  EXPECT_EQ(decode(headerAt(0, 0xF3, 0x10, 0), 5'000'000'000).size, "5000000000 bytes");
}

TEST(MpegHeaderFields, FourthByteGivesModeFlagsAndEmphasis) {
  const char* modes[] = {" Stereo", " Joint Stereo", " 2 Channel", " Mono"};
  const char* emphases[] = {" None", " 50/15 microsec", " invalid", " CITT j. 17"};
  for (int b3 = 0; b3 < 256; ++b3) {
    const MpegInfo info = decode(headerAt(0, 0xFB, 0x90, static_cast<std::uint8_t>(b3)), 1000);
    EXPECT_EQ(info.mode, modes[b3 >> 6]);
    EXPECT_EQ(info.emphasis, emphases[b3 & 3]);
    EXPECT_EQ(info.copyflag, (b3 & 8) ? " Yes" : " No");
    EXPECT_EQ(info.origflag, (b3 & 4) ? " Yes" : " No");
  }
}

TEST(MpegXing, MarkerInOtherCaseOrAtOtherOffsetGivesConstantBitrateTexts) {
  for (auto [marker, offset] : {std::pair{"xing", 36}, std::pair{"XING", 36},
                                std::pair{"Xing", 21}, std::pair{"Xing", 13},
                                std::pair{"Info", 36}}) {
    Bytes bytes = headerAt(0, 0xFB, 0x90, 0x64);
    putXing(bytes, 0, 1000, marker, static_cast<std::size_t>(offset));
    const MpegInfo info = decode(bytes, 4'000'000);
    EXPECT_EQ(info.bitrate, "128Kbit") << marker << " at " << offset;
    EXPECT_EQ(info.length, "250 seconds") << marker << " at " << offset;
  }
}

TEST(MpegXing, SecondsDropFiftySevenFramesThenCount38_38_39) {
  const std::pair<std::uint32_t, long> rows[] = {
      {0, 0},           {57, 0},           {58, 1}, {57 + 38, 1}, {57 + 39, 2}, {57 + 38 + 38 + 39, 3},
      {57 + 116, 4},    {0xFFFFFF, 437'665},  // largest count: (16777215 - 57) / (115 / 3), up
  };
  for (const auto& [frames, seconds] : rows) EXPECT_EQ(XingFrames(frames), seconds) << frames;
}

TEST(MpegUnknownValues, FreeFormatStreamShowsNoInventedNumbers) {
  const MpegInfo info = decode(headerAt(0, 0xF3, 0x00, 0), 4'000'000);
  EXPECT_EQ(info.bitrate, kFreeFormatBitrate);
  EXPECT_EQ(info.length, kUnknownLength);
  EXPECT_EQ(info.frequency, "22050 Hz");
  EXPECT_EQ(info.size, "4000000 bytes");
}

TEST(MpegUnknownValues, XingCountPastScannedBlockReadsAsZero) {
  // The marker fits in the block but the count bytes would lie beyond it.
  Bytes bytes = headerAt(4091 - 36, 0xFB, 0x90, 0x64);
  for (int k = 0; k < 4; ++k) bytes.at(4091 + k) = "Xing"[k];
  const MpegInfo info = decode(bytes, 5'000'000);
  EXPECT_EQ(info.length, kUnknownLength);
  // A longer span than the block is not looked at past it either.
  Bytes longer = bytes;
  longer.resize(5000, 0xEE);
  EXPECT_EQ(decode(longer, 5'000'000).length, kUnknownLength);
}

}  // namespace
}  // namespace sonavex
