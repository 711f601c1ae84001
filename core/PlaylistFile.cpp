#include "core/PlaylistFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <system_error>

#include "core/ListWork.h"
#include "core/Shuffle.h"
#include "core/model/StreamAddress.h"
#include "core/model/TextLines.h"

namespace sonavex {

namespace {

std::size_t countLines(std::string_view bytes) {
  std::size_t lines = 0;
  forEachLine(bytes, [&lines](std::string_view) { ++lines; });
  return lines;
}

bool fail(std::string* error, int code) {
  if (error) *error = std::generic_category().message(code);
  return false;
}

bool fail(std::string* error, const char* reason) {
  if (error) *error = reason;
  return false;
}

// A path with a NUL byte would be cut short by the system calls and name another file.
bool hasNul(const std::string& path) { return hasNulByte(path); }

std::string folderOf(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// The process umask, read without changing it; the umask() round trip is the fallback.
mode_t currentUmask() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("Umask:", 0) == 0) {
      return static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8) & 0777);
    }
  }
  const mode_t mask = ::umask(022);
  ::umask(mask);
  return mask;
}

bool writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t done = ::write(fd, bytes.data(), bytes.size());
    if (done < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(done));
  }
  return true;
}

// "3 lines were left out: why." for the notice after a load.
std::string leftOutText(const LeftOutEntries& left) {
  constexpr std::size_t kLongestShown = 120;
  std::string why;
  if (left.withNul > 0) why = "a path that contains a NUL byte cannot name a file";
  if (left.addresses > 0) {
    const std::string& address = left.firstAddress;
    why += std::string(why.empty() ? "" : "; ") +
           "only files on this computer and http or https addresses can be played, not an address "
           "such as " +
           (address.size() > kLongestShown ? address.substr(0, kLongestShown) + ".." : address);
  }
  if (left.local > 0) {
    why += std::string(why.empty() ? "" : "; ") +
           "a playlist from the internet may name only http or https addresses, not files on this "
           "computer";
  }
  if (left.tooLong > 0) {
    why += std::string(why.empty() ? "" : "; ") + "a name longer than " +
           std::to_string(kMaxEntryBytes) + " bytes cannot name a file";
  }
  const std::size_t n = left.count();
  return std::to_string(n) + (n == 1 ? " line was" : " lines were") + " left out: " + why + ".";
}

void tellUser(Core& core, const std::string& text) {
  if (core.platform.messages) {
    core.platform.messages->show(text, "Sonavex", MsgButtons::Ok, MsgIcon::Information);
  }
}

}  // namespace

std::vector<std::string> parsePlaylist(std::string_view bytes) {
  std::vector<std::string> lines;
  forEachLine(bytes, [&lines](std::string_view line) { lines.emplace_back(line); });
  return lines;
}

std::string serializePlaylist(const std::vector<std::string>& paths, std::size_t* leftOut) {
  std::size_t total = 0;
  for (const auto& p : paths) total += p.size() + 2;
  std::string bytes;
  bytes.reserve(total);
  std::size_t skipped = 0;
  for (const auto& p : paths) {
    if (findLineBreak(p) != p.size()) {
      ++skipped;
      continue;
    }
    bytes.append(p).append("\r\n");
  }
  if (leftOut) *leftOut = skipped;
  return bytes;
}

bool readWholeFile(const std::string& path, std::string& bytes, std::string* error) {
  bytes.clear();
  if (path.empty()) return fail(error, ENOENT);
  if (hasNul(path)) return fail(error, EINVAL);
  // Non-blocking so that a named pipe cannot stall the open; it is refused below anyway.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return fail(error, errno);
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    const int code = errno;
    ::close(fd);
    return fail(error, code);
  }
  if (S_ISDIR(st.st_mode)) {
    ::close(fd);
    return fail(error, EISDIR);
  }
  if (!S_ISREG(st.st_mode)) {
    ::close(fd);
    return fail(error, "it is not a regular file");
  }
  if (static_cast<std::uint64_t>(st.st_size) > kMaxPlaylistFileBytes) {
    ::close(fd);
    return fail(error, "the file is larger than 1 GiB");
  }
  // The size may change while reading: read to the end, growing as needed, within the bound.
  std::size_t used = 0;
  bytes.resize(static_cast<std::size_t>(st.st_size) + 1);
  for (;;) {
    if (used == bytes.size()) {
      if (bytes.size() > kMaxPlaylistFileBytes) {
        ::close(fd);
        bytes.clear();
        return fail(error, "the file is larger than 1 GiB");
      }
      bytes.resize(bytes.size() * 2);
    }
    const ssize_t got = ::read(fd, bytes.data() + used, bytes.size() - used);
    if (got < 0) {
      if (errno == EINTR) continue;
      const int code = errno;
      ::close(fd);
      bytes.clear();
      return fail(error, code);
    }
    if (got == 0) break;
    used += static_cast<std::size_t>(got);
  }
  ::close(fd);
  bytes.resize(used);
  return true;
}

