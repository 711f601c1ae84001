#include "core/LastPlaylist.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <vector>

#include "core/ListWork.h"
#include "core/PlaylistFile.h"

namespace sonavex {

namespace {

std::string folderOf(const std::string& file) {
  const auto slash = file.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? std::string("/") : file.substr(0, slash);
}

std::string join(const std::string& folder, const char* name) {
  if (!folder.empty() && folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

bool isWritableFolder(const std::string& folder) {
  if (folder.empty() || folder.find('\0') != std::string::npos) return false;
  struct stat st {};
  return ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
         ::access(folder.c_str(), W_OK | X_OK) == 0;
}

}  // namespace

void makeFolders(const std::string& folder) {
  if (folder.find('\0') != std::string::npos) return;
  for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
    const std::string part = folder.substr(0, slash);
    if (!part.empty()) ::mkdir(part.c_str(), 0700);
    if (slash == std::string::npos) return;
  }
}

namespace {

std::string homeFolder() {
  if (const char* home = std::getenv("HOME"); home && *home) return home;
  std::vector<char> buffer(16384);
  struct passwd pw {};
  struct passwd* found = nullptr;
  if (::getpwuid_r(::getuid(), &pw, buffer.data(), buffer.size(), &found) == 0 && found &&
      found->pw_dir) {
    return found->pw_dir;
  }
  return {};
}

}  // namespace

// The system's program folders are shared by every user (and writable by root alone): a playlist
// kept there would be everyone's, and no package owns it.
static bool isSystemFolder(const std::string& folder) {
  for (const char* system : {"/usr", "/bin", "/sbin"}) {
    const std::string prefix = system;
    if (folder.rfind(prefix, 0) == 0 && (folder.size() == prefix.size() || folder[prefix.size()] == '/'))
      return true;
  }
  return false;
}

std::string lastPlaylistPath(const std::string& executableDir, const std::string& userDataDir) {
  if (!isSystemFolder(executableDir) && isWritableFolder(executableDir)) {
    return join(executableDir, kLastPlaylistName);
  }
  if (userDataDir.empty()) return {};
  makeFolders(userDataDir);
  return join(userDataDir, kLastPlaylistName);
}

std::string executableDir() {
  std::string target(256, '\0');
  for (;;) {
    const ssize_t n = ::readlink("/proc/self/exe", target.data(), target.size());
    if (n < 0) return {};
    if (static_cast<std::size_t>(n) < target.size()) {
      target.resize(static_cast<std::size_t>(n));
      break;
    }
    target.resize(target.size() * 2);
  }
  const auto slash = target.rfind('/');
  if (slash == std::string::npos) return {};
  return slash == 0 ? std::string("/") : target.substr(0, slash);
}

std::string userConfigDir() {
  if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && config[0] == '/') {
    return join(config, "sonavex");
  }
  const std::string home = homeFolder();
  return home.empty() ? std::string() : join(home, ".config/sonavex");
}

std::string userDataDir() {
  // Only an absolute XDG_DATA_HOME counts; a relative one would depend on the working folder.
  if (const char* data = std::getenv("XDG_DATA_HOME"); data && data[0] == '/') {
    return join(data, "sonavex");
  }
  const std::string home = homeFolder();
  if (home.empty()) return {};
  return join(home, ".local/share/sonavex");
}

bool savelastplaylist(const Core& core, const std::string& file, std::string* error) {
  return writeFileAtomically(file, serializePlaylist(core.list.paths()), error);
}

RestoreResult restoreLastPlaylist(IntakeSink& sink, const std::string& file) {
  if (file.empty()) return {};
  removeStaleTemporaries(folderOf(file));
  RestoreResult result;
  struct stat st {};
  if (::stat(file.c_str(), &st) != 0 && (errno == ENOENT || errno == ENOTDIR)) return result;
  if (!addPlaylistFile(sink, file, &result.reason)) result.readWhole = false;
  return result;
}

RestoreResult restoreLastPlaylist(Core& core, const std::string& file) {
  PlaylistBatch batch(core.list);
  ListSink sink(core.list);
  return restoreLastPlaylist(sink, file);
}

std::string lastPlaylistKeptNotice(const std::string& file, const std::string& reason) {
  return "The last playlist " + file + " could not be read: " + reason +
         ". It is kept as it is and will not be saved over when the program ends.";
}

void restoreLastPlaylist(Core& core) {
  core.lastPlaylist.restoring = true;
  auto restored = std::make_shared<RestoreResult>();  // written by the intake, read once it is over
  const std::uint64_t before = core.list.revision();
  runIntake(
      core,
      [file = core.lastPlaylist.path, restored](IntakeSink& sink) {
        *restored = restoreLastPlaylist(sink, file);
      },
      [restored, before](Core& now, const IntakeResult& read) {
        LastPlaylistFile& last = now.lastPlaylist;
        last.restoring = false;
        last.readWhole = restored->readWhole;
        last.unreadReason = restored->reason;
        // What was read needs no writing back, unless the list changed otherwise meanwhile.
        if (now.list.revision() == before + static_cast<std::uint64_t>(read.count)) {
          last.savedRevision = now.list.revision();
        }
        if (last.readWhole || now.platform.messages == nullptr) return;
        now.platform.messages->show(lastPlaylistKeptNotice(last.path, last.unreadReason), "Sonavex",
                                    MsgButtons::Ok, MsgIcon::Information);
      },
      IntakeOrder::First);
}

bool writesLastPlaylist(const Core& core) {
  const LastPlaylistFile& last = core.lastPlaylist;
  return last.saves && last.readWhole && !last.restoring && !last.path.empty();
}

std::string saveFailureText(const std::string& file, const std::string& reason) {
  return "sonavex: cannot save the playlist to \"" + file + "\": " + reason + "\n";
}

void savelastplaylist(Core& core) {
  if (core.platform.writer != nullptr) core.platform.writer->waitIdle();
  if (!writesLastPlaylist(core)) return;
  LastPlaylistFile& last = core.lastPlaylist;
  std::string reason;
  if (!savelastplaylist(core, last.path, &reason)) {
    std::cerr << saveFailureText(last.path, reason) << std::flush;
    return;
  }
  last.savedRevision = core.list.revision();
}

bool lastPlaylistOutdated(const Core& core) {
  return writesLastPlaylist(core) && !core.ending &&
         core.list.revision() != core.lastPlaylist.savedRevision;
}

void autosaveLastPlaylist(Core& core) {
  if (!lastPlaylistOutdated(core) || core.platform.writer == nullptr) return;
  const std::uint64_t revision = core.list.revision();
  auto post = programPost(core);
  // The entries are shared with the writer until the list next changes: written out there.
  core.platform.writer->write(
      core.lastPlaylist.path,
      [list = PlaylistModel(core.list)] { return serializePlaylist(list.paths()); },
      [post, revision](bool written, const std::string& reason) {
        post([revision, written, reason](Core& now) { autosaveDone(now, revision, written, reason); });
      });
}

void autosaveDone(Core& core, std::uint64_t revision, bool written, const std::string& reason) {
  LastPlaylistFile& last = core.lastPlaylist;
  if (written) {
    if (revision > last.savedRevision) last.savedRevision = revision;
    last.lastWriteFailed = false;
    return;
  }
  // Still outdated, so the next tick tries again; told once until a write succeeds.
  if (!last.lastWriteFailed) std::cerr << saveFailureText(last.path, reason) << std::flush;
  last.lastWriteFailed = true;
}

void mnuexit_Click(Core& core) {
  if (core.ending) return;
  core.ending = true;
  endListWork(core);  // the list as it stands is saved; what is still coming stays out
  savelastplaylist(core);
  if (core.platform.loop != nullptr) core.platform.loop->quit();
}

}  // namespace sonavex
