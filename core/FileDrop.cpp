#include "core/FileDrop.h"

#include <sys/stat.h>

#include <memory>

#include "core/FindFiles.h"
#include "core/ListWork.h"
#include "core/PlaylistFile.h"
#include "core/Transport.h"
#include "core/model/CommandLine.h"
#include "core/model/StreamAddress.h"

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

// One item of a drop: a file or an address becomes an entry, a playlist at an address is fetched
// for its entries, a folder is scanned (`counts` grows over the drop).
void addDropped(IntakeSink& sink, RemoteFiles* remote, const std::string& name,
                ScanCounts& counts) {
  if (name.empty()) return;  // names nothing; must not become a scan of "/"
  if (isRemotePlaylistAddress(name)) {
    addRemotePlaylistEntries(sink, remote, name);
  } else if (isStreamAddress(name) || classify(name) == DropKind::File) {
    sink.add(name);
  } else {
    scanFolderTree(sink, name, dropFolderPatterns(), counts);
  }
}

void addDrop(IntakeSink& sink, RemoteFiles* remote, const std::vector<std::string>& paths) {
  ScanCounts counts;  // grows over all the folders of this drop
  for (const auto& name : paths) {
    if (sink.cancelled()) return;
    addDropped(sink, remote, name, counts);
  }
}

// What failed on the way is told once, as a notice: neither the program the files came from nor a
// media control's call waits for a person.
void tellAfterwards(Core& now, const IntakeResult& result) {
  result.errors.notify(now.platform.messages);
}

}  // namespace

void filedragging(Core& core, std::vector<std::string> paths) {
  if (paths.empty()) return;
  runIntake(
      core,
      [paths = std::move(paths), remote = core.platform.remote](IntakeSink& sink) {
        addDrop(sink, remote, paths);
      },
      tellAfterwards);
}

void dropUriList(Core& core, std::string uriList) {
  runIntake(
      core,
      [uris = std::move(uriList), remote = core.platform.remote](IntakeSink& sink) {
        const std::vector<std::string> paths = pathsOfUriList(uris);
        if (paths.empty()) sink.namedNothing();  // other schemes alone: nothing changes
        addDrop(sink, remote, paths);
      },
      tellAfterwards);
}

void openAndPlay(Core& core, const std::string& path) {
  // The latest open plays, whichever intake is over first.
  const std::uint64_t asked = ++core.shared.opensAsked;
  runIntake(
      core,
      [path, remote = core.platform.remote](IntakeSink& sink) { addDrop(sink, remote, {path}); },
      [asked](Core& now, const IntakeResult& added) {
        tellAfterwards(now, added);
        if (added.first == kNone || asked != now.shared.opensAsked) return;
        now.list.markEntry(added.first);
        cmdplay_Click(now);
      });
}

bool isPlaylistFileName(const std::string& name) {
  if (!playlistFormatOf(name)) return false;
  struct stat info {};
  return stat(name.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

void openCommandLinePaths(Core& core, const std::vector<std::string>& paths) {
  if (paths.empty()) return;
  runIntake(
      core,
      [paths, remote = core.platform.remote](IntakeSink& sink) {
        ScanCounts counts;
        for (const auto& name : paths) {
          if (sink.cancelled()) return;
          if (isPlaylistFileName(name)) {
            addPlaylistFileEntries(sink, name);
          } else {
            addDropped(sink, remote, name, counts);
          }
        }
      },
      tellAfterwards);
}

}  // namespace sonavex
