#include "app/SingleInstance.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>

#include "core/model/HandOver.h"

namespace sonavex {

namespace {

// A real second start sends its frame right after connecting; these bound what others can hold.
constexpr std::size_t kMaxPending = 8;
constexpr auto kFrameTime = std::chrono::seconds(2);
// How long accepting rests when the process is out of descriptors or memory.
constexpr auto kAcceptRest = std::chrono::milliseconds(100);
// Per wake-up, so that a flood of connections or bytes leaves room for the rest of the program.
constexpr int kAcceptsPerWake = 64;
constexpr int kReadsPerWake = 16;

std::string defaultFolder() {
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime) return runtime;
  const char* temp = std::getenv("TMPDIR");
  return std::string(temp && *temp ? temp : "/tmp") + "/sonavex-" + std::to_string(getuid());
}

bool writeAll(int fd, const std::string& bytes) {
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) return false;
    sent += static_cast<std::size_t>(n);
  }
  return true;
}

// Connects to the socket at `path`; -1 when nobody listens there.
int connectTo(const std::string& path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof(address.sun_path)) return -1;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

// Only a folder of the user's own, closed to others, may hold the lock and the socket: in a shared
// temporary folder another user could have made it first.
bool isPrivateFolder(const std::string& folder) {
  struct stat info {};
  return ::lstat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == getuid() &&
         (info.st_mode & 077) == 0;
}

}  // namespace

SingleInstance::SingleInstance(std::string folder) {
  if (folder.empty()) {
    folder = defaultFolder();
    ::mkdir(folder.c_str(), 0700);  // the temporary folder's own subfolder, if it is that
  }
  if (!isPrivateFolder(folder)) return;
  lockPath_ = folder + "/sonavex.lock";
  socketPath_ = folder + "/sonavex.socket";
}

SingleInstance::~SingleInstance() {
  if (serverFd_ >= 0) ::close(serverFd_);
  if (lockFd_ >= 0) ::close(lockFd_);
}

bool SingleInstance::acquire() {
  if (lockPath_.empty()) return true;  // no private folder: this player plays alone
  lockFd_ = ::open(lockPath_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  // A folder we cannot write to gives no way to find each other; each start then plays alone.
  if (lockFd_ < 0) return true;
  if (::flock(lockFd_, LOCK_EX | LOCK_NB) == 0) return true;
  ::close(lockFd_);
  lockFd_ = -1;
  return false;
}

bool SingleInstance::handOver(const std::vector<std::string>& paths, int patienceMs) const {
  if (socketPath_.empty()) return false;
  using Clock = std::chrono::steady_clock;
  const auto giveUp = Clock::now() + std::chrono::milliseconds(patienceMs);
  int fd = -1;
  // The running player may still be starting and not yet listening.
  while ((fd = connectTo(socketPath_)) < 0) {
    if (Clock::now() >= giveUp) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  bool answered = false;
  if (writeAll(fd, encodeHandOver(paths))) {
    pollfd wait{fd, POLLIN, 0};
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(giveUp - Clock::now());
    char ack = 0;
    answered = ::poll(&wait, 1, static_cast<int>(std::max<long long>(left.count(), 1000))) == 1 &&
               ::recv(fd, &ack, 1, 0) == 1 && ack == kHandOverAck;
  }
  ::close(fd);
  return answered;
}

bool SingleInstance::listen(std::function<void(std::vector<std::string>)> received) {
  if (socketPath_.empty() || lockFd_ < 0) return false;
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (socketPath_.size() >= sizeof(address.sun_path)) return false;
  std::memcpy(address.sun_path, socketPath_.c_str(), socketPath_.size() + 1);
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  // We hold the lock, so a socket file left here is a crashed player's.
  ::unlink(socketPath_.c_str());
  if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
      ::chmod(socketPath_.c_str(), 0600) != 0 || ::listen(fd, 8) != 0) {
    ::close(fd);
    return false;
  }
  received_ = std::move(received);
  serverFd_ = fd;
  incoming_ = new QSocketNotifier(fd, QSocketNotifier::Read, this);
  connect(incoming_, &QSocketNotifier::activated, this, &SingleInstance::accept);
  return true;
}

// A connection whose frame has not all arrived yet.
class SingleInstance::Connection : public QObject {
 public:
  Connection(int fd, QObject* parent)
      : QObject(parent), fd_(fd), readable_(new QSocketNotifier(fd, QSocketNotifier::Read, this)) {}
  ~Connection() override { close(); }
  int fd() const { return fd_; }
  QSocketNotifier* readable() const { return readable_; }
  HandOverReader reader;
  void close() {
    if (fd_ < 0) return;
    readable_->setEnabled(false);
    ::close(fd_);
    fd_ = -1;
  }

 private:
  int fd_;
  QSocketNotifier* readable_;
};

void SingleInstance::accept() {
  for (int accepted = 0; accepted < kAcceptsPerWake; ++accepted) {
    const int fd = ::accept4(serverFd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd >= 0) {
      take(fd);
      continue;
    }
    if (errno == EINTR || errno == ECONNABORTED) continue;
    if (errno == EAGAIN || errno == EWOULDBLOCK) return;
    // Out of descriptors or memory: the waiting connection keeps the socket readable, so listening
    // on at once would only spin. Rest a little; closing idle connections frees descriptors.
    incoming_->setEnabled(false);
    QTimer::singleShot(kAcceptRest, this, [this] { incoming_->setEnabled(true); });
    return;
  }
}

void SingleInstance::take(int fd) {
  auto* connection = new Connection(fd, this);
  pending_.push_back(connection);
  if (pending_.size() > kMaxPending) drop(pending_.front());
  connect(connection->readable(), &QSocketNotifier::activated, this,
          [this, connection] { read(connection); });
  QTimer::singleShot(kFrameTime, connection, [this, connection] {
    read(connection);  // the UI thread may have been busy while the frame came
    drop(connection);
  });
  read(connection);  // a second start sends at once: its frame may be here already
}

void SingleInstance::read(Connection* connection) {
  for (int reads = 0; reads < kReadsPerWake && connection->fd() >= 0; ++reads) {
    char buffer[4096];
    const ssize_t n = ::recv(connection->fd(), buffer, sizeof buffer, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
    HandOverReader& reader = connection->reader;
    const auto status = n > 0 ? reader.feed(buffer, static_cast<std::size_t>(n))
                              : HandOverReader::Status::Invalid;  // ended before the frame did
    if (status == HandOverReader::Status::Incomplete) continue;
    if (status == HandOverReader::Status::Complete) {
      (void)::send(connection->fd(), &kHandOverAck, 1, MSG_NOSIGNAL);
    }
    drop(connection);
    if (status == HandOverReader::Status::Complete) received_(reader.paths());
    return;
  }
}

void SingleInstance::drop(Connection* connection) {
  const auto at = std::find(pending_.begin(), pending_.end(), connection);
  if (at == pending_.end()) return;
  pending_.erase(at);
  connection->close();
  // Its notifier may be the one whose signal is running now.
  connection->deleteLater();
}

}  // namespace sonavex
