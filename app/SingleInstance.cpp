#include "app/SingleInstance.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QLocalServer>
#include <QLocalSocket>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>

#include "app/core/HandOver.h"

namespace sonavex {

namespace {

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
  if (server_) server_->close();
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
  received_ = std::move(received);
  server_ = new QLocalServer(this);
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  // We hold the lock, so a socket file left here is a crashed player's.
  QLocalServer::removeServer(QString::fromStdString(socketPath_));
  if (!server_->listen(QString::fromStdString(socketPath_))) return false;
  connect(server_, &QLocalServer::newConnection, this, &SingleInstance::accept);
  return true;
}

void SingleInstance::accept() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    auto reader = std::make_shared<HandOverReader>();
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket, reader] {
      const QByteArray bytes = socket->readAll();
      if (reader->status() != HandOverReader::Status::Incomplete) return;
      switch (reader->feed(bytes.constData(), static_cast<std::size_t>(bytes.size()))) {
        case HandOverReader::Status::Complete:
          socket->write(&kHandOverAck, 1);
          socket->flush();
          socket->disconnectFromServer();
          received_(reader->paths());
          break;
        case HandOverReader::Status::Invalid:
          socket->abort();
          break;
        case HandOverReader::Status::Incomplete:
          break;
      }
    });
  }
}

}  // namespace sonavex
