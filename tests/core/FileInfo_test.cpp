#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/core/Core.h"
#include "engine/core/FakeMediaEngine.h"
#include "mediainfo/core/FileInfoCommand.h"
#include "mediainfo/core/FileInfoTexts.h"
#include "mediainfo/core/FileProbe.h"
#include "playlist/core/Random.h"

namespace sonavex {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

// A private folder removed after each test.
class TempDir {
 public:
  TempDir() {
    std::string pattern = (fs::temp_directory_path() / "sonavex-fileinfo-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
  }
  ~TempDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  std::string file(const std::string& name) const { return (path_ / name).string(); }

 private:
  fs::path path_;
};

void writeBytes(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A sparse file of the given size whose first and last bytes are written.
void writeSparse(const std::string& path, std::uint64_t size, const Bytes& head, const Bytes& tail) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::ftruncate(fd, static_cast<off_t>(size)), 0);
  ASSERT_EQ(::pwrite(fd, head.data(), head.size(), 0), static_cast<ssize_t>(head.size()));
  ASSERT_EQ(::pwrite(fd, tail.data(), tail.size(), static_cast<off_t>(size - tail.size())),
            static_cast<ssize_t>(tail.size()));
  ::close(fd);
}

Bytes exampleHeader() { return {0xFF, 0xFB, 0x90, 0x64}; }

Bytes tagWithTitle(const std::string& title, const std::string& marker = "TAG") {
  Bytes tag(kId3v1Size, ' ');
  for (std::size_t k = 0; k < 3; ++k) tag[k] = static_cast<std::uint8_t>(marker[k]);
  for (std::size_t k = 0; k < title.size(); ++k) tag[3 + k] = static_cast<std::uint8_t>(title[k]);
  return tag;
}

struct RecordedBox {
  std::string text, title;
  MsgButtons buttons;
  MsgIcon icon;
};

class RecordingMessages : public MessageBoxes {
 public:
  std::vector<RecordedBox> shown;
  MsgAnswer show(const std::string& text, const std::string& title, MsgButtons buttons,
                 MsgIcon icon) override {
    shown.push_back({text, title, buttons, icon});
    return MsgAnswer::Ok;
  }
};

TEST(FileProbeReading, MissingFileFolderAndPipeAreUnreadableWithReason) {
  TempDir dir;
  for (const std::string& path : {dir.file("gone.mp3"), dir.file(""), std::string()}) {
    const FileProbe probe = probeFile(path);
    EXPECT_FALSE(probe.readable) << path;
    EXPECT_FALSE(probe.error.empty()) << path;
  }
  const FileProbe folder = probeFile(dir.file(""));
  EXPECT_NE(folder.error.find("folder"), std::string::npos);

  // A named pipe with no writer would block a plain open or read.
  const std::string fifo = dir.file("pipe.mp3");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  EXPECT_FALSE(probeFile(fifo).readable);
  EXPECT_FALSE(probeFile(std::string("a\0b", 3)).readable);
}

TEST(FileProbeReading, FileShorterThanTagHasNoTag) {
  TempDir dir;
  const std::string path = dir.file("short.mp3");
  Bytes almostTag = tagWithTitle("Tiny");
  almostTag.pop_back();
  writeBytes(path, almostTag);
  const FileProbe probe = probeFile(path);
  ASSERT_TRUE(probe.readable);
  EXPECT_EQ(probe.size, 127u);
  EXPECT_FALSE(readId3v1(probe.tailSpan()).present);
  writeBytes(path, {});
  EXPECT_EQ(probeFile(path).size, 0u);
  EXPECT_FALSE(readId3v1(probeFile(path).tailSpan()).present);
}

TEST(FileProbeReading, FileOfExactly128BytesIsItsOwnTag) {
  TempDir dir;
  const std::string path = dir.file("tagonly.mp3");
  writeBytes(path, tagWithTitle("Solo"));
  const FileProbe probe = probeFile(path);
  const Id3v1Tag tag = readId3v1(probe.tailSpan());
  EXPECT_TRUE(tag.present);
  EXPECT_EQ(tag.Title, "Solo");
}

TEST(FileProbeReading, LargeFileIsReadAtBothEndsOnly) {
  TempDir dir;
  const std::string path = dir.file("big.mp3");
  Bytes head = exampleHeader();
  head.resize(kMpegScanBytes + 10, 0xAB);  // bytes past the scanned block must not matter
  writeSparse(path, 4'000'000, head, tagWithTitle("End", "tAg"));
  const FileProbe probe = probeFile(path);
  ASSERT_TRUE(probe.readable);
  EXPECT_EQ(probe.size, 4'000'000u);
  EXPECT_EQ(probe.headBytes, kMpegScanBytes);
  EXPECT_EQ(readId3v1(probe.tailSpan()).Title, "End");
  MpegInfo info;
  ASSERT_TRUE(ReadMpegInfo(path, info));
  EXPECT_EQ(info.length, "250 seconds");
  EXPECT_EQ(info.size, "4000000 bytes");
}

TEST(FileProbeReading, FileThatYieldsFewerBytesThanItsSizeReadsAsShortFile) {
  // Kernel attribute files claim 4096 bytes and yield a few, like a file cut short mid-read.
  const char* candidates[] = {"/sys/devices/system/cpu/online",
                              "/sys/kernel/mm/transparent_hugepage/enabled"};
  for (const char* path : candidates) {
    struct stat st {};
    if (::stat(path, &st) != 0 || st.st_size != 4096) continue;
    const FileProbe probe = probeFile(path);
    ASSERT_TRUE(probe.readable);
    EXPECT_LT(probe.headBytes, kMpegScanBytes);
    EXPECT_EQ(probe.size, probe.headBytes);
    EXPECT_FALSE(probe.hasTail);
    EXPECT_EQ(buildFileInfoTexts(probe).labSize, "Size: " + std::to_string(probe.headBytes) + " bytes");
    return;
  }
  GTEST_SKIP() << "no kernel attribute file to read";
}

TEST(FileProbeReading, ReadMpegInfoLeavesInfoUntouchedForUnreadableFile) {
  MpegInfo info;
  info.size = "kept";
  EXPECT_FALSE(ReadMpegInfo("/nonexistent/dir/x.mp3", info));
  EXPECT_EQ(info.size, "kept");
}

FileInfoTexts textsFor(const Bytes& head, std::uint64_t size, const Bytes& tail) {
  TempDir dir;
  const std::string path = dir.file("f.mp3");
  writeSparse(path, size, head, tail);
  return buildFileInfoTexts(probeFile(path));
}

TEST(FileInfoCaptions, JoinDecodedTextsWithExactBlanks) {
  const FileInfoTexts texts = textsFor(exampleHeader(), 4'000'000, Bytes(128, 0));
  EXPECT_TRUE(texts.isMpeg);
  EXPECT_FALSE(texts.tag.present);
  EXPECT_EQ(texts.labSize, "Size: 4000000 bytes");
  EXPECT_EQ(texts.labLength, "Length: 250 seconds");
  EXPECT_EQ(texts.labLayer, "MPEG 1.0 layer 3");
  EXPECT_EQ(texts.labBitRate, "128Kbit");
  EXPECT_EQ(texts.labFreqChan, "44100 Hz  Joint Stereo");
  EXPECT_EQ(texts.labCRC, "CRCs:No");
  EXPECT_EQ(texts.labCopy, "Copyrighted: No");
  EXPECT_EQ(texts.labOriginal, "Original: Yes");
  EXPECT_EQ(texts.labEmphasis, "Emphasis: None");
}

TEST(FileInfoCaptions, NotMpegKeepsDesignCaptionsWithOnlySizeFilled) {
  const FileInfoTexts texts = textsFor(Bytes(200, 0x41), 5000, tagWithTitle("Text"));
  EXPECT_FALSE(texts.isMpeg);
  EXPECT_TRUE(texts.tag.present);
  EXPECT_EQ(texts.labSize, "Size: 5000 bytes");
  EXPECT_EQ(texts.labLength, "Length: ");
  EXPECT_EQ(texts.labLayer, " ");
  EXPECT_EQ(texts.labBitRate, "");
  EXPECT_EQ(texts.labFreqChan, " ");
  EXPECT_EQ(texts.labCRC, "CRCs:");
  EXPECT_EQ(texts.labCopy, "Copyrighted:");
  EXPECT_EQ(texts.labOriginal, "Original:");
  EXPECT_EQ(texts.labEmphasis, "Emphasis:");
}

TEST(FileInfoCaptions, LinesListTagBoxesUpToNulOrTheNoTagLabel) {
  Bytes tag = tagWithTitle(std::string("Song\0hidden", 11));
  const auto tagged = fileInfoLines(textsFor(exampleHeader(), 4000, tag));
  ASSERT_EQ(tagged.size(), 14u);
  EXPECT_EQ(tagged[0], (std::pair<std::string, std::string>{"Title", "Song"}));
  EXPECT_EQ(tagged[3].first, "Year");
  EXPECT_EQ(tagged[5].first, "labSize");
  EXPECT_EQ(tagged[13].first, "labEmphasis");

  const auto untagged = fileInfoLines(textsFor(exampleHeader(), 4000, Bytes(128, 0)));
  ASSERT_EQ(untagged.size(), 10u);
  EXPECT_EQ(untagged[0], (std::pair<std::string, std::string>{"labNoTag", kNoTagCaption}));
}

class FileInfoLoading : public ::testing::Test {
 protected:
  FileInfoLoading() : core(engine, random) { core.platform.messages = &messages; }

