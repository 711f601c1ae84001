// The player on a private session bus, driven by playerctl as a desktop's media keys drive it:
// each request checked against the player's own state and against what the sink plays.
#include <QApplication>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDialog>
#include <QFile>
#include <QMessageBox>
#include <QTimer>
#include <QUrl>
#include <cerrno>
#include <cstring>

#include "Kit.h"
#include "core/Command.h"
#include "core/FileDrop.h"

namespace sonavex::e2e {
namespace {

constexpr double kLow = 441, kHigh = 661.5;

class Mpris : public PlayerTest {
 protected:
  void SetUp() override {
    PlayerTest::SetUp();
    if (IsSkipped()) return;
    startPlayer({tone("low.mp3", kLow, 10), tone("high.mp3", kHigh, 10)});
  }

  // The pitch the sink plays over the next half second, and how loud.
  double heard(double* loudness = nullptr) {
    take();
    QTest::qWait(600);
    const Recording r = take();
    const Span loud = soundSpan(r, 0.002);
    if (loudness) *loudness = loud.count > 0 ? rms(r, loud, 0) : 0.0;
    return loud.count > kRate / 5 ? toneFrequency(r, loud) : 0.0;
  }
};

bool near(double f, double tone) { return std::abs(f - tone) < tone * 0.03; }

TEST_F(Mpris, PlayerctlDrivesThePlayerAndTheSinkFollows) {
  EXPECT_EQ(playerctl({"status"}), "Stopped");
  playerctl({"play"});
  ASSERT_TRUE(waitFor([&] { return core().mp1.playState() == kPlaying && core().mp1.duration() > 0; }));
  EXPECT_EQ(playerctl({"status"}), "Playing");
  EXPECT_TRUE(near(heard(), kLow));
  EXPECT_EQ(playerctl({"metadata", "--format", "{{xesam:title}} {{mpris:trackid}} {{mpris:length}}"}),
            "low.mp3 '/org/sonavex/Track/0' " + std::to_string(std::llround(core().mp1.duration() * 1e6)));

  playerctl({"pause"});
  EXPECT_EQ(playerctl({"status"}), "Paused");
  EXPECT_EQ(heard(), 0.0);
  playerctl({"play"});
  EXPECT_EQ(core().mp1.playState(), kPlaying);

  playerctl({"next"});
  ASSERT_TRUE(waitFor([&] { return core().currenttrack == 1 && core().mp1.duration() > 0; }));
  EXPECT_TRUE(near(heard(), kHigh));
  EXPECT_EQ(playerctl({"metadata", "xesam:title"}), "high.mp3");
  playerctl({"previous"});
  ASSERT_TRUE(waitFor([&] { return core().currenttrack == 0 && core().mp1.duration() > 0; }));
  EXPECT_TRUE(near(heard(), kLow));

  playerctl({"position", "4"});
  EXPECT_NEAR(core().mp1.position(), 4, 0.3);
  EXPECT_NEAR(std::stod(playerctl({"position"})), core().mp1.position(), 0.3);

  double full = 0, half = 0;
  heard(&full);
  playerctl({"volume", "0.5"});
  heard(&half);
  EXPECT_GT(half, 0.0);
  EXPECT_LT(half, full / 2);
  EXPECT_EQ(std::stod(playerctl({"volume"})), 0.5);

  playerctl({"loop", "None"});
  EXPECT_EQ(playerctl({"loop"}), "None");
  playerctl({"shuffle", "On"});
  EXPECT_EQ(playerctl({"shuffle"}), "On");

  playerctl({"stop"});
  EXPECT_EQ(core().mp1.playState(), kStopped);
  EXPECT_EQ(heard(), 0.0);
}

TEST_F(Mpris, OpenUriOfAPathTooLongForTheSystemAnswersAtOnceAndTellsTheErrorInANotice) {
  // A modal box would hold the call until someone closes it, so the call would time out; the box
  // is then closed here, after the time-out, for the test to end.
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [] {
    if (auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget())) box->reject();
  });
  closer.start(7000);
  // A connection of its own, as a desktop's media control is another client of the bus.
  // (A QDBusInterface would first ask this very thread for the object's description, and wait.)
  QDBusConnection client = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("media-control"));
  QDBusMessage openUri = QDBusMessage::createMethodCall(
      QStringLiteral("org.mpris.MediaPlayer2.sonavex"), QStringLiteral("/org/mpris/MediaPlayer2"),
      QStringLiteral("org.mpris.MediaPlayer2.Player"), QStringLiteral("OpenUri"));
  openUri << QStringLiteral("file:///") + QString(5000, QLatin1Char('l'));
  QDBusPendingCallWatcher call(client.asyncCall(openUri, /*timeout ms=*/5000));
  ASSERT_TRUE(waitFor([&] { return call.isFinished(); }));
  EXPECT_FALSE(call.isError()) << call.error().message().toStdString();

  // The error is told in a box that waits for no one, once the intake on its worker is over.
  QMessageBox* notice = nullptr;
  ASSERT_TRUE(waitFor([&] {
    for (QWidget* window : QApplication::topLevelWidgets())
      if (auto* box = qobject_cast<QMessageBox*>(window); box && box->isVisible()) notice = box;
    return notice != nullptr;
  }));
  EXPECT_EQ(std::tuple(notice->text().toStdString(), notice->windowTitle().toStdString(), notice->isModal()),
            std::tuple("Error: " + std::to_string(ENAMETOOLONG) + " - " + std::strerror(ENAMETOOLONG),
                       std::string("Sonavex"), false));
  notice->close();
  EXPECT_EQ(core().list.count(), 2);
}

