// Real MP3 files made by the lame encoder at test time: the texts must match what the encoder
// was asked to write.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "mediainfo/core/FileInfoCommand.h"
#include "mediainfo/core/FileInfoTexts.h"

namespace sonavex {
namespace {

namespace fs = std::filesystem;

void putLe(std::ofstream& out, std::uint32_t value, int bytes) {
  for (int k = 0; k < bytes; ++k) out.put(static_cast<char>((value >> (8 * k)) & 0xFF));
}

// A 16-bit PCM WAV file holding a quiet tone.
void writeTone(const std::string& path, int rate, int channels, double seconds) {
  const auto frames = static_cast<std::uint32_t>(rate * seconds);
  const std::uint32_t dataBytes = frames * static_cast<std::uint32_t>(channels) * 2;
  std::ofstream out(path, std::ios::binary);
  out << "RIFF";
  putLe(out, 36 + dataBytes, 4);
  out << "WAVEfmt ";
  putLe(out, 16, 4);
  putLe(out, 1, 2);
  putLe(out, static_cast<std::uint32_t>(channels), 2);
  putLe(out, static_cast<std::uint32_t>(rate), 4);
  putLe(out, static_cast<std::uint32_t>(rate * channels * 2), 4);
  putLe(out, static_cast<std::uint32_t>(channels * 2), 2);
  putLe(out, 16, 2);
  out << "data";
  putLe(out, dataBytes, 4);
  for (std::uint32_t i = 0; i < frames; ++i) {
    for (int c = 0; c < channels; ++c) {
      const double sample = 8000.0 * std::sin(static_cast<double>(i) * (0.05 + 0.01 * c));
      putLe(out, static_cast<std::uint32_t>(static_cast<std::int16_t>(sample)) & 0xFFFF, 2);
    }
  }
}

class EncodedFiles : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (std::system("lame --version >/dev/null 2>&1") != 0) return;
    std::string pattern = (fs::temp_directory_path() / "sonavex-lame-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) return;
    dir_ = new fs::path(pattern);
  }
  static void TearDownTestSuite() {
    if (!dir_) return;
    std::error_code ec;
    fs::remove_all(*dir_, ec);
    delete dir_;
    dir_ = nullptr;
  }
  void SetUp() override {
    if (!dir_) GTEST_SKIP() << "lame is not installed (scripts/install-deps.sh installs it)";
  }

  // Encodes a tone of the given shape with the given lame options; returns the MP3's path.
  static std::string encode(const std::string& name, int rate, int channels, double seconds,
                            const std::string& options) {
    const std::string wav = (*dir_ / (name + ".wav")).string();
    const std::string mp3 = (*dir_ / (name + ".mp3")).string();
    writeTone(wav, rate, channels, seconds);
    const std::string command = "lame --quiet " + options + " '" + wav + "' '" + mp3 + "'";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return mp3;
  }

  static FileInfoTexts texts(const std::string& path) {
    const FileProbe probe = probeFile(path);
    EXPECT_TRUE(probe.readable) << path;
    return buildFileInfoTexts(probe);
  }

