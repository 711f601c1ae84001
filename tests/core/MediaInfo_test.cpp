// The file info texts: MPEG frame headers and Xing counts, ID3v1 tags, reading the two ends of a
// file, the dialog's captions and messages, and `--file-info`.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <sstream>

#include "core/FileInfoCommand.h"
#include "core/FileInfoTexts.h"
#include "tests/core/Kit.h"

namespace sonavex {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Lines = std::vector<std::string>;
using kit::TempTree;

// A scan block of zeros with the frame header FF b1 b2 b3 at a 0-based offset.
Bytes headerAt(std::size_t at, std::uint8_t b1, std::uint8_t b2, std::uint8_t b3, std::size_t length = kMpegScanBytes) {
  Bytes bytes(length, 0);
  for (std::uint8_t b : {std::uint8_t{0xFF}, b1, b2, b3}) bytes.at(at++) = b;
  return bytes;
}

// A Xing marker at a frame starting at 0, with its big-endian frame count after the flags word.
Bytes xing(std::uint32_t frames, const char* marker = "Xing", std::size_t at = 36) {
  Bytes bytes = headerAt(0, 0xFB, 0x90, 0x64);
  for (std::size_t k = 0; k < 4; ++k) bytes.at(at + k) = static_cast<std::uint8_t>(marker[k]);
  for (std::size_t k = 0; k < 4; ++k) bytes.at(at + 8 + k) = static_cast<std::uint8_t>(frames >> (24 - 8 * k));
  return bytes;
}

// Every decoded text, so that one comparison shows them all.
std::string texts(const Bytes& bytes, std::uint64_t size) {
  MpegInfo i;
  decodeMpegInfo(bytes, size, i);
  return i.version + "|" + i.layer + "|" + i.crc + "|" + i.bitrate + "|" + i.frequency + "|" + i.mode + "|" +
         i.copyflag + "|" + i.origflag + "|" + i.emphasis + "|" + i.length + "|" + i.size;
}

TEST(MpegHeader, TheFirstQualifyingPairInTheScannedBlockGivesEveryText) {
  Bytes late(kMpegScanBytes, 0), metadata = headerAt(100, 0xF3, 0x44, 0xC0);
  late[4092] = 0xFF;  // positions counted from 1: 4092 is the last one searched
  late[4093] = 0xFB;
  // A lone 0xFF and a rejected pair come first, then an accepted pair inside leading metadata,
  // which is taken for the header although the audio's own frame follows.
  metadata[10] = metadata[20] = metadata[600] = 0xFF;
  metadata[21] = 0xF1;
  metadata[601] = 0xFB;
  const struct { Bytes bytes; std::uint64_t size; const char* texts; } rows[] = {
      {headerAt(0, 0xFB, 0x90, 0x64), 4'000'000,
       "MPEG 1.0|layer 3|No|128Kbit|44100 Hz| Joint Stereo| No| Yes| None|250 seconds|4000000 bytes"},
      {headerAt(4091, 0xFB, 0x90, 0x64), 4096,
       "MPEG 1.0|layer 3|No|128Kbit|44100 Hz| Joint Stereo| No| Yes| None|0 seconds|4096 bytes"},
      {late, 4096, "||||||||||4096 bytes"},
      {metadata, 1000, "MPEG 2.0|layer 3|No|32Kbit|24000 Hz| Mono| No| No| None|0 seconds|1000 bytes"},
      // A short block reads as followed by zeros.
      {{0x00, 0xFF, 0xFA, 0x10}, 4, "MPEG 1.0|layer 3|Yes|32Kbit|44100 Hz| Stereo| No| No| None|0 seconds|4 bytes"},
      {{0xFF, 0xFB}, 2, "MPEG 1.0|layer 3|No|24Kbit|44100 Hz| Stereo| No| No| None|0 seconds|2 bytes"},
      {{}, 0, "||||||||||0 bytes"},
      // Free format: no bitrate to divide by.
      {headerAt(0, 0xF3, 0x00, 0), 4'000'000,
       "MPEG 2.0|layer 3|No|free format|22050 Hz| Stereo| No| No| None|unknown|4000000 bytes"},
      // Rarer entries of the tables: 320 kbit/s at 48 kHz, 160 at 16 kHz, two channels, emphases.
      {headerAt(0, 0xFC, 0xF4, 0xBD), 1000,
       "MPEG 1.0|layer 2|Yes|320Kbit|48000 Hz| 2 Channel| Yes| Yes| 50/15 microsec|0 seconds|1000 bytes"},
      {headerAt(0, 0xF2, 0xE8, 0x43), 1000,
       "MPEG 2.0|layer 3|Yes|160Kbit|16000 Hz| Joint Stereo| No| No| CITT j. 17|0 seconds|1000 bytes"},
      // 8 kbit/s is 1 byte per ms; sizes past 32 bits keep their digits.
      {headerAt(0, 0xF3, 0x10, 0), 5'000'000'000,
       "MPEG 2.0|layer 3|No|8Kbit|22050 Hz| Stereo| No| No| None|5000000 seconds|5000000000 bytes"},
      // 320 kbit/s = 40 bytes per millisecond: both divisions truncate.
      {headerAt(0, 0xFB, 0xE0, 0), 39'999, "MPEG 1.0|layer 3|No|320Kbit|44100 Hz| Stereo| No| No| None|0 seconds|39999 bytes"},
      {headerAt(0, 0xFB, 0xE0, 0), 40'000, "MPEG 1.0|layer 3|No|320Kbit|44100 Hz| Stereo| No| No| None|1 seconds|40000 bytes"},
  };
  for (const auto& r : rows) EXPECT_EQ(texts(r.bytes, r.size), r.texts) << r.size;
}

// Twelve second bytes start a frame, each naming its version, layer and CRC; no other does.
TEST(MpegHeader, OnlyTwelveSecondBytesStartAFrame) {
  const std::map<int, const char*> second = {
      {0xFA, "MPEG 1.0 layer 3 Yes"}, {0xFB, "MPEG 1.0 layer 3 No"}, {0xFC, "MPEG 1.0 layer 2 Yes"},
      {0xFD, "MPEG 1.0 layer 2 No"},  {0xFE, "MPEG 1.0 layer 1 Yes"}, {0xFF, "MPEG 1.0 layer 1 No"},
      {0xF2, "MPEG 2.0 layer 3 Yes"}, {0xF3, "MPEG 2.0 layer 3 No"},  {0xF4, "MPEG 2.0 layer 2 Yes"},
      {0xF5, "MPEG 2.0 layer 2 No"},  {0xF6, "MPEG 2.0 layer 1 Yes"}, {0xF7, "MPEG 2.0 layer 1 No"}};
  for (int b1 = 0; b1 <= 0xFF; ++b1) {  // no other second byte starts a frame
    MpegInfo i;
    const bool found = decodeMpegInfo(headerAt(5, static_cast<std::uint8_t>(b1), 0x90, 0, 16), 16, i);
    EXPECT_EQ(found ? i.version + " " + i.layer + " " + i.crc : "", second.count(b1) ? second.at(b1) : "") << b1;
  }
}

TEST(MpegXing, TheFrameCountOfA5MBFileGivesLengthAndAverageBitrateAndFiftySevenOrFewerNone) {
  const struct { Bytes bytes; const char* lengthAndBitrate; } rows[] = {
      {xing(1000), "25 seconds|1600 Kbit (VBR)"},
      {xing(10000), "260 seconds|153 Kbit (VBR)"},
      {xing(0x7F000000u + 1000), "25 seconds|1600 Kbit (VBR)"},  // only the low three bytes count
      {xing(0), "unknown|unknown (VBR)"}, {xing(1), "unknown|unknown (VBR)"}, {xing(57), "unknown|unknown (VBR)"},
      // Another letter case or offset, or the encoder's "Info", is no Xing header: the table bitrate shows.
      {xing(1000, "xing"), "312 seconds|128Kbit"}, {xing(1000, "XING"), "312 seconds|128Kbit"},
      {xing(1000, "Xing", 21), "312 seconds|128Kbit"}, {xing(1000, "Xing", 13), "312 seconds|128Kbit"},
      {xing(1000, "Info"), "312 seconds|128Kbit"},
  };
  for (const auto& r : rows) {
    MpegInfo i;
    decodeMpegInfo(r.bytes, 5'000'000, i);
    EXPECT_EQ(i.length + "|" + i.bitrate, r.lengthAndBitrate);
  }
  // The marker fits in the block but the count bytes would lie beyond it, also in a longer span.
  Bytes cut = headerAt(4091 - 36, 0xFB, 0x90, 0x64);
  for (int k = 0; k < 4; ++k) cut.at(4091 + k) = "Xing"[k];
  EXPECT_EQ(texts(cut, 5'000'000), texts(xing(0), 5'000'000));
  cut.resize(5000, 0xEE);
  EXPECT_EQ(texts(cut, 5'000'000), texts(xing(0), 5'000'000));
  Bytes edge = headerAt(4051, 0xFB, 0x90, 0x64, 5000);  // the count's second byte is the first past it
  for (int k = 0; k < 4; ++k) edge.at(4087 + k) = "Xing"[k];
  std::fill(edge.begin() + 4096, edge.end(), 0xEE);
  EXPECT_EQ(texts(edge, 5'000'000), texts(xing(0), 5'000'000));
  // Seconds drop 57 frames, then count 38, 38, 39 frames each.
  const std::pair<std::uint32_t, long> seconds[] = {{0, 0}, {57, 0}, {58, 1}, {57 + 38, 1}, {57 + 39, 2},
                                                    {57 + 38 + 38 + 39, 3}, {57 + 116, 4}, {0xFFFFFF, 437'665}};
  for (const auto& [frames, s] : seconds) EXPECT_EQ(XingFrames(frames), s) << frames;
}

// A 128-byte tag block of blanks with the marker and the given fields at their offsets.
Bytes tagBlock(const std::string& marker, const std::vector<std::pair<std::size_t, std::string>>& fields = {}) {
  Bytes tag(kId3v1Size, ' ');
  std::copy(marker.begin(), marker.end(), tag.begin());
  tag[127] = 17;  // genre number, never read
  for (const auto& [at, text] : fields)
    std::copy(text.begin(), text.end(), tag.begin() + static_cast<std::ptrdiff_t>(at));
  return tag;
}

TEST(Id3v1, AnyLetterCaseOfTagInExactly128BytesAndEachFieldFromItsOffsetTrimmedOfBlanksOnly) {
  for (const char* marker : {"TAG", "tag", "tAg", "TaG"}) EXPECT_TRUE(readId3v1(tagBlock(marker)).present) << marker;
  for (const char* marker : {"TAB", "XAG", "TA ", "ID3"}) EXPECT_FALSE(readId3v1(tagBlock(marker)).present) << marker;
  Bytes longer = tagBlock("TAG"), shorter = tagBlock("TAG");
  longer.push_back(' ');
  shorter.pop_back();
  EXPECT_FALSE(readId3v1(longer).present || readId3v1(shorter).present || readId3v1({}).present);
  const Id3v1Tag full = readId3v1(tagBlock("TAG", {{3, std::string(30, 'T')}, {33, std::string(30, 'R')},
                                                    {63, std::string(30, 'L')}, {93, "1999"},
                                                    {97, std::string(30, 'C')}}));
  EXPECT_EQ((Lines{full.Title, full.Artist, full.Album, full.Year, full.Comment}),
            (Lines{std::string(30, 'T'), std::string(30, 'R'), std::string(30, 'L'), "1999", std::string(30, 'C')}));
  // Blanks before NULs, tabs and bytes above 127 stay; a field of blanks is empty.
  const Id3v1Tag odd = readId3v1(tagBlock("TAG", {{3, "  two  words"}, {33, "Band  " + std::string(24, '\0')},
                                                   {63, "\tCaf\xE9 \xFF\t"}}));
  EXPECT_EQ((Lines{odd.Title, odd.Artist, odd.Album, odd.Year}),
            (Lines{"two  words", "Band  " + std::string(24, '\0'), "\tCaf\xE9 \xFF\t", ""}));
  EXPECT_EQ(shownText(odd.Artist), "Band  ");
  EXPECT_EQ(shownText(std::string("\0x", 2)), "");
}

const std::string kHeader = "\xFF\xFB\x90\x64";  // MPEG 1.0 layer 3, 128 kbit/s, 44.1 kHz

std::string tagWithTitle(const std::string& title, const std::string& marker = "TAG") {
  const Bytes tag = tagBlock(marker, {{3, title}});
  return {tag.begin(), tag.end()};
}

// A sparse file of the given size whose first and last bytes are written.
std::string writeSparse(const TempTree& t, const std::string& name, std::uint64_t size, const std::string& head,
                        const std::string& tail) {
  const std::string path = t.write(name, head);
  std::filesystem::resize_file(path, size);
  std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
  file.seekp(static_cast<std::streamoff>(size - tail.size())) << tail;
  return path;
}

TEST(FileProbe, ReadsOnlyBothEndsOfARegularFileAndTheTagOnlyFrom128Bytes) {
  TempTree t;
  std::string head = kHeader;
  head.resize(kMpegScanBytes + 10, '\xAB');  // bytes past the scanned block must not matter
  const std::string big = writeSparse(t, "big.mp3", 4'000'000, head, tagWithTitle("End", "tAg"));
  const FileProbe probe = probeFile(big);
  EXPECT_EQ(std::tuple(probe.readable, probe.size, probe.headBytes, readId3v1(probe.tailSpan()).Title),
            std::tuple(true, 4'000'000u, kMpegScanBytes, "End"));
  MpegInfo info;
  EXPECT_TRUE(ReadMpegInfo(big, info));
  EXPECT_FALSE(ReadMpegInfo(t.path("gone.mp3"), info));  // leaves the texts as they were
  EXPECT_EQ(info.length + "|" + info.size, "250 seconds|4000000 bytes");

  const std::string tag = tagWithTitle("Solo");
  for (const std::string& content : {std::string(), tag.substr(0, 127), tag}) {
    const FileProbe p = probeFile(t.write("f.mp3", content));
    EXPECT_EQ(std::tuple(p.readable, p.size, readId3v1(p.tailSpan()).Title),
              std::tuple(true, content.size(), content.size() == 128 ? "Solo" : ""));
  }
  ASSERT_EQ(::mkfifo(t.path("pipe.mp3").c_str(), 0644), 0);  // no writer: a plain open would block
  for (const std::string& path : {t.path("gone.mp3"), t.path(""), std::string(), t.path("pipe.mp3"),
                                  t.path("f.mp3") + std::string("\0b", 2)}) {
    const FileProbe p = probeFile(path);
    EXPECT_FALSE(p.readable || p.error.empty()) << path;
  }
}

TEST(Id3v2, ATagAtTheStartIsItsHeaderItsSizeInSevenBitBytesAndItsFlaggedFooter) {
  const struct { std::string start; std::uint64_t size; } rows[] = {
      {std::string("ID3\x03\0\0\0\0\x02\x01", 10), 10 + 257},
      {std::string("ID3\x04\0\x10\x7F\x7F\x7F\x7F", 10), 10 + 0xFFFFFFF + 10},  // a footer
      {std::string("ID3\x04\0\0\0\0\x80\0", 10), 0},  // a size byte of eight bits
      {std::string("ID3\xFF\0\0\0\0\0\0", 10), 0}, {std::string("ID3\x03\xFF\0\0\0\0\0", 10), 0},
      {std::string("ID3\x03\0\0\0\0\x02", 9), 0}, {std::string("3DI\x04\0\0\0\0\0\0", 10), 0}};
  for (const auto& r : rows) EXPECT_EQ(id3v2TagSize(Bytes(r.start.begin(), r.start.end())), r.size) << r.start;
}

// Real encoder output: lame's ID3v2 tag, whose UTF-16 texts begin with the byte-order mark FF FE
// and whose cover is longer than the block searched, comes before the first frame; a file without
// one is read from its first byte. Two seconds of silence: 128 kbit/s, joint stereo, 44.1 kHz.
TEST(FileProbe, LameFilesShowTheFrameAfterTheirId3v2Tag) {
  TempTree t;
  t.write("silence.pcm", std::string(352'800, '\0'));
  t.write("cover.jpg", "\xFF\xD8" + std::string(60'000, 'x'));
  const std::pair<const char*, const char*> rows[] = {
      {"--id3v2-only --id3v2-utf16 --tt T\xC3\xADtulo", "2 seconds"},
      {"--id3v2-only --ti cover.jpg", "5 seconds"},  // the tag's bytes count in the length
      {"--id3v1-only --tt Title", "2 seconds"}};
  for (const auto& [options, length] : rows) {
    const std::string lame = "cd '" + t.path("") + "' && lame --quiet -r -s 44.1 --bitwidth 16 " + options +
                             " silence.pcm out.mp3 2>/dev/null";
    ASSERT_EQ(std::system(lame.c_str()), 0) << options;
    const FileInfoTexts texts = buildFileInfoTexts(probeFile(t.path("out.mp3")));
    EXPECT_EQ(texts.labLayer + "|" + texts.labBitRate + "|" + texts.labFreqChan + "|" + texts.labLength,
              std::string("MPEG 1.0 layer 3|128Kbit|44100 Hz  Joint Stereo|Length: ") + length) << options;
  }
}

TEST(FileProbe, AFileThatYieldsFewerBytesThanItsSizeReadsAsAShortFile) {
  // Kernel attribute files claim 4096 bytes and yield a few, like a file cut short mid-read.
  for (const char* path : {"/sys/devices/system/cpu/online", "/sys/kernel/mm/transparent_hugepage/enabled"}) {
    struct stat st {};
    if (::stat(path, &st) != 0 || st.st_size != 4096) continue;
    const FileProbe probe = probeFile(path);
    EXPECT_LT(probe.headBytes, kMpegScanBytes);
    EXPECT_EQ(std::tuple(probe.readable, probe.size, probe.hasTail), std::tuple(true, probe.headBytes, false));
    EXPECT_EQ(buildFileInfoTexts(probe).labSize, "Size: " + std::to_string(probe.headBytes) + " bytes");
    return;
  }
  GTEST_SKIP() << "no kernel attribute file to read";
}

TEST(FileInfoLoading, ReadsTheChosenEntryOnlyWithAMessageForANotMpegFileAndNamesAnUnreadableOne) {
  TempTree t;
  kit::Scene c;
  const auto loadChosen = [&c](const std::string& path) {  // the focused entry, as a right click makes it
    c.add({path});
    c.focus(c.core.list.count() - 1);
    return loadFileInfo(c.core);
  };
  EXPECT_FALSE(loadChosen("x"));  // shorter than four characters, and nothing shown before: no dialog
  const std::string first = writeSparse(t, "a.mp3", 4'000'000, kHeader, tagWithTitle("Alpha"));
  auto texts = loadChosen(first);
  ASSERT_TRUE(texts);
  EXPECT_EQ(c.core.shared.fileinfopath, first);
  EXPECT_EQ(texts->tag.Title + "|" + texts->labLength, "Alpha|Length: 250 seconds");
  // A path shorter than four characters, or no focused entry, keeps the previous file.
  texts = loadChosen("a/b");
  ASSERT_TRUE(texts);
  EXPECT_EQ(texts->tag.Title, "Alpha");
  c.core.list.setListIndex2(kNone);
  EXPECT_TRUE(loadFileInfo(c.core));
  EXPECT_EQ(c.core.shared.fileinfopath, first);
  EXPECT_TRUE(c.messages.shown.empty());

  texts = loadChosen(t.write("notes.txt", std::string(300, 'x')));
  ASSERT_TRUE(texts);
  EXPECT_EQ(texts->labSize, "Size: 300 bytes");
  const std::string gone = t.path("vanished.mp3");
  EXPECT_FALSE(loadChosen(gone));
  EXPECT_FALSE(loadChosen(t.path("")));  // a folder
  EXPECT_FALSE(loadChosen("http://radio.example/live"));  // never read as a file
  EXPECT_EQ(c.messages.shown,
            (Lines{"Not a MP3 file...|Error...|Ok|Critical",
                   "Cannot read the file \"" + gone + "\": No such file or directory|Error...|Ok|Critical",
                   "Cannot read the file \"" + t.path("") + "\": it is a folder|Error...|Ok|Critical",
                   addressInfoMessage("http://radio.example/live") + "|Sonavex|Ok|Information"}));
}

// The texts of the dialog: each label's design caption joined with the decoded text, the tag's
// boxes up to a NUL, or the no-tag label; a file without a frame keeps the bare captions.
TEST(FileInfoCommand, PrintsAFileLineThenControlTabTextLinesAndFailsOnlyForUnreadablePaths) {
  TempTree t;
  const std::string song = writeSparse(t, "song.mp3", 4'000'000, kHeader, std::string(128, '\0'));
  const std::string tagged =
      writeSparse(t, "notes.txt", 5000, std::string(200, 'A'), tagWithTitle(std::string("Caf\xE9\0hidden", 11)));
  const std::string gone = t.path("gone.mp3");
  std::ostringstream out, err, none;
  EXPECT_EQ(runFileInfoCommand({song, tagged, gone}, out, err), 1);
  EXPECT_EQ(out.str(), "file\t" + song + "\nlabNoTag\tThis MP3 doesn't contain ID3 Tag\n"
                       "labSize\tSize: 4000000 bytes\nlabLength\tLength: 250 seconds\nlabLayer\tMPEG 1.0 layer 3\n"
                       "labBitRate\t128Kbit\nlabFreqChan\t44100 Hz  Joint Stereo\nlabCRC\tCRCs:No\n"
                       "labCopy\tCopyrighted: No\nlabOriginal\tOriginal: Yes\nlabEmphasis\tEmphasis: None\n"
                       "file\t" + tagged + "\nTitle\tCaf\xE9\nArtist\t\nAlbum\t\nYear\t\nComment\t\n"
                       "labSize\tSize: 5000 bytes\nlabLength\tLength: \nlabLayer\t \nlabBitRate\t\nlabFreqChan\t \n"
                       "labCRC\tCRCs:\nlabCopy\tCopyrighted:\nlabOriginal\tOriginal:\nlabEmphasis\tEmphasis:\n"
                       "file\t" + gone + "\n");
  EXPECT_EQ(err.str(),
            tagged + ": Not a MP3 file...\nCannot read the file \"" + gone + "\": No such file or directory\n");
  EXPECT_EQ(runFileInfoCommand({song, tagged}, none, err), 0);
  EXPECT_EQ(runFileInfoCommand({}, none, err), 0);
}

}  // namespace
}  // namespace sonavex
