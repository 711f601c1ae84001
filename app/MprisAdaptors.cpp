#include "app/MprisAdaptors.h"

#include "app/Forms.h"
#include "app/MprisService.h"
#include "core/model/CommandLine.h"
#include "windows/frmMain.h"
#include "windows/frmplaylist.h"

namespace sonavex {

namespace {
QString text(const std::string& value) { return QString::fromStdString(value); }
}  // namespace

MprisRoot::MprisRoot(QObject* object, MprisService& service)
    : QDBusAbstractAdaptor(object), service_(service) {}

QString MprisRoot::identity() const { return QStringLiteral("Sonavex"); }
QString MprisRoot::desktopEntry() const { return QStringLiteral("io.github.sonavex.Sonavex"); }
QStringList MprisRoot::uriSchemes() const { return {QStringLiteral("file")}; }
QStringList MprisRoot::mimeTypes() const {
  return {QStringLiteral("audio/mpeg"),       QStringLiteral("audio/x-wav"),
          QStringLiteral("audio/flac"),       QStringLiteral("audio/ogg"),
          QStringLiteral("audio/x-vorbis+ogg"), QStringLiteral("audio/x-opus+ogg"),
          QStringLiteral("audio/mp4"),        QStringLiteral("audio/midi"),
          QStringLiteral("audio/x-ms-wma")};
}

void MprisRoot::Raise() { service_.forms().raisePlayer(); }
void MprisRoot::Quit() { service_.forms().endProgram(); }

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
  service_.forms().mediaRequest([&](Core& core) { mediaSetLoop(core, status == QLatin1String("Playlist")); });
}
void MprisPlayer::setShuffle(bool on) {
  service_.forms().mediaRequest([on](Core& core) { mediaSetShuffle(core, on); });
}
void MprisPlayer::setRate(double rate) {
  // A rate of 0 would be a pause by another name; the player has its own.
  if (rate <= 0) return;
  service_.forms().mediaRequest([rate](Core& core) { mediaSetRate(core, rate); });
}
void MprisPlayer::setVolume(double volume) {
  service_.forms().mediaRequest([volume](Core& core) { mediaSetVolume(core, volume); });
}

void MprisPlayer::Next() { service_.forms().playlist().nextsong(); }
void MprisPlayer::Previous() { service_.forms().main().cmdprev_Click(); }
void MprisPlayer::Pause() { service_.forms().mediaRequest(&mediaPause); }
void MprisPlayer::PlayPause() { service_.forms().mediaRequest(&mediaPlayPause); }
void MprisPlayer::Stop() { service_.forms().main().cmdstop_Click(); }
void MprisPlayer::Play() { service_.forms().mediaRequest(&mediaPlay); }

void MprisPlayer::Seek(qlonglong offset) {
  SeekOutcome outcome = SeekOutcome::Ignored;
  service_.forms().mediaRequest(
      [&](Core& core) { outcome = mediaSeek(core, static_cast<double>(offset) / 1e6); });
  if (outcome == SeekOutcome::PastTheEnd) Next();
}

void MprisPlayer::SetPosition(const QDBusObjectPath& trackId, qlonglong position) {
  const Index track = mediaTrackOf(trackId.path().toStdString());
  service_.forms().mediaRequest(
      [&](Core& core) { mediaSetPosition(core, track, static_cast<double>(position) / 1e6); });
}

void MprisPlayer::OpenUri(const QString& uri) {
  const std::string path = pathOfFileUri(uri.toStdString());
  if (path.empty()) return;
  service_.forms().openAndPlay(path);
}

}  // namespace sonavex
