#pragma once
// One player per user session. The running player holds a lock for its lifetime and listens on a
// socket beside it; a second start hands its paths over and ends. A player that crashed leaves
// its socket file behind but not its lock, so the next start removes the file and takes over.
// Any program of the user can connect: a connection that has not sent its whole frame within 2 s
// is closed, and only the newest few wait at once, so idle ones cannot use up the descriptors.
#include <QObject>
#include <deque>
#include <functional>
#include <string>
#include <vector>

class QSocketNotifier;

namespace sonavex {

class SingleInstance : public QObject {
  Q_OBJECT
 public:
  // The folder of the lock and the socket: $XDG_RUNTIME_DIR, else the temporary folder.
  explicit SingleInstance(std::string folder = {});
  ~SingleInstance() override;

  // Takes the lock; false when another player holds it. Needs no Qt application.
  bool acquire();
  // Hands `paths` to the running player, which answers once it has them all; waits for it to
  // start listening for up to `patienceMs`. Needs no Qt application.
  bool handOver(const std::vector<std::string>& paths, int patienceMs = 3000) const;
  // Listens for hand-overs (after acquire()); each complete one reaches `received`.
  bool listen(std::function<void(std::vector<std::string>)> received);


 private:
  class Connection;
  void accept();
  void take(int fd);
  void read(Connection* connection);
  void drop(Connection* connection);

  std::string lockPath_;
  std::string socketPath_;
  int lockFd_ = -1;
  int serverFd_ = -1;
  std::function<void(std::vector<std::string>)> received_;
  QSocketNotifier* incoming_ = nullptr;
  std::deque<Connection*> pending_;  // oldest first
};

}  // namespace sonavex
