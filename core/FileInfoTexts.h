#pragma once
// What the File Info dialog `frmTag` shows for one file, built without a window so that the dialog
// and `sonavex --file-info` show the same texts.
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/model/FileProbe.h"
#include "core/model/Id3v1.h"

namespace sonavex {

struct Core;

inline constexpr const char* kNotMpegText = "Not a MP3 file...";
inline constexpr const char* kNotMpegTitle = "Error...";
inline constexpr const char* kNoTagCaption = "This MP3 doesn't contain ID3 Tag";

struct FileInfoTexts {
  bool isMpeg = false;
  Id3v1Tag tag;  // tag.present false: the no-tag panel shows instead of the tag panel
  std::string labSize;
  std::string labLength;
  std::string labLayer;
  std::string labBitRate;
  std::string labFreqChan;
  std::string labCRC;
  std::string labCopy;
  std::string labOriginal;
  std::string labEmphasis;
};

// The texts of a readable file: the tag fields and the MPEG labels' captions.
FileInfoTexts buildFileInfoTexts(const FileProbe& probe);

// The dialog's texts as (control name, text) lines, tag boxes as they show (up to the first
// NUL), or the no-tag label, then the nine MPEG labels from top to bottom.
std::vector<std::pair<std::string, std::string>> fileInfoLines(const FileInfoTexts& texts);

// "Cannot read the file "<path>": <reason>".
std::string unreadableFileMessage(const std::string& path, const std::string& reason);

// "<address> is an address on the internet, not a file on this computer...": no file to read.
std::string addressInfoMessage(const std::string& address);

// The "File Info" command up to the point where the dialog shows: takes the path of the shown
// list's focused entry into `fileinfopath` when it has at least 4 characters, reads that file,
// and shows through core.platform.messages the not-MPEG message, or a message naming the file
// when it cannot be read, or that an address is no file (which is not read). Returns the texts to
// show, or nothing when no dialog should show (unreadable file, or no file chosen yet).
std::optional<FileInfoTexts> loadFileInfo(Core& core);

}  // namespace sonavex
