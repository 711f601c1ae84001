#include "core/model/FileProbe.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace sonavex {
namespace {

// Closes the descriptor on every way out.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

// Reads up to buffer.size() bytes at offset; stops early at end of file or on a read error.
std::size_t readAt(int fd, std::span<std::uint8_t> buffer, std::uint64_t offset) {
  std::size_t done = 0;
  while (done < buffer.size()) {
    const ssize_t n = ::pread(fd, buffer.data() + done, buffer.size() - done,
                              static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  return done;
}

}  // namespace

FileProbe probeFile(const std::string& path) {
  FileProbe probe;
  if (path.empty() || path.find('\0') != std::string::npos) {
    probe.error = "no such file";
    return probe;
  }
  // Non-blocking so that opening a named pipe cannot hang; only regular files are read.
  FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (fd.get() < 0) {
    probe.error = std::strerror(errno);
    return probe;
  }
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) {
    probe.error = std::strerror(errno);
    return probe;
  }
  if (S_ISDIR(st.st_mode)) {
    probe.error = "it is a folder";
    return probe;
  }
  if (!S_ISREG(st.st_mode)) {
    probe.error = "not a regular file";
    return probe;
  }
  probe.readable = true;
  probe.size = static_cast<std::uint64_t>(st.st_size);

  std::array<std::uint8_t, kId3v2HeaderSize> start{};
  probe.headAt = id3v2TagSize(std::span(start.data(), readAt(fd.get(), start, 0)));
  const std::uint64_t after = probe.size > probe.headAt ? probe.size - probe.headAt : 0;
  const std::size_t wanted = after < kMpegScanBytes ? after : kMpegScanBytes;
  probe.headBytes =
      readAt(fd.get(), std::span<std::uint8_t>(probe.head.data(), wanted), probe.headAt);
  if (probe.headBytes < wanted) probe.size = probe.headAt + probe.headBytes;  // cut short

  if (probe.size >= kId3v1Size) {
    const std::size_t got = readAt(fd.get(), probe.tail, probe.size - kId3v1Size);
    probe.hasTail = got == kId3v1Size;
    if (!probe.hasTail) probe.tail.fill(0);
  }
  return probe;
}

bool ReadMpegInfo(const std::string& path, MpegInfo& info) {
  const FileProbe probe = probeFile(path);
  if (!probe.readable) return false;
  return decodeMpegInfo(probe.headSpan(), probe.size, info);
}

}  // namespace sonavex
