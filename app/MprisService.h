#pragma once
// The player on the session bus as an MPRIS 2 media player, so media keys, panel applets and
// playerctl drive it. Requests run the player's own commands; the bus hears of a change when the
// windows show it (no polling). Without a session bus nothing is registered and the player works
// as before.
#include <QObject>
#include <QString>
#include <QVariantMap>
#include <functional>

#include "core/MediaControl.h"

namespace sonavex {

class MprisService : public QObject {
  Q_OBJECT
 public:
  // `instanceSuffix` tells a second player's name apart ("" for the one player of the session).
  // `raise` brings the player to the front.
  MprisService(Core& core, std::function<void()> raise, const QString& instanceSuffix);
  ~MprisService() override;

  bool registered() const { return registered_; }

  // After every command: the bus is told what changed.
  void stateChanged();

  // What the adaptors read and ask; a read sees the player as it is now.
  Core& core() { return core_; }
  void raise() { raise_(); }
  const MediaControlState& state();
  const QVariantMap& metadata();
  qlonglong positionMicroseconds();

 private:
  void emitChanges(const MediaControlState& before);
  void readMetadata();

  Core& core_;
  std::function<void()> raise_;
  QString busName_;
  bool registered_ = false;
  MediaControlState state_;
  unsigned long seeks_ = 0;
  QVariantMap metadata_;
};

}  // namespace sonavex
