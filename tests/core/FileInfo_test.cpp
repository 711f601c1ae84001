#include <fcntl.h>
#include <gtest/gtest.h>

#include <sstream>

#include "mediainfo/core/FileInfoCommand.h"
#include "mediainfo/core/FileInfoTexts.h"
#include "mediainfo/core/FileProbe.h"
#include "tests/core/CommandTestKit.h"

namespace sonavex {
namespace {

using testkit::TempTree;
using Lines = std::vector<std::string>;

const std::string kHeader = "\xFF\xFB\x90\x64";  // MPEG 1.0 layer 3, 128 kbit/s, 44.1 kHz

std::string tagWithTitle(const std::string& title, const std::string& marker = "TAG") {
  std::string tag(kId3v1Size, ' ');
  tag.replace(0, 3, marker);
  tag.replace(3, title.size(), title);
  return tag;
}

// A sparse file of the given size whose first and last bytes are written.
std::string writeSparse(const TempTree& t, const std::string& name, std::uint64_t size, const std::string& head,
                        const std::string& tail) {
  const std::string path = t.path(name);
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  const bool ok = fd >= 0 && ::ftruncate(fd, static_cast<off_t>(size)) == 0 &&
                  ::pwrite(fd, head.data(), head.size(), 0) == static_cast<ssize_t>(head.size()) &&
                  ::pwrite(fd, tail.data(), tail.size(), static_cast<off_t>(size - tail.size())) ==
                      static_cast<ssize_t>(tail.size());
  if (fd >= 0) ::close(fd);
  EXPECT_TRUE(ok) << path;
  return path;
}

TEST(FileProbeReading, MissingFileFolderPipeAndBadNameAreUnreadableWithReason) {
  TempTree t;
  ASSERT_EQ(::mkfifo(t.path("pipe.mp3").c_str(), 0644), 0);  // no writer: a plain open would block
  for (const std::string& path : {t.path("gone.mp3"), t.path(""), std::string(), t.path("pipe.mp3"),
                                  std::string("a\0b", 3)}) {
    const FileProbe probe = probeFile(path);
    EXPECT_FALSE(probe.readable) << path;
    EXPECT_FALSE(probe.error.empty()) << path;
  }
  EXPECT_NE(probeFile(t.path("")).error.find("folder"), std::string::npos);
}

TEST(FileProbeReading, TheTagNeedsAFileOfAtLeast128Bytes) {
  TempTree t;
  const std::string tag = tagWithTitle("Solo");
  const struct {
    std::string content;
    bool tagged;
  } rows[] = {{"", false}, {tag.substr(0, 127), false}, {tag, true}};
  for (const auto& row : rows) {
    const FileProbe probe = probeFile(t.write("f.mp3", row.content));
    ASSERT_TRUE(probe.readable);
    EXPECT_EQ(probe.size, row.content.size());
    const Id3v1Tag read = readId3v1(probe.tailSpan());
    EXPECT_EQ(read.present, row.tagged) << row.content.size();
    EXPECT_EQ(read.Title, row.tagged ? "Solo" : "");
  }
}

TEST(FileProbeReading, LargeFileIsReadAtBothEndsOnly) {
  TempTree t;
  std::string head = kHeader;
  head.resize(kMpegScanBytes + 10, '\xAB');  // bytes past the scanned block must not matter
  const std::string path = writeSparse(t, "big.mp3", 4'000'000, head, tagWithTitle("End", "tAg"));
  const FileProbe probe = probeFile(path);
  ASSERT_TRUE(probe.readable);
  EXPECT_EQ(probe.size, 4'000'000u);
  EXPECT_EQ(probe.headBytes, kMpegScanBytes);
  EXPECT_EQ(readId3v1(probe.tailSpan()).Title, "End");
  MpegInfo info;
  ASSERT_TRUE(ReadMpegInfo(path, info));
  EXPECT_EQ(info.length, "250 seconds");
  EXPECT_EQ(info.size, "4000000 bytes");

  MpegInfo untouched;
  untouched.size = "kept";
  EXPECT_FALSE(ReadMpegInfo(t.path("gone.mp3"), untouched));
  EXPECT_EQ(untouched.size, "kept");
}

TEST(FileProbeReading, FileThatYieldsFewerBytesThanItsSizeReadsAsShortFile) {
  // Kernel attribute files claim 4096 bytes and yield a few, like a file cut short mid-read.
  for (const char* path : {"/sys/devices/system/cpu/online", "/sys/kernel/mm/transparent_hugepage/enabled"}) {
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

FileInfoTexts textsFor(const std::string& head, std::uint64_t size, const std::string& tail) {
  TempTree t;
  return buildFileInfoTexts(probeFile(writeSparse(t, "f.mp3", size, head, tail)));
}

Lines captions(const FileInfoTexts& t) {
  return {t.labSize, t.labLength, t.labLayer, t.labBitRate, t.labFreqChan,
          t.labCRC,  t.labCopy,   t.labOriginal, t.labEmphasis};
}

TEST(FileInfoCaptions, JoinDecodedTextsWithExactBlanksOrKeepTheDesignCaptions) {
  const FileInfoTexts mpeg = textsFor(kHeader, 4'000'000, std::string(128, '\0'));
  EXPECT_TRUE(mpeg.isMpeg);
  EXPECT_FALSE(mpeg.tag.present);
  EXPECT_EQ(captions(mpeg), (Lines{"Size: 4000000 bytes", "Length: 250 seconds", "MPEG 1.0 layer 3", "128Kbit",
                                   "44100 Hz  Joint Stereo", "CRCs:No", "Copyrighted: No", "Original: Yes",
                                   "Emphasis: None"}));

  const FileInfoTexts other = textsFor(std::string(200, 'A'), 5000, tagWithTitle("Text"));
  EXPECT_FALSE(other.isMpeg);
  EXPECT_TRUE(other.tag.present);
  EXPECT_EQ(captions(other), (Lines{"Size: 5000 bytes", "Length: ", " ", "", " ", "CRCs:", "Copyrighted:", "Original:",
                                    "Emphasis:"}));
}

TEST(FileInfoCaptions, LinesListTagBoxesUpToNulOrTheNoTagLabel) {
  const auto tagged = fileInfoLines(textsFor(kHeader, 4000, tagWithTitle(std::string("Song\0hidden", 11))));
  ASSERT_EQ(tagged.size(), 14u);
  EXPECT_EQ(tagged[0], (std::pair<std::string, std::string>{"Title", "Song"}));
  EXPECT_EQ(tagged[3].first, "Year");
  EXPECT_EQ(tagged[5].first, "labSize");
  EXPECT_EQ(tagged[13].first, "labEmphasis");

  const auto untagged = fileInfoLines(textsFor(kHeader, 4000, std::string(128, '\0')));
  ASSERT_EQ(untagged.size(), 10u);
  EXPECT_EQ(untagged[0], (std::pair<std::string, std::string>{"labNoTag", kNoTagCaption}));
}

class FileInfoLoading : public ::testing::Test {
 protected:
  // Adds an entry and makes it the focused entry of the shown list, as a right click does.
  std::optional<FileInfoTexts> loadChosen(const std::string& path) {
    c.core.list.appendEntry(path);
    c.core.list.markEntry(c.core.list.count() - 1);
    return loadFileInfo(c.core);
  }
  const std::vector<testkit::ShownMessage>& shown() const { return c.messages.shown; }

  TempTree t;
  testkit::TestCore c;
};

TEST_F(FileInfoLoading, ReadsChosenEntryWithoutMessageForMpegFile) {
  const std::string path = writeSparse(t, "a.mp3", 4'000'000, kHeader, tagWithTitle("Alpha"));
  const auto texts = loadChosen(path);
  ASSERT_TRUE(texts);
  EXPECT_EQ(c.core.shared.fileinfopath, path);
  EXPECT_EQ(texts->tag.Title, "Alpha");
  EXPECT_TRUE(shown().empty());
}

TEST_F(FileInfoLoading, NotMpegFileShowsMessageThenStillGivesTexts) {
  const auto texts = loadChosen(t.write("notes.txt", std::string(300, 'x')));
  ASSERT_EQ(shown().size(), 1u);
  EXPECT_EQ(shown()[0].text, "Not a MP3 file...");
  EXPECT_EQ(shown()[0].title, "Error...");
  EXPECT_EQ(shown()[0].buttons, MsgButtons::Ok);
  EXPECT_EQ(shown()[0].icon, MsgIcon::Critical);
  ASSERT_TRUE(texts);
  EXPECT_EQ(texts->labSize, "Size: 300 bytes");
}

TEST_F(FileInfoLoading, PathShorterThanFourCharactersKeepsThePreviousFileIfAny) {
  EXPECT_FALSE(loadChosen("x"));  // nothing shown before: no dialog
  EXPECT_EQ(c.core.shared.fileinfopath, "");
  const std::string first = writeSparse(t, "first.mp3", 10'000, kHeader, tagWithTitle("First"));
  ASSERT_TRUE(loadChosen(first));
  const auto again = loadChosen("a/b");
  EXPECT_EQ(c.core.shared.fileinfopath, first);
  ASSERT_TRUE(again);
  EXPECT_EQ(again->tag.Title, "First");

  c.core.list.setListIndex2(kNone);  // no focused entry reads as the empty path
  EXPECT_TRUE(loadFileInfo(c.core));
  EXPECT_EQ(c.core.shared.fileinfopath, first);
  EXPECT_TRUE(shown().empty());
}

TEST_F(FileInfoLoading, UnreadableFileNamesItInsteadOfDialog) {
  const std::string gone = t.path("vanished.mp3");
  EXPECT_FALSE(loadChosen(gone));
  ASSERT_EQ(shown().size(), 1u);
  EXPECT_NE(shown()[0].text.find(gone), std::string::npos);
  EXPECT_NE(shown()[0].text, "Not a MP3 file...");
  EXPECT_EQ(shown()[0].icon, MsgIcon::Critical);

  EXPECT_FALSE(loadChosen(t.path("")));  // a folder
  ASSERT_EQ(shown().size(), 2u);
  EXPECT_NE(shown()[1].text.find("folder"), std::string::npos);
}

Lines linesOf(const std::string& text) {
  Lines lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(FileInfoCommandOutput, PrintsFileLineThenControlTabTextLines) {
  TempTree t;
  const std::string path = writeSparse(t, "song.mp3", 4'000'000, kHeader, tagWithTitle("Caf\xE9"));
  std::ostringstream out, err;
  EXPECT_EQ(runFileInfoCommand({path}, out, err), 0);
  EXPECT_EQ(err.str(), "");
  const Lines lines = linesOf(out.str());
  ASSERT_EQ(lines.size(), 15u);
  EXPECT_EQ(lines[0], "file\t" + path);
  EXPECT_EQ(lines[1], "Title\tCaf\xE9");  // raw bytes, not re-encoded
  EXPECT_EQ(lines[4], "Year\t");
  EXPECT_EQ(lines[10], "labFreqChan\t44100 Hz  Joint Stereo");
}

TEST(FileInfoCommandOutput, NotMpegGoesToStandardErrorAndStillSucceeds) {
  TempTree t;
  std::ostringstream out, err;
  EXPECT_EQ(runFileInfoCommand({t.write("plain.txt", std::string(50, 'z'))}, out, err), 0);
  EXPECT_NE(err.str().find("Not a MP3 file..."), std::string::npos);
  const Lines lines = linesOf(out.str());
  ASSERT_EQ(lines.size(), 11u);
  EXPECT_EQ(lines[1], "labNoTag\tThis MP3 doesn't contain ID3 Tag");
  EXPECT_EQ(lines[5], "labBitRate\t");
}

TEST(FileInfoCommandOutput, UnreadablePathFailsButOthersArePrinted) {
  TempTree t;
  const std::string good = writeSparse(t, "good.mp3", 10'000, kHeader, std::string(128, '\0'));
  const std::string gone = t.path("gone.mp3");
  std::ostringstream out, err, none;
  EXPECT_EQ(runFileInfoCommand({gone, good}, out, err), 1);
  EXPECT_NE(err.str().find(gone), std::string::npos);
  const Lines lines = linesOf(out.str());
  ASSERT_EQ(lines.size(), 12u);
  EXPECT_EQ(lines[0], "file\t" + gone);
  EXPECT_EQ(lines[1], "file\t" + good);
  EXPECT_EQ(runFileInfoCommand({}, none, err), 0);
  EXPECT_EQ(none.str(), "");
}

}  // namespace
}  // namespace sonavex
