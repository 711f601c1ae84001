#pragma once
// The two MPRIS 2 interfaces of the player's bus object.
#include <QDBusAbstractAdaptor>
#include <QDBusObjectPath>
#include <QStringList>
#include <QVariantMap>

namespace sonavex {

class MprisService;

class MprisRoot : public QDBusAbstractAdaptor {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
  Q_PROPERTY(bool CanQuit READ yes)
  Q_PROPERTY(bool CanRaise READ yes)
  Q_PROPERTY(bool CanSetFullscreen READ no)
  Q_PROPERTY(bool Fullscreen READ no)
  Q_PROPERTY(bool HasTrackList READ no)
  Q_PROPERTY(QString Identity READ identity)
  Q_PROPERTY(QString DesktopEntry READ desktopEntry)
  Q_PROPERTY(QStringList SupportedUriSchemes READ uriSchemes)
  Q_PROPERTY(QStringList SupportedMimeTypes READ mimeTypes)

 public:
  MprisRoot(QObject* object, MprisService& service);
  bool yes() const { return true; }
  bool no() const { return false; }
  QString identity() const;
  QString desktopEntry() const;
  QStringList uriSchemes() const;
  QStringList mimeTypes() const;

 public slots:
  void Raise();
  void Quit();

 private:
  MprisService& service_;
};

class MprisPlayer : public QDBusAbstractAdaptor {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
  Q_PROPERTY(QString PlaybackStatus READ playbackStatus)
  Q_PROPERTY(QString LoopStatus READ loopStatus WRITE setLoopStatus)
  Q_PROPERTY(bool Shuffle READ shuffle WRITE setShuffle)
  Q_PROPERTY(double Rate READ rate WRITE setRate)
  Q_PROPERTY(double MinimumRate READ minimumRate)
  Q_PROPERTY(double MaximumRate READ maximumRate)
  Q_PROPERTY(double Volume READ volume WRITE setVolume)
  Q_PROPERTY(qlonglong Position READ position)
  Q_PROPERTY(QVariantMap Metadata READ metadata)
  Q_PROPERTY(bool CanGoNext READ canGoNext)
  Q_PROPERTY(bool CanGoPrevious READ canGoPrevious)
  Q_PROPERTY(bool CanPlay READ canPlay)
  Q_PROPERTY(bool CanPause READ canPause)
  Q_PROPERTY(bool CanSeek READ canSeek)
  Q_PROPERTY(bool CanControl READ canControl)

 public:
  MprisPlayer(QObject* object, MprisService& service);
  QString playbackStatus();
  QString loopStatus();
  void setLoopStatus(const QString& status);
  bool shuffle();
  void setShuffle(bool on);
  double rate();
  void setRate(double rate);
  double minimumRate() const;
  double maximumRate() const;
  double volume();
  void setVolume(double volume);
  qlonglong position();
  QVariantMap metadata();
  bool canGoNext();
  bool canGoPrevious();
  bool canPlay();
  bool canPause();
  bool canSeek();
  bool canControl() const { return true; }

 signals:
  void Seeked(qlonglong position);

 public slots:
  void Next();
  void Previous();
  void Pause();
  void PlayPause();
  void Stop();
  void Play();
  void Seek(qlonglong offset);
  void SetPosition(const QDBusObjectPath& trackId, qlonglong position);
  void OpenUri(const QString& uri);

 private:
  MprisService& service_;
};

}  // namespace sonavex
