#include "app/ExitSignals.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <ctime>

#include <QSocketNotifier>

namespace sonavex {

namespace {
constexpr std::array<int, 3> kSignals{SIGTERM, SIGINT, SIGHUP};
int pipeFds[2] = {-1, -1};
struct sigaction previous[kSignals.size()];
// When the oldest request the UI thread has not read yet arrived (CLOCK_MONOTONIC, ns); 0 for none.
std::atomic<long long> unreadSince{0};
static_assert(std::atomic<long long>::is_always_lock_free, "the signal handler may not take a lock");

long long monotonicNs() {
  timespec now{};
  ::clock_gettime(CLOCK_MONOTONIC, &now);
  return std::max(1LL, static_cast<long long>(now.tv_sec) * 1'000'000'000LL + now.tv_nsec);
}

extern "C" void onExitSignal(int signal) {
  const int savedErrno = errno;
  const long long now = monotonicNs();
  long long since = 0;
  if (!unreadSince.compare_exchange_strong(since, now) && now - since >= ExitSignals::kPatienceNs) {
    // The UI thread has not taken the first request: end as if no handler were installed. The
    // signal is blocked while this handler runs, so it arrives again as soon as this returns.
    struct sigaction fallback = {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    ::sigaction(signal, &fallback, nullptr);
    ::raise(signal);
    errno = savedErrno;
    return;
  }
  const unsigned char byte = static_cast<unsigned char>(signal);
  // Async-signal-safe; a full pipe only loses a duplicate request.
  [[maybe_unused]] const ssize_t written = ::write(pipeFds[0], &byte, 1);
  errno = savedErrno;
}
}  // namespace

ExitSignals::ExitSignals(std::function<void(int)> onSignal, QObject* parent)
    : QObject(parent), onSignal_(std::move(onSignal)) {
  if (pipeFds[0] != -1) return;
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, pipeFds) != 0) {
    pipeFds[0] = pipeFds[1] = -1;
    return;
  }
  notifier_ = new QSocketNotifier(pipeFds[1], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, &ExitSignals::readSignal);

  struct sigaction action = {};
  action.sa_handler = onExitSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (std::size_t i = 0; i < kSignals.size(); ++i) ::sigaction(kSignals[i], &action, &previous[i]);
  installed_ = true;
}

ExitSignals::~ExitSignals() {
  if (!installed_) return;
  for (std::size_t i = 0; i < kSignals.size(); ++i) ::sigaction(kSignals[i], &previous[i], nullptr);
  delete notifier_;
  ::close(pipeFds[0]);
  ::close(pipeFds[1]);
  pipeFds[0] = pipeFds[1] = -1;
  unreadSince = 0;
}

void ExitSignals::readSignal() {
  unsigned char byte = 0;
  int last = 0;
  while (::read(pipeFds[1], &byte, 1) == 1) last = byte;
  // Taken: further signals queue behind it again (and a second one during the exit path ends it).
  unreadSince = 0;
  if (last != 0 && onSignal_) onSignal_(last);
}

}  // namespace sonavex