  // Adds an entry and makes it the focused entry of the shown list, as a right click does.
  void choose(const std::string& path) {
    core.list.appendEntry(path);
    core.list.markEntry(core.list.count() - 1);
  }

  TempDir dir;
  FakeMediaEngine engine;
  SeededRandom random{1};
  RecordingMessages messages;
  Core core;
};

TEST_F(FileInfoLoading, ReadsChosenEntryWithoutMessageForMpegFile) {
  const std::string path = dir.file("a.mp3");
  writeSparse(path, 4'000'000, exampleHeader(), tagWithTitle("Alpha"));
  choose(path);
  const auto texts = loadFileInfo(core);
  ASSERT_TRUE(texts);
  EXPECT_EQ(core.shared.fileinfopath, path);
  EXPECT_EQ(texts->tag.Title, "Alpha");
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(FileInfoLoading, NotMpegFileShowsMessageThenStillGivesTexts) {
  const std::string path = dir.file("notes.txt");
  writeBytes(path, Bytes(300, 'x'));
  choose(path);
  const auto texts = loadFileInfo(core);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, "Not a MP3 file...");
  EXPECT_EQ(messages.shown[0].title, "Error...");
  EXPECT_EQ(messages.shown[0].buttons, MsgButtons::Ok);
  EXPECT_EQ(messages.shown[0].icon, MsgIcon::Critical);
  ASSERT_TRUE(texts);
  EXPECT_EQ(texts->labSize, "Size: 300 bytes");
}

TEST_F(FileInfoLoading, PathShorterThanFourCharactersKeepsPreviousFile) {
  const std::string first = dir.file("first.mp3");
  writeSparse(first, 10'000, exampleHeader(), tagWithTitle("First"));
  choose(first);
  ASSERT_TRUE(loadFileInfo(core));
  choose("a/b");
  const auto again = loadFileInfo(core);
  EXPECT_EQ(core.shared.fileinfopath, first);
  ASSERT_TRUE(again);
  EXPECT_EQ(again->tag.Title, "First");

  core.list.setListIndex2(kNone);  // no focused entry reads as the empty path
  EXPECT_TRUE(loadFileInfo(core));
  EXPECT_EQ(core.shared.fileinfopath, first);
}

TEST_F(FileInfoLoading, NothingShownBeforeAndShortPathGivesNoDialogAndNoMessage) {
  choose("x");
  EXPECT_FALSE(loadFileInfo(core));
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(core.shared.fileinfopath, "");
}

TEST_F(FileInfoLoading, UnreadableFileNamesItInsteadOfDialog) {
  const std::string gone = dir.file("vanished.mp3");
  choose(gone);
  EXPECT_FALSE(loadFileInfo(core));
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_NE(messages.shown[0].text.find(gone), std::string::npos);
  EXPECT_NE(messages.shown[0].text, "Not a MP3 file...");
  EXPECT_EQ(messages.shown[0].icon, MsgIcon::Critical);

  choose(dir.file(""));  // a folder
  EXPECT_FALSE(loadFileInfo(core));
  ASSERT_EQ(messages.shown.size(), 2u);
  EXPECT_NE(messages.shown[1].text.find("folder"), std::string::npos);
}

std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(FileInfoCommandOutput, PrintsFileLineThenControlTabTextLines) {
  TempDir dir;
  const std::string path = dir.file("song.mp3");
  Bytes tag = tagWithTitle("Caf\xE9");
  writeSparse(path, 4'000'000, exampleHeader(), tag);
  std::ostringstream out, err;
  EXPECT_EQ(runFileInfoCommand({path}, out, err), 0);
  EXPECT_EQ(err.str(), "");
  const auto lines = linesOf(out.str());
  ASSERT_EQ(lines.size(), 15u);
  EXPECT_EQ(lines[0], "file\t" + path);
  EXPECT_EQ(lines[1], "Title\tCaf\xE9");  // raw bytes, not re-encoded
  EXPECT_EQ(lines[4], "Year\t");
  EXPECT_EQ(lines[6], "labSize\tSize: 4000000 bytes");
  EXPECT_EQ(lines[10], "labFreqChan\t44100 Hz  Joint Stereo");
  EXPECT_EQ(lines[11], "labCRC\tCRCs:No");
}

TEST(FileInfoCommandOutput, NotMpegGoesToStandardErrorAndStillSucceeds) {
  TempDir dir;
  const std::string path = dir.file("plain.txt");
  writeBytes(path, Bytes(50, 'z'));
  std::ostringstream out, err;
  EXPECT_EQ(runFileInfoCommand({path}, out, err), 0);
  EXPECT_NE(err.str().find("Not a MP3 file..."), std::string::npos);
  const auto lines = linesOf(out.str());
  ASSERT_EQ(lines.size(), 11u);
  EXPECT_EQ(lines[1], "labNoTag\tThis MP3 doesn't contain ID3 Tag");
  EXPECT_EQ(lines[3], "labLength\tLength: ");
  EXPECT_EQ(lines[4], "labLayer\t ");
  EXPECT_EQ(lines[5], "labBitRate\t");
}

TEST(FileInfoCommandOutput, UnreadablePathFailsButOthersArePrinted) {
  TempDir dir;
  const std::string good = dir.file("good.mp3");
  writeSparse(good, 10'000, exampleHeader(), Bytes(128, 0));
  const std::string gone = dir.file("gone.mp3");
  std::ostringstream out, err;
  EXPECT_EQ(runFileInfoCommand({gone, good}, out, err), 1);
  EXPECT_NE(err.str().find(gone), std::string::npos);
  const auto lines = linesOf(out.str());
  ASSERT_EQ(lines.size(), 12u);
  EXPECT_EQ(lines[0], "file\t" + gone);
  EXPECT_EQ(lines[1], "file\t" + good);
  std::ostringstream none;
  EXPECT_EQ(runFileInfoCommand({}, none, err), 0);
  EXPECT_EQ(none.str(), "");
}

}  // namespace
}  // namespace sonavex
