// Feeds arbitrary bytes to the MPEG header decoder and the ID3v1 reader, as the start and the end
// of a file, and checks that the texts never show impossible numbers.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

#include "core/FileInfoTexts.h"

namespace {

void check(bool ok) {
  if (!ok) std::abort();
}

bool plausible(const std::string& text) {
  return text.find('-') == std::string::npos && text.find("inf") == std::string::npos &&
         text.find("nan") == std::string::npos;
}

void checkInfo(bool found, const sonavex::MpegInfo& info) {
  const std::string* fields[] = {&info.bitrate,  &info.mode,  &info.copyflag, &info.crc,
                                 &info.emphasis, &info.frequency, &info.layer, &info.length,
                                 &info.version,  &info.origflag};
  for (const std::string* field : fields) {
    check(field->empty() != found);
    check(plausible(*field));
  }
  check(!info.size.empty() && plausible(info.size));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  for (std::uint64_t fileSize : {std::uint64_t{size}, std::uint64_t{0},
                                 std::numeric_limits<std::uint64_t>::max()}) {
    sonavex::MpegInfo info;
    checkInfo(sonavex::decodeMpegInfo(bytes, fileSize, info), info);
  }

  // The same bytes as a whole file in memory: head, tail and the dialog's texts.
  sonavex::FileProbe probe;
  probe.readable = true;
  probe.size = size;
  probe.headAt = std::min<std::uint64_t>(sonavex::id3v2TagSize(bytes), size);
  probe.headBytes = std::min(size - probe.headAt, sonavex::kMpegScanBytes);
  if (probe.headBytes > 0) std::memcpy(probe.head.data(), data + probe.headAt, probe.headBytes);
  if (size >= sonavex::kId3v1Size) {
    std::memcpy(probe.tail.data(), data + size - sonavex::kId3v1Size, sonavex::kId3v1Size);
    probe.hasTail = true;
  }
  const sonavex::FileInfoTexts texts = sonavex::buildFileInfoTexts(probe);
  for (const std::string* text : {&texts.tag.Title, &texts.tag.Artist, &texts.tag.Album,
                                  &texts.tag.Comment}) {
    check(text->size() <= 30);
    check(text->empty() || (text->front() != ' ' && text->back() != ' '));
  }
  check(texts.tag.Year.size() <= 4);
  check(texts.tag.present == (probe.hasTail && (data[size - 128] | 0x20) == 't' &&
                              (data[size - 127] | 0x20) == 'a' && (data[size - 126] | 0x20) == 'g'));
  check(!sonavex::fileInfoLines(texts).empty());
  return 0;
}
