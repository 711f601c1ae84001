#include "app/ListWakeNotifier.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cstdint>
#include <stdexcept>

namespace sonavex {

ListWakeNotifier::ListWakeNotifier() : fd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
  if (fd_ < 0) throw std::runtime_error("cannot make an eventfd for the list work");
  notifier_ = new QSocketNotifier(fd_, QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, [this] {
    std::uint64_t count = 0;
    while (::read(fd_, &count, sizeof count) < 0 && errno == EINTR) {
    }
    if (drain_) drain_();
  });
}

ListWakeNotifier::~ListWakeNotifier() {
  delete notifier_;
  ::close(fd_);
}

void ListWakeNotifier::wake() {
  const std::uint64_t one = 1;
  while (::write(fd_, &one, sizeof one) < 0 && errno == EINTR) {
  }
}

}  // namespace sonavex
