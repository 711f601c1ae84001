#pragma once
// The player on the session bus as an MPRIS 2 media player, so media keys, panel applets and
// playerctl drive it. Requests run the player's own commands; the bus hears of a change when the
// windows show it (no polling). Without a session bus nothing is registered and the player works
// as before.
#include <QObject>
#include <QString>
#include <QVariantMap>

#include "core/MediaControl.h"

namespace sonavex {

class Forms;

class MprisService : public QObject {
  Q_OBJECT
 public:
  // `instanceSuffix` tells a second player's name apart ("" for the one player of the session).
  MprisService(Forms& forms, const QString& instanceSuffix);
  ~MprisService() override;

  bool registered() const { return registered_; }
  QString busName() const { return busName_; }

  // The player's state may have changed: the bus is told what did.
  void stateChanged();

  // What the adaptors read and ask; a read sees the player as it is now.
  Forms& forms() { return forms_; }
  const MediaControlState& state();
  const QVariantMap& metadata();
  qlonglong positionMicroseconds();

 private:
  void emitChanges(const MediaControlState& before);
  void readMetadata();

  Forms& forms_;
  QString busName_;
  bool registered_ = false;
  MediaControlState state_;
  unsigned long seeks_ = 0;
  QVariantMap metadata_;
};

}  // namespace sonavex
