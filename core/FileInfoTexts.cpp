#include "core/FileInfoTexts.h"

#include "core/Core.h"
#include "core/model/StreamAddress.h"

namespace sonavex {

FileInfoTexts buildFileInfoTexts(const FileProbe& probe) {
  FileInfoTexts texts;
  texts.tag = readId3v1(probe.tailSpan());
  MpegInfo info;
  texts.isMpeg = decodeMpegInfo(probe.headSpan(), probe.size, info);
  // Each label's design caption joined with the decoded text, separators exactly as shown.
  texts.labSize = "Size: " + info.size;
  texts.labLength = "Length: " + info.length;
  texts.labLayer = info.version + " " + info.layer;
  texts.labBitRate = info.bitrate;
  texts.labFreqChan = info.frequency + " " + info.mode;
  texts.labCRC = "CRCs:" + info.crc;
  texts.labCopy = "Copyrighted:" + info.copyflag;
  texts.labOriginal = "Original:" + info.origflag;
  texts.labEmphasis = "Emphasis:" + info.emphasis;
  return texts;
}

std::vector<std::pair<std::string, std::string>> fileInfoLines(const FileInfoTexts& texts) {
  std::vector<std::pair<std::string, std::string>> lines;
  if (texts.tag.present) {
    lines.emplace_back("Title", shownText(texts.tag.Title));
    lines.emplace_back("Artist", shownText(texts.tag.Artist));
    lines.emplace_back("Album", shownText(texts.tag.Album));
    lines.emplace_back("Year", shownText(texts.tag.Year));
    lines.emplace_back("Comment", shownText(texts.tag.Comment));
  } else {
    lines.emplace_back("labNoTag", kNoTagCaption);
  }
  lines.emplace_back("labSize", texts.labSize);
  lines.emplace_back("labLength", texts.labLength);
  lines.emplace_back("labLayer", texts.labLayer);
  lines.emplace_back("labBitRate", texts.labBitRate);
  lines.emplace_back("labFreqChan", texts.labFreqChan);
  lines.emplace_back("labCRC", texts.labCRC);
  lines.emplace_back("labCopy", texts.labCopy);
  lines.emplace_back("labOriginal", texts.labOriginal);
  lines.emplace_back("labEmphasis", texts.labEmphasis);
  return lines;
}

std::string unreadableFileMessage(const std::string& path, const std::string& reason) {
  return "Cannot read the file \"" + path + "\": " + reason;
}

std::string addressInfoMessage(const std::string& address) {
  return address +
         " is an address on the internet, not a file on this computer: it has no file information.";
}

std::optional<FileInfoTexts> loadFileInfo(Core& core) {
  const std::string& chosen = core.list.path(core.list.listIndex2());
  if (chosen.size() >= 4) core.shared.fileinfopath = chosen;
  const std::string& path = core.shared.fileinfopath;
  if (path.empty()) return std::nullopt;  // nothing chosen, and nothing shown before
  if (isStreamAddress(path)) {
    if (core.platform.messages)
      core.platform.messages->show(addressInfoMessage(path), "Sonavex", MsgButtons::Ok,
                                   MsgIcon::Information);
    return std::nullopt;
  }

  const FileProbe probe = probeFile(path);
  if (!probe.readable) {
    if (core.platform.messages) {
      core.platform.messages->show(unreadableFileMessage(path, probe.error), kNotMpegTitle,
                                   MsgButtons::Ok, MsgIcon::Critical);
    }
    return std::nullopt;
  }
  FileInfoTexts texts = buildFileInfoTexts(probe);
  if (!texts.isMpeg && core.platform.messages) {
    core.platform.messages->show(kNotMpegText, kNotMpegTitle, MsgButtons::Ok, MsgIcon::Critical);
  }
  return texts;
}

}  // namespace sonavex