bool writeFileAtomically(const std::string& path, std::string_view bytes, std::string* error) {
  if (path.empty()) return fail(error, ENOENT);
  if (hasNul(path)) return fail(error, EINVAL);
  const std::string folder = folderOf(path);
  // A short fixed name, so that a long target name cannot make the temporary name too long.
  std::string temp = folder + "/" + std::string(kTemporaryPrefix) + "XXXXXX";
  const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) return fail(error, errno);

  const auto abandon = [&](int code, bool open) {
    if (open) ::close(fd);
    ::unlink(temp.c_str());
    return fail(error, code);
  };
  // mkstemp creates 0600; a saved playlist gets the usual mode of a new file.
  if (::fchmod(fd, 0666 & ~currentUmask()) != 0) return abandon(errno, true);
  if (!writeAll(fd, bytes)) return abandon(errno, true);
  if (::fsync(fd) != 0) return abandon(errno, true);
  if (::close(fd) != 0) return abandon(errno, false);
  if (::rename(temp.c_str(), path.c_str()) != 0) return abandon(errno, false);

  // Makes the rename itself durable; the data is already safe, so a failure here is not reported.
  const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return true;
}

void removeStaleTemporaries(const std::string& folder) {
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return;
  const time_t now = ::time(nullptr);
  while (const dirent* entry = ::readdir(dir)) {
    const std::string_view name = entry->d_name;
    if (name.size() != kTemporaryPrefix.size() + 6 || !name.starts_with(kTemporaryPrefix)) continue;
    const std::string path = folder + "/" + std::string(name);
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::getuid()) continue;
    if (now - st.st_mtime > 60) ::unlink(path.c_str());
  }
  ::closedir(dir);
}

bool addPlaylistFile(IntakeSink& sink, const std::string& path, std::string* error,
                     LeftOutEntries* leftOut) {
  std::string bytes;
  if (!readWholeFile(path, bytes, error)) return false;
  if (countLines(bytes) > kMaxPlaylistLines) {
    return fail(error, "it holds more than 10,000,000 lines");
  }
  const PlaylistFormat format = playlistFormatOf(path).value_or(PlaylistFormat::Plt);
  LeftOutEntries left;
  if (format == PlaylistFormat::Plt) {
    forEachLine(bytes, [&](std::string_view line) {
      if (line.size() > kMaxEntryBytes) {
        ++left.tooLong;
      } else if (!sink.add(std::string(line))) {
        ++left.withNul;
      }
    });
  } else {
    ForeignEntries entries = parseForeignPlaylist(format, bytes, folderOf(path));
    // An XSPF file may hold many entries on one line.
    if (entries.paths.size() > kMaxPlaylistLines) {
      return fail(error, "it holds more than 10,000,000 entries");
    }
    bytes = std::string();
    left = std::move(entries.leftOut);
    for (std::size_t i = 0; i < entries.paths.size(); ++i) {
      if (!sink.add(std::move(entries.paths[i]), std::move(entries.names[i]))) ++left.withNul;
    }
  }
  if (leftOut) *leftOut = std::move(left);
  return true;
}

bool appendPlaylistFile(PlaylistModel& list, const std::string& path, std::string* error,
                        LeftOutEntries* leftOut) {
  PlaylistBatch batch(list);
  ListSink sink(list);
  return addPlaylistFile(sink, path, error, leftOut);
}

