#pragma once
// Wakes the program's thread for list work (ListWake in core/model/Platform.h) through an eventfd
// that the event loop watches: a wake from another thread writes a number and carries nothing else,
// so everything that crosses threads goes through the core's own locks.
#include <QObject>
#include <functional>

#include "core/model/Platform.h"

class QSocketNotifier;

namespace sonavex {

class ListWakeNotifier final : public QObject, public ListWake {
 public:
  ListWakeNotifier();
  ~ListWakeNotifier() override;
  ListWakeNotifier(const ListWakeNotifier&) = delete;
  ListWakeNotifier& operator=(const ListWakeNotifier&) = delete;

  void onWake(std::function<void()> drain) override { drain_ = std::move(drain); }
  void wake() override;

 private:
  int fd_ = -1;
  QSocketNotifier* notifier_ = nullptr;
  std::function<void()> drain_;
};

}  // namespace sonavex
