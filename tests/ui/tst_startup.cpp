// Start-up order, single-instance windows and every way the program ends.
#include <csignal>

#include <QDir>
#include <QTest>
#include <QTimer>

#include "app/ExitSignals.h"
#include "app/SessionEnd.h"
#include "player/frmMain.h"
#include "playlist/core/PlaylistFile.h"
#include "playlist/frmplaylist.h"
#include "support/TestForms.h"

using namespace sonavex;
using sonavex::testing::TestForms;

namespace {
// Counts message boxes instead of showing them.
class CountingMessages : public MessageBoxes {
 public:
  int shown = 0;
  MsgAnswer show(const std::string&, const std::string&, MsgButtons, MsgIcon) override {
    ++shown;
    return MsgAnswer::Ok;
  }
};
}  // namespace

class StartupTest : public QObject {
  Q_OBJECT

 private slots:
  void nothingLoadsBeforeStart() {
    TestForms t({"/music/a.mp3"});
    QVERIFY(!t.forms().mainLoaded());
    QVERIFY(!t.forms().playlistLoaded());
  }

  void playerShowsFirstThenFullVolumeLoadsThePlaylist() {
    TestForms t({"/music/a.mp3", "/music/b c.mp3"});
    t.forms().start();

    QVERIFY(t.mainShownWhenEngineMade());
    // The volume call is the engine's first use; the playlist window's load, which it triggers,
    // sets balance and rate before the volume call itself completes.
    QCOMPARE(t.engine().calls,
             (std::vector<std::string>{"balance:0", "rate:1.000000", "volume:0"}));
    QCOMPARE(t.core().list.count(), 2);
    QCOMPARE(t.core().list.displayName(1), std::string("2   b c.mp3"));
    QVERIFY(t.engine().opened.empty());
    QVERIFY(t.forms().playlist().isVisible());
  }

  void playlistWindowSitsRightOfThePlayer() {
    TestForms t;
    t.forms().start();
    const QRect player = t.forms().main().frameGeometry();
    const QRect list = t.forms().playlist().frameGeometry();
    QVERIFY(list.left() > player.right());
    QVERIFY(list.top() >= player.top());
  }

  void windowsAreCreatedOnce() {
    TestForms t;
    t.forms().start();
    QCOMPARE(&t.forms().main(), &t.forms().main());
    QCOMPARE(&t.forms().playlist(), &t.forms().playlist());
    QCOMPARE(t.engine().calls.size(), std::size_t{3});
  }

  void missingLastPlaylistStartsEmpty() {
    TestForms t({}, false);
    t.forms().start();
    QCOMPARE(t.core().list.count(), 0);
    QVERIFY(t.forms().main().isVisible());
  }

  void invalidBytesInTheLastPlaylistAreKept() {
    TestForms t({"/music/caf\xe9.mp3"});
    t.forms().start();
    QCOMPARE(t.core().list.path(0), std::string("/music/caf\xe9.mp3"));
    t.forms().playlist().mnuexit_Click();
    QCOMPARE(t.savedBytes(), std::string("/music/caf\xe9.mp3\r\n"));
  }

  void exitCommandSavesAndEnds() {
    TestForms t({"/music/a.mp3"});
    t.forms().start();
    t.core().list.appendEntry("/music/new.mp3");
    t.forms().playlist().mnuexit_Click();
    QCOMPARE(t.savedBytes(), serializePlaylist({"/music/a.mp3", "/music/new.mp3"}));
    QCOMPARE(t.quitCalls(), 1);
  }

  void secondExitPathNeitherSavesNorEndsAgain() {
    TestForms t({"/music/a.mp3"});
    t.forms().start();
    t.forms().playlist().mnuexit_Click();
    t.core().list.appendEntry("/music/late.mp3");
    t.forms().playlist().close();
    t.forms().endProgram();
    QCOMPARE(t.savedBytes(), serializePlaylist({"/music/a.mp3"}));
    QCOMPARE(t.quitCalls(), 1);
  }

  void closingThePlaylistWindowSaves() {
    TestForms t({"/music/a.mp3"});
    t.forms().start();
    t.core().list.appendEntry("/music/b.mp3");
    QVERIFY(t.forms().playlist().close());
    QCOMPARE(t.savedBytes(), serializePlaylist({"/music/a.mp3", "/music/b.mp3"}));
    QCOMPARE(t.quitCalls(), 1);
  }

  void playerWindowIgnoresCloseRequests() {
    TestForms t;
    t.forms().start();
    QVERIFY(!t.forms().main().close());
    QVERIFY(t.forms().main().isVisible());
    QCOMPARE(t.quitCalls(), 0);
  }

  void failedSaveStillEndsWithoutAMessage() {
    TestForms t({}, false);
    t.forms().start();
    CountingMessages messages;
    t.core().platform.messages = &messages;
    // A folder where the file should be makes every write fail.
    QVERIFY(QDir().mkpath(QString::fromStdString(t.lastPlaylistFile() + "/blocked")));
    t.core().list.appendEntry("/music/a.mp3");
    t.forms().playlist().mnuexit_Click();
    QCOMPARE(t.quitCalls(), 1);
    QCOMPARE(messages.shown, 0);
  }

  void terminationSignalsSaveOnTheUiThreadAndEnd_data() {
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGTERM") << SIGTERM;
    QTest::newRow("SIGINT") << SIGINT;
    QTest::newRow("SIGHUP") << SIGHUP;
  }

  void terminationSignalsSaveOnTheUiThreadAndEnd() {
    QFETCH(int, signal);
    TestForms t({"/music/a.mp3"});
    t.forms().start();
    int received = 0;
    ExitSignals handler([&](int s) {
      received = s;
      t.forms().endProgram();
    });
    QVERIFY(handler.installed());
    t.core().list.appendEntry("/music/b.mp3");
    QCOMPARE(::raise(signal), 0);
    QTRY_COMPARE(t.quitCalls(), 1);
    QCOMPARE(received, signal);
    QCOMPARE(t.savedBytes(), serializePlaylist({"/music/a.mp3", "/music/b.mp3"}));
  }

  void repeatedSignalsEndOnce() {
    TestForms t;
    t.forms().start();
    ExitSignals handler([&](int) { t.forms().endProgram(); });
    ::raise(SIGTERM);
    ::raise(SIGTERM);
    QTRY_COMPARE(t.quitCalls(), 1);
    QTest::qWait(20);
    QCOMPARE(t.quitCalls(), 1);
  }

  // Runs the application's event loop to its end; kept last because it ends that loop.
  void applicationQuitSavesOnce() {
    TestForms t({"/music/a.mp3"});
    t.forms().start();
    runOnSessionEnd(*qApp, &t.forms().main(), [&] { t.forms().endProgram(); });
    t.core().list.appendEntry("/music/b.mp3");
    // exit() ends the loop directly; quit() would first ask the windows to close, and the player
    // window refuses that, so the loop could run on.
    QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
    QCOMPARE(t.quitCalls(), 1);
    QCOMPARE(t.savedBytes(), serializePlaylist({"/music/a.mp3", "/music/b.mp3"}));
  }
};

QTEST_MAIN(StartupTest)
#include "tst_startup.moc"
