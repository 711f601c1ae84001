#include "core/LastPlaylist.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <iostream>
#include <vector>

#include "core/ListJob.h"
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

// mkdir -p; folders it creates are private to the user, as per-user data folders usually are.
void makeFolders(const std::string& folder) {
  if (folder.find('\0') != std::string::npos) return;
  for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
    const std::string part = folder.substr(0, slash);
    if (!part.empty()) ::mkdir(part.c_str(), 0700);
    if (slash == std::string::npos) return;
  }
}

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

RestoreResult restoreLastPlaylist(Core& core, const std::string& file) {
  if (file.empty()) return {};
  removeStaleTemporaries(folderOf(file));
  RestoreResult result;
  struct stat st {};
  if (::stat(file.c_str(), &st) != 0 && (errno == ENOENT || errno == ENOTDIR)) return result;
  if (!appendPlaylistFile(core.list, file, &result.reason)) result.readWhole = false;
  return result;
}

std::string lastPlaylistKeptNotice(const std::string& file, const std::string& reason) {
  return "The last playlist " + file + " could not be read: " + reason +
         ". It is kept as it is and will not be saved over when the program ends.";
}

void restoreLastPlaylist(Core& core) {
  runListJob(
      core,
      [](Core& job) {
        const RestoreResult restored = restoreLastPlaylist(job, job.lastPlaylist.path);
        job.lastPlaylist.readWhole = restored.readWhole;
        job.lastPlaylist.unreadReason = restored.reason;
        job.lastPlaylist.savedRevision = job.list.revision();  // what was read needs no writing back
      },
      [](Core& now) {
        const LastPlaylistFile& last = now.lastPlaylist;
        if (last.readWhole || now.platform.messages == nullptr) return;
        now.platform.messages->show(lastPlaylistKeptNotice(last.path, last.unreadReason), "Sonavex",
                                    MsgButtons::Ok, MsgIcon::Information);
      });
}

bool writesLastPlaylist(const Core& core) {
  const LastPlaylistFile& last = core.lastPlaylist;
  return last.saves && last.readWhole && !last.path.empty();
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
  }
  last.savedRevision = core.list.revision();
}

bool lastPlaylistOutdated(const Core& core) {
  return writesLastPlaylist(core) && !core.ending &&
         core.list.revision() != core.lastPlaylist.savedRevision;
}

void autosaveLastPlaylist(Core& core) {
  if (!lastPlaylistOutdated(core) || core.platform.writer == nullptr) return;
  core.lastPlaylist.savedRevision = core.list.revision();
  // The entries are shared with the writer until the list next changes: written out there.
  core.platform.writer->write(core.lastPlaylist.path,
                              [list = PlaylistModel(core.list)] { return serializePlaylist(list.paths()); });
}

void mnuexit_Click(Core& core) {
  if (core.ending) return;
  core.ending = true;
  savelastplaylist(core);
  if (core.platform.loop != nullptr) core.platform.loop->quit();
}

}  // namespace sonavex
