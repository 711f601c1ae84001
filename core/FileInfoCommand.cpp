#include "core/FileInfoCommand.h"

#include "core/FileInfoTexts.h"
#include "core/model/StreamAddress.h"

namespace sonavex {

int runFileInfoCommand(const std::vector<std::string>& paths, std::ostream& out, std::ostream& err) {
  int status = 0;
  for (const std::string& path : paths) {
    out << "file\t" << path << '\n';
    if (isStreamAddress(path)) {
      out.flush();
      err << addressInfoMessage(path) << '\n';
      status = 1;
      continue;
    }
    const FileProbe probe = probeFile(path);
    if (!probe.readable) {
      out.flush();
      err << unreadableFileMessage(path, probe.error) << '\n';
      status = 1;
      continue;
    }
    const FileInfoTexts texts = buildFileInfoTexts(probe);
    if (!texts.isMpeg) {
      out.flush();
      err << path << ": " << kNotMpegText << '\n';
    }
    for (const auto& [control, text] : fileInfoLines(texts)) out << control << '\t' << text << '\n';
  }
  out.flush();
  return status;
}

}  // namespace sonavex
