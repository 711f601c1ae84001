#include "app/MprisAdaptors.h"

#include "app/MprisService.h"
#include "core/Command.h"
#include "core/FileDrop.h"
#include "core/LastPlaylist.h"
#include "core/MediaControl.h"
#include "core/Transport.h"
#include "core/model/CommandLine.h"
#include "core/model/StreamAddress.h"

namespace sonavex {

namespace {
QString text(const std::string& value) { return QString::fromStdString(value); }
}  // namespace

MprisRoot::MprisRoot(QObject* object, MprisService& service)
    : QDBusAbstractAdaptor(object), service_(service) {}

QString MprisRoot::identity() const { return QStringLiteral("Sonavex"); }
QString MprisRoot::desktopEntry() const { return QStringLiteral("io.github.sonavex.Sonavex"); }
QStringList MprisRoot::uriSchemes() const {
  return {QStringLiteral("file"), QStringLiteral("http"), QStringLiteral("https")};
}
QStringList MprisRoot::mimeTypes() const {
  return {QStringLiteral("audio/mpeg"),       QStringLiteral("audio/x-wav"),
          QStringLiteral("audio/flac"),       QStringLiteral("audio/ogg"),
          QStringLiteral("audio/x-vorbis+ogg"), QStringLiteral("audio/x-opus+ogg"),
          QStringLiteral("audio/mp4"),        QStringLiteral("audio/midi"),
          QStringLiteral("audio/x-ms-wma")};
}

void MprisRoot::Raise() { service_.raise(); }
void MprisRoot::Quit() { perform(service_.core(), mnuexit_Click); }

MprisPlayer::MprisPlayer(QObject* object, MprisService& service)
    : QDBusAbstractAdaptor(object), service_(service) {}

QString MprisPlayer::playbackStatus() { return text(service_.state().playbackStatus); }
QString MprisPlayer::loopStatus() { return text(service_.state().loopStatus); }
bool MprisPlayer::shuffle() { return service_.state().shuffle; }
double MprisPlayer::rate() { return service_.state().rate; }
double MprisPlayer::minimumRate() const { return kMinimumRate; }
double MprisPlayer::maximumRate() const { return kMaximumRate; }
double MprisPlayer::volume() { return service_.state().volume; }
qlonglong MprisPlayer::position() { return service_.positionMicroseconds(); }
QVariantMap MprisPlayer::metadata() { return service_.metadata(); }
bool MprisPlayer::canGoNext() { return service_.state().canGoNext; }
bool MprisPlayer::canGoPrevious() { return service_.state().canGoPrevious; }
bool MprisPlayer::canPlay() { return service_.state().canPlay; }
bool MprisPlayer::canPause() { return service_.state().canPause; }
bool MprisPlayer::canSeek() { return service_.state().canSeek; }

void MprisPlayer::setLoopStatus(const QString& status) {
  // There is no loop of one track: "Track" leaves the loop box as it is.
  if (status != QLatin1String("Playlist") && status != QLatin1String("None")) return;
  perform(service_.core(), mediaSetLoop, status == QLatin1String("Playlist"));
}
void MprisPlayer::setShuffle(bool on) { perform(service_.core(), mediaSetShuffle, on); }
void MprisPlayer::setRate(double rate) {
  // A rate of 0 would be a pause by another name; the player has its own.
  if (rate <= 0) return;
  perform(service_.core(), mediaSetRate, rate);
}
void MprisPlayer::setVolume(double volume) { perform(service_.core(), mediaSetVolume, volume); }

void MprisPlayer::Next() { perform(service_.core(), cmdnext_Click); }
void MprisPlayer::Previous() { perform(service_.core(), cmdprev_Click); }
void MprisPlayer::Pause() { perform(service_.core(), mediaPause); }
void MprisPlayer::PlayPause() { perform(service_.core(), mediaPlayPause); }
void MprisPlayer::Stop() { perform(service_.core(), cmdstop_Click); }
void MprisPlayer::Play() { perform(service_.core(), mediaPlay); }

void MprisPlayer::Seek(qlonglong offset) {
  const double seconds = static_cast<double>(offset) / 1e6;
  if (perform(service_.core(), mediaSeek, seconds) == SeekOutcome::PastTheEnd) Next();
}

void MprisPlayer::SetPosition(const QDBusObjectPath& trackId, qlonglong position) {
  const Index track = mediaTrackOf(trackId.path().toStdString());
  perform(service_.core(), mediaSetPosition, track, static_cast<double>(position) / 1e6);
}

void MprisPlayer::OpenUri(const QString& uri) {
  const std::string given = uri.toStdString();
  const std::string path = isStreamAddress(given) ? given : pathOfFileUri(given);
  if (path.empty()) return;
  perform(service_.core(), openAndPlay, path);
}

}  // namespace sonavex
