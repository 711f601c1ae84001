#include "app/MprisService.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QFile>
#include <QStringList>
#include <QUrl>

#include "app/MprisAdaptors.h"
#include "core/model/PlaylistModel.h"
#include "core/model/StreamAddress.h"

namespace sonavex {

namespace {
const QString kObjectPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString kPlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");

QString fromBytes(const std::string& bytes) { return QFile::decodeName(QByteArray::fromStdString(bytes)); }
}  // namespace

MprisService::MprisService(Core& core, std::function<void()> raise, const QString& instanceSuffix)
    : core_(core), raise_(std::move(raise)) {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return;
  new MprisRoot(this, *this);
  new MprisPlayer(this, *this);
  if (!bus.registerObject(kObjectPath, this)) return;
  busName_ = QStringLiteral("org.mpris.MediaPlayer2.sonavex") + instanceSuffix;
  registered_ = bus.registerService(busName_);
  if (!registered_) bus.unregisterObject(kObjectPath);
  state_ = mediaControlState(core_);
  seeks_ = core_.face.seeks;
  readMetadata();
}

MprisService::~MprisService() {
  if (!registered_) return;
  QDBusConnection bus = QDBusConnection::sessionBus();
  bus.unregisterService(busName_);
  bus.unregisterObject(kObjectPath);
}

const MediaControlState& MprisService::state() {
  stateChanged();
  return state_;
}

const QVariantMap& MprisService::metadata() {
  stateChanged();
  return metadata_;
}

qlonglong MprisService::positionMicroseconds() {
  if (state_.track == kNone) return 0;
  return static_cast<qlonglong>(core_.mp1.position() * 1e6);
}

void MprisService::stateChanged() {
  if (!registered_) return;
  const MediaControlState before = state_;
  state_ = mediaControlState(core_);
  if (!(state_ == before)) emitChanges(before);
  if (core_.face.seeks != seeks_) {
    seeks_ = core_.face.seeks;
    QDBusMessage seeked =
        QDBusMessage::createSignal(kObjectPath, kPlayerInterface, QStringLiteral("Seeked"));
    seeked << positionMicroseconds();
    QDBusConnection::sessionBus().send(seeked);
  }
}

void MprisService::emitChanges(const MediaControlState& before) {
  const MediaControlState& now = state_;
  QVariantMap changed;
  if (now.playbackStatus != before.playbackStatus)
    changed[QStringLiteral("PlaybackStatus")] = QString::fromStdString(now.playbackStatus);
  if (now.loopStatus != before.loopStatus)
    changed[QStringLiteral("LoopStatus")] = QString::fromStdString(now.loopStatus);
  if (now.shuffle != before.shuffle) changed[QStringLiteral("Shuffle")] = now.shuffle;
  if (now.rate != before.rate) changed[QStringLiteral("Rate")] = now.rate;
  if (now.volume != before.volume) changed[QStringLiteral("Volume")] = now.volume;
  if (now.track != before.track || now.path != before.path ||
      now.lengthMicroseconds != before.lengthMicroseconds || now.tags != before.tags) {
    readMetadata();
    changed[QStringLiteral("Metadata")] = metadata_;
  }
  if (now.canGoNext != before.canGoNext) changed[QStringLiteral("CanGoNext")] = now.canGoNext;
  if (now.canGoPrevious != before.canGoPrevious)
    changed[QStringLiteral("CanGoPrevious")] = now.canGoPrevious;
  if (now.canPlay != before.canPlay) changed[QStringLiteral("CanPlay")] = now.canPlay;
  if (now.canPause != before.canPause) changed[QStringLiteral("CanPause")] = now.canPause;
  if (now.canSeek != before.canSeek) changed[QStringLiteral("CanSeek")] = now.canSeek;
  if (changed.isEmpty()) return;
  QDBusMessage signal = QDBusMessage::createSignal(
      kObjectPath, QStringLiteral("org.freedesktop.DBus.Properties"),
      QStringLiteral("PropertiesChanged"));
  signal << kPlayerInterface << changed << QStringList();
  QDBusConnection::sessionBus().send(signal);
}

void MprisService::readMetadata() {
  metadata_.clear();
  metadata_[QStringLiteral("mpris:trackid")] =
      QVariant::fromValue(QDBusObjectPath(QString::fromStdString(mediaTrackId(state_.track))));
  if (state_.track == kNone) return;
  const QString path = fromBytes(state_.path);
  // A live stream has no length, so none is told.
  if (state_.lengthMicroseconds > 0) metadata_[QStringLiteral("mpris:length")] = qlonglong(state_.lengthMicroseconds);
  metadata_[QStringLiteral("xesam:url")] = isStreamAddress(state_.path)
                                              ? path
                                              : QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
  // What GStreamer read of the track's tags as it plays it; the file name until a title comes.
  const TrackTags& tags = state_.tags;
  metadata_[QStringLiteral("xesam:title")] = tags.title.empty()
                                                 ? fromBytes(std::string(fileNameOf(state_.path)))
                                                 : QString::fromStdString(tags.title);
  if (!tags.artist.empty()) {
    metadata_[QStringLiteral("xesam:artist")] = QStringList{QString::fromStdString(tags.artist)};
  }
  if (!tags.album.empty()) metadata_[QStringLiteral("xesam:album")] = QString::fromStdString(tags.album);
  if (tags.trackNumber > 0) metadata_[QStringLiteral("xesam:trackNumber")] = tags.trackNumber;
  if (!tags.artUrl.empty()) metadata_[QStringLiteral("mpris:artUrl")] = QString::fromStdString(tags.artUrl);
}

}  // namespace sonavex