// What GStreamer reads of a track's tags as it plays (ID3v2 here, with a cover picture) reaches the
// desktop, told by PropertiesChanged; the cover is saved once in the user's cache folder.
TEST_F(Mpris, TheTagsGStreamerReadsReachTheDesktopWithTheCover) {
  const std::string cover = dir + "cover.jpg";
  ASSERT_TRUE(render("videotestsrc num-buffers=1 ! video/x-raw,width=32,height=32 ! jpegenc", cover));
  ASSERT_TRUE(render("audiotestsrc num-buffers=100 ! audio/x-raw,rate=44100,channels=2 ! wavenc",
                     dir + "plain.wav"));
  const std::string tagged = dir + "tagged.mp3";
  ASSERT_EQ(std::system(("lame --quiet --tt 'A Title' --ta 'An Artist' --tl 'An Album' --tn 7 --ti '" +
                         cover + "' '" + dir + "plain.wav' '" + tagged + "'").c_str()), 0);
  qputenv("XDG_CACHE_HOME", QByteArray::fromStdString(dir + "cache"));
  // A desktop's applet follows PropertiesChanged; playerctl --follow prints each change it hears.
  QProcess follow;
  follow.start(QStringLiteral("playerctl"),
               {QStringLiteral("-p"), QStringLiteral("sonavex"), QStringLiteral("metadata"),
                QStringLiteral("--follow"), QStringLiteral("--format"),
                QStringLiteral("{{xesam:title}}|{{xesam:artist}}|{{xesam:album}}|"
                               "{{xesam:trackNumber}}|{{mpris:artUrl}}")});
  ASSERT_TRUE(follow.waitForStarted());
  QTest::qWait(300);
  perform(core(), openAndPlay, tagged);
  QString told;
  ASSERT_TRUE(waitFor([&] {
    while (follow.canReadLine()) told = QString::fromUtf8(follow.readLine()).trimmed();
    return told.contains(QStringLiteral("file://"));
  })) << told.toStdString();
  follow.kill();
  follow.waitForFinished();
  const QStringList fields = told.split(QLatin1Char('|'));
  ASSERT_EQ(fields.size(), 5);
  EXPECT_EQ(fields.mid(0, 4), (QStringList{"A Title", "An Artist", "An Album", "7"}));
  const QString art = QUrl(fields[4]).toLocalFile();
  EXPECT_TRUE(art.startsWith(QString::fromStdString(dir + "cache/sonavex/"))) << art.toStdString();
  QFile saved(art), original(QString::fromStdString(cover));
  ASSERT_TRUE(saved.open(QIODevice::ReadOnly) && original.open(QIODevice::ReadOnly));
  EXPECT_EQ(saved.readAll(), original.readAll());
  EXPECT_EQ(playerctl({"metadata", "xesam:title"}), "A Title");
}

}  // namespace
}  // namespace sonavex::e2e