void addPlaylistFileEntries(IntakeSink& sink, const std::string& name) {
  struct stat st {};
  if (::stat(name.c_str(), &st) == 0) {
    std::string reason;
    LeftOutEntries leftOut;
    const bool read = !S_ISREG(st.st_mode) || addPlaylistFile(sink, name, &reason, &leftOut);
    if (!read) {
      sink.error("The playlist file " + name + " could not be read: " + reason + ".");
    } else if (leftOut.count() > 0) {
      sink.error("The playlist file " + name + " was loaded, but " + leftOutText(leftOut));
    }
  } else if (const int code = errno; code != ENOENT && code != ENOTDIR) {
    sink.error("The playlist file " + name + " could not be read: " +
               std::generic_category().message(code) + ".");
  }
}

void addRemotePlaylistEntries(IntakeSink& sink, RemoteFiles* remote, const std::string& address) {
  Fetched got;
  got.error = "this program cannot fetch it";
  const auto cancelled = [&sink] { return sink.cancelled(); };
  if (remote == nullptr ||
      !remote->fetch(address, kMaxRemotePlaylistBytes, kRemotePlaylistTimeoutMs, cancelled, got)) {
    if (!sink.cancelled())
      sink.error("The playlist " + address + " could not be loaded: " + got.error + ".");
    return;
  }
  const std::string_view path = std::string_view(address).substr(0, address.find_first_of("?#"));
  const PlaylistFormat format = playlistFormatOf(path).value_or(PlaylistFormat::M3u);
  // An HLS playlist (#EXT-X- tags) lists the pieces of one stream, which the engine plays itself.
  if (format != PlaylistFormat::Pls && format != PlaylistFormat::Xspf &&
      got.bytes.find("#EXT-X-") != std::string::npos) {
    sink.add(address);
    return;
  }
  // Relative entries are relative to where the list came from after its redirects.
  const std::string& base = isStreamAddress(got.address) ? got.address : address;
  ForeignEntries entries = parseForeignPlaylist(
      format == PlaylistFormat::Plt ? PlaylistFormat::M3u : format, got.bytes, base);
  for (std::size_t i = 0; i < entries.paths.size(); ++i)
    if (!sink.add(std::move(entries.paths[i]), std::move(entries.names[i])))
      ++entries.leftOut.withNul;
  if (entries.leftOut.count() > 0)
    sink.error("The playlist " + address + " was loaded, but " + leftOutText(entries.leftOut));
}

void loadPlaylistFile(Core& core, const std::string& name) {
  runIntake(
      core, [name](IntakeSink& sink) { addPlaylistFileEntries(sink, name); },
      [](Core& now, const IntakeResult& loaded) {
        if (!loaded.errors.empty()) tellUser(now, loaded.errors.text());
      });
}

void cmdload_Click(Core& core) {
  FileDialog* cd1 = core.platform.cd1;
  if (cd1) {
    cd1->Filter = kLoadPlaylistFilter;
    cd1->ShowOpen();
    const std::string name = cd1->FileName;
    // A NUL means several files were chosen (the dialog keeps the add command's settings): that is
    // not one playlist file, so nothing is read.
    if (!name.empty() && !hasNul(name)) {
      loadPlaylistFile(core, name);  // its end rebuilds the shuffle order
      return;
    }
  }
  // Rebuilds the shuffle order (on cancel too, as it always did).
  runListEdit(core, rebuildShuffleOrder);
}

void cmdsave_Click(Core& core) {
  FileDialog* cd1 = core.platform.cd1;
  if (!cd1) return;
  cd1->Filter = kSavePlaylistFilter;
  cd1->ShowSave();
  const std::string name = cd1->FileName;
  if (name.empty()) return;

  std::size_t leftOut = 0;
  const bool m3u8 = playlistFormatOf(name) == PlaylistFormat::M3u8;
  const std::string bytes =
      m3u8 ? serializeM3u8(core.list.paths(), &leftOut, &core.list.displayNames())
           : serializePlaylist(core.list.paths(), &leftOut);
  std::string reason;
  if (!writeFileAtomically(name, bytes, &reason)) {
    tellUser(core, "The playlist could not be saved to " + name + ": " + reason + ".");
    return;
  }
  if (leftOut > 0) {
    tellUser(core, "The playlist was saved to " + name + ", but " + std::to_string(leftOut) +
                       (leftOut == 1 ? " entry was" : " entries were") +
                       (m3u8 ? " left out: an empty path, or one that begins with # or contains a "
                               "line break, cannot be stored in an m3u8 playlist."
                             : " left out: a path that contains a line break cannot be stored in "
                               "a playlist file."));
  }
}

}  // namespace sonavex
