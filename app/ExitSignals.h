#pragma once
// SIGTERM, SIGINT and SIGHUP end the program the orderly way: the handler only writes the signal
// number into a pipe, and the UI thread reads it and runs the exit path there. A UI thread that is
// stuck never reads it, so a further signal that comes 3 s or more after an unread one ends the
// process at once, as the signal's default action would.
#include <functional>

#include <QObject>

class QSocketNotifier;

namespace sonavex {

class ExitSignals : public QObject {
  Q_OBJECT
 public:
  // How long an unread request may wait before a further signal ends the process at once.
  static constexpr long long kPatienceNs = 3'000'000'000LL;

  // Only one instance may exist at a time; the previous handlers come back when it is destroyed.
  explicit ExitSignals(std::function<void(int)> onSignal, QObject* parent = nullptr);
  ~ExitSignals() override;
  bool installed() const { return installed_; }

 private:
  void readSignal();

  std::function<void(int)> onSignal_;
  QSocketNotifier* notifier_ = nullptr;
  bool installed_ = false;
};

}  // namespace sonavex