  static fs::path* dir_;
};

fs::path* EncodedFiles::dir_ = nullptr;

TEST_F(EncodedFiles, ConstantBitrateHeadersGiveTheEncodersSettings) {
  const struct {
    const char* name;
    int rate, channels;
    double seconds;
    const char *options, *layer, *freqChan, *bitrate, *length, *crc, *copy;
  } rows[] = {
      // The encoder's "Info" header is not a Xing marker: the table bitrate shows.
      {"cbr-stereo", 44100, 2, 3.0, "-m s -b 128", "MPEG 1.0 layer 3", "44100 Hz  Stereo", "128Kbit", "Length: 3 seconds",
       "CRCs:No", "Copyrighted: No"},
      {"cbr-mono", 44100, 1, 2.0, "-m m -b 64 -p -c", "MPEG 1.0 layer 3", "44100 Hz  Mono", "64Kbit",
       "Length: 2 seconds", "CRCs:Yes", "Copyrighted: Yes"},
      {"mpeg2-mono", 22050, 1, 3.0, "-m m -b 64", "MPEG 2.0 layer 3", "22050 Hz  Mono", "64Kbit", "Length: 3 seconds",
       "CRCs:No", "Copyrighted: No"},
      {"mpeg2-stereo", 24000, 2, 2.0, "-m s -b 96", "MPEG 2.0 layer 3", "24000 Hz  Stereo", "96Kbit",
       "Length: 2 seconds", "CRCs:No", "Copyrighted: No"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string path = encode(row.name, row.rate, row.channels, row.seconds, row.options);
    const FileInfoTexts t = texts(path);
    EXPECT_TRUE(t.isMpeg);
    EXPECT_FALSE(t.tag.present);
    EXPECT_EQ(t.labLayer, row.layer);
    EXPECT_EQ(t.labFreqChan, row.freqChan);
    EXPECT_EQ(t.labBitRate, row.bitrate);
    EXPECT_EQ(t.labLength, row.length);
    EXPECT_EQ(t.labCRC, row.crc);
    EXPECT_EQ(t.labCopy, row.copy);
    EXPECT_EQ(t.labOriginal, "Original: Yes");
    EXPECT_EQ(t.labEmphasis, "Emphasis: None");
    EXPECT_EQ(t.labSize, "Size: " + std::to_string(fs::file_size(path)) + " bytes");
  }
}

TEST_F(EncodedFiles, VariableBitrateStereoUsesXingFrameCount) {
  const std::string path = encode("vbr-stereo", 44100, 2, 10.0, "-m j -V 4");
  const FileInfoTexts t = texts(path);
  EXPECT_EQ(t.labLayer, "MPEG 1.0 layer 3");
  EXPECT_EQ(t.labFreqChan, "44100 Hz  Joint Stereo");
  // About 383 frames for 10 s; dropping 57 and counting 38.3 a second leaves 9.
  EXPECT_EQ(t.labLength, "Length: 9 seconds");
  EXPECT_EQ(t.labBitRate, std::to_string(fs::file_size(path) * 8 / 9000) + " Kbit (VBR)");
}

TEST_F(EncodedFiles, VariableBitrateMonoHasMarkerElsewhereAndShowsTableTexts) {
  const FileInfoTexts t = texts(encode("vbr-mono", 44100, 1, 4.0, "-m m -V 4"));
  EXPECT_EQ(t.labFreqChan, "44100 Hz  Mono");
  EXPECT_EQ(t.labBitRate.find("VBR"), std::string::npos);
  EXPECT_EQ(t.labBitRate.substr(t.labBitRate.size() - 4), "Kbit");
}

TEST_F(EncodedFiles, Id3v2InFrontWithLatin1TextsIsSkippedOver) {
  // Only the encoder's own Latin-1 frames: no 0xFF byte before the first audio frame.
  const FileInfoTexts t = texts(encode("v2plain", 44100, 2, 10.0, "-m j -V 4 --add-id3v2"));
  EXPECT_EQ(t.labLayer, "MPEG 1.0 layer 3");
  EXPECT_EQ(t.labFreqChan, "44100 Hz  Joint Stereo");
  EXPECT_EQ(t.labLength, "Length: 9 seconds");
}

TEST_F(EncodedFiles, Id3v2WithUnicodeTextsIsScannedLikeAudioAndId3v1IsRead) {
  const std::string path = encode("tagged", 44100, 2, 10.0,
                                  "-m j -V 4 --add-id3v2 --tt Song --ta Band --tl Record "
                                  "--ty 2001 --tc Note");
  const FileInfoTexts t = texts(path);
  // The title frame's byte-order mark FF FE, then "S" (0x53) and 0x00, is the first header.
  EXPECT_TRUE(t.isMpeg);
  EXPECT_EQ(t.labLayer, "MPEG 1.0 layer 1");
  EXPECT_EQ(t.labCRC, "CRCs:Yes");
  EXPECT_EQ(t.labBitRate, "64Kbit");
  EXPECT_EQ(t.labFreqChan, "44100 Hz  Stereo");
  ASSERT_TRUE(t.tag.present);
  EXPECT_EQ(shownText(t.tag.Title), "Song");
  EXPECT_EQ(shownText(t.tag.Artist), "Band");
  EXPECT_EQ(shownText(t.tag.Album), "Record");
  EXPECT_EQ(shownText(t.tag.Year), "2001");
  EXPECT_EQ(shownText(t.tag.Comment), "Note");

  std::ostringstream out, err;
  EXPECT_EQ(runFileInfoCommand({path}, out, err), 0);
  EXPECT_NE(out.str().find("\nTitle\tSong\nArtist\tBand\nAlbum\tRecord\nYear\t2001\nComment\tNote\n"),
            std::string::npos);
}

TEST_F(EncodedFiles, Id3v1OnlyOnConstantBitrate) {
  const FileInfoTexts t =
      texts(encode("v1only", 44100, 2, 2.0, "-m s -b 160 --id3v1-only --tt Short --ty 1987"));
  EXPECT_EQ(t.labBitRate, "160Kbit");
  ASSERT_TRUE(t.tag.present);
  EXPECT_EQ(shownText(t.tag.Title), "Short");
  EXPECT_EQ(shownText(t.tag.Year), "1987");
  EXPECT_EQ(shownText(t.tag.Artist), "");
}

}  // namespace
}  // namespace sonavex
