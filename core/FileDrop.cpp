#include "core/FileDrop.h"

#include <sys/stat.h>

#include "core/FindFiles.h"
#include "core/ListJob.h"
#include "core/PlaylistFile.h"
#include "core/Shuffle.h"
#include "core/Transport.h"
#include "core/UndoableEdits.h"
#include "core/model/CommandLine.h"

namespace sonavex {

namespace {

enum class DropKind { File, Folder };

// What the file system says decides; the name's shape only decides for a name that does not exist:
// "x.abc" is taken for a file, anything else (also a name under four characters) for a folder.
DropKind classify(const std::string& name) {
  struct stat info {};
  if (stat(name.c_str(), &info) == 0) return S_ISDIR(info.st_mode) ? DropKind::Folder : DropKind::File;
  if (name.size() >= 4 && name[name.size() - 4] == '.') return DropKind::File;
  return DropKind::Folder;
}

// One item of a drop: a file becomes an entry, a folder is scanned (`counts` grows over the drop,
// and `errors` collects what failed).
void appendDropped(Core& core, const std::string& name, ScanCounts& counts, ErrorReport& errors) {
  if (name.empty()) return;  // names nothing; must not become a scan of "/"
  if (classify(name) == DropKind::File) {
    core.list.appendEntry(name);
  } else {
    BusyScope busy(core.platform.busy);
    scanFolderTree(core, name, dropFolderPatterns(), counts, &errors);
  }
}

void appendDrop(Core& job, const std::vector<std::string>& paths) {
  if (paths.empty()) return;  // a drop of web addresses alone: nothing changes, not even the shuffle
  PlaylistBatch batch(job.list);
  AppendRecorder added(job);  // the whole drop is one step
  ScanCounts counts;  // grows over all the folders of this drop
  ErrorReport errors;
  for (const auto& name : paths) appendDropped(job, name, counts, errors);
  added.record();
  // Once for the whole drop: the order only needs to be right after the last item.
  rebuildShuffleOrder(job);
  errors.notify(job.platform.messages);
}

}  // namespace

void filedragging(Core& core, std::vector<std::string> paths) {
  runListJob(core, [paths = std::move(paths)](Core& job) { appendDrop(job, paths); });
}

void dropUriList(Core& core, std::string uriList) {
  runListJob(core, [uris = std::move(uriList)](Core& job) { appendDrop(job, pathsOfUriList(uris)); });
}

void openAndPlay(Core& core, const std::string& path) {
  const Index before = core.list.count();
  filedragging(core, {path});
  // Once the drop is in: it plays on the program's thread, where the engine is.
  runAfterListJob(core, [before](Core& now) {
    if (now.list.count() == before) return;
    now.list.markEntry(before);
    cmdplay_Click(now);
  });
}

bool isPlaylistFileName(const std::string& name) {
  if (!playlistFormatOf(name)) return false;
  struct stat info {};
  return stat(name.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

void openCommandLinePaths(Core& core, const std::vector<std::string>& paths) {
  runListJob(core, [paths](Core& job) {
    PlaylistBatch batch(job.list);
    AppendRecorder added(job);  // files, folders and loaded playlists alike: one step
    ScanCounts counts;
    ErrorReport errors;
    for (const auto& name : paths) {
      if (isPlaylistFileName(name)) {
        loadPlaylistFile(job, name, &errors);
      } else {
        appendDropped(job, name, counts, errors);
      }
    }
    added.record();
    rebuildShuffleOrder(job);
    errors.notify(job.platform.messages);
  });
}

}  // namespace sonavex
