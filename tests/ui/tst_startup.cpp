// Start-up order, single-instance windows and every way the program ends.
#include <QSessionManager>
#include <QTimer>
#include <csignal>

#include "app/ExitSignals.h"
#include "app/SessionEnd.h"
#include "support/TestForms.h"

using namespace sonavex;
using namespace sonavex::testing;

namespace {
enum class Exit { Command, ClosePlaylist, Escape };

void leave(TestForms& t, Exit how) {
  switch (how) {
    case Exit::Command:
      t.forms().playlist().mnuexit_Click();
      break;
    case Exit::ClosePlaylist:
      QVERIFY(t.forms().playlist().close());
      break;
    case Exit::Escape:
      QTest::keyClick(&t.forms().main(), Qt::Key_Escape);
      break;
  }
}
}  // namespace
Q_DECLARE_METATYPE(Exit)

class StartupTest : public QObject {
  Q_OBJECT

 private slots:
  void playerShowsFirstThenFullVolumeLoadsThePlaylist() {
    TestForms t({"/music/a.mp3", "/music/b c.mp3"});
    QVERIFY(!t.forms().mainLoaded() && !t.forms().playlistLoaded());
    t.forms().start();

    QVERIFY(t.mainShownWhenEngineMade());
    // The volume call is the engine's first use; the playlist window's load, which it triggers,
    // sets balance and rate before the volume call itself completes.
    const std::vector<std::string> calls{"balance:0", "rate:1.000000", "volume:0"};
    QCOMPARE(t.engine().calls, calls);
    QCOMPARE(t.core().list.displayName(1), std::string("2   b c.mp3"));
    QVERIFY(t.engine().opened.empty());
    QVERIFY(t.forms().playlist().isVisible());
    const QRect player = t.forms().main().frameGeometry();
    const QRect list = t.forms().playlist().frameGeometry();
    QVERIFY(list.left() > player.right() && list.top() >= player.top());
    // Reaching a window again neither makes another nor loads it again.
    QCOMPARE(&t.forms().main(), &t.forms().main());
    QCOMPARE(&t.forms().playlist(), &t.forms().playlist());
    QCOMPARE(t.engine().calls, calls);
  }

  void missingLastPlaylistStartsEmpty() {
    TestForms t({}, false);
    t.forms().start();
    QCOMPARE(t.core().list.count(), 0);
    QVERIFY(t.forms().main().isVisible());
  }

  void invalidBytesInTheLastPlaylistAreKept() {
    Started t({"/music/caf\xe9.mp3"});
    QCOMPARE(t.core().list.path(0), std::string("/music/caf\xe9.mp3"));
    t.forms().playlist().mnuexit_Click();
    QCOMPARE(t.savedBytes(), std::string("/music/caf\xe9.mp3\r\n"));
  }

  void everyExitPathSavesAndEndsOnce_data() {
    QTest::addColumn<Exit>("how");
    QTest::newRow("exit command") << Exit::Command;
    QTest::newRow("closing the playlist window") << Exit::ClosePlaylist;
    QTest::newRow("Escape over the player") << Exit::Escape;
  }

  void everyExitPathSavesAndEndsOnce() {
    QFETCH(Exit, how);
    Started t({"/music/a.mp3"});
    t.core().list.appendEntry("/music/b.mp3");
    leave(t, how);
    const std::string saved = serializePlaylist({"/music/a.mp3", "/music/b.mp3"});
    QCOMPARE(t.savedBytes(), saved);
    QCOMPARE(t.quitCalls(), 1);

    // Whatever path follows neither saves nor ends again.
    t.core().list.appendEntry("/music/late.mp3");
    for (Exit again : {Exit::Command, Exit::Escape}) leave(t, again);
    t.forms().playlist().close();
    t.forms().endProgram();
    QCOMPARE(t.savedBytes(), saved);
    QCOMPARE(t.quitCalls(), 1);
  }

  void playerWindowIgnoresCloseRequests() {
    Started t;
    QVERIFY(!t.forms().main().close());
    QVERIFY(t.forms().main().isVisible());
    QCOMPARE(t.quitCalls(), 0);
  }

  void failedSaveStillEndsWithoutAMessage() {
    TestForms t({}, false);
    t.forms().start();
    ScriptedMessages messages;
    t.core().platform.messages = &messages;
    // A folder where the file should be makes every write fail.
    QVERIFY(QDir().mkpath(QString::fromStdString(t.lastPlaylistFile() + "/blocked")));
    t.core().list.appendEntry("/music/a.mp3");
    t.forms().playlist().mnuexit_Click();
    QCOMPARE(t.quitCalls(), 1);
    QVERIFY(messages.shown.empty());
  }

  void terminationSignalsSaveOnTheUiThreadAndEndOnce_data() {
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGTERM") << SIGTERM;
    QTest::newRow("SIGINT") << SIGINT;
    QTest::newRow("SIGHUP") << SIGHUP;
  }

  void terminationSignalsSaveOnTheUiThreadAndEndOnce() {
    QFETCH(int, signal);
    Started t({"/music/a.mp3"});
    int received = 0;
    ExitSignals handler([&](int s) {
      received = s;
      t.forms().endProgram();
    });
    QVERIFY(handler.installed());
    t.core().list.appendEntry("/music/b.mp3");
    QCOMPARE(::raise(signal), 0);
    QCOMPARE(::raise(signal), 0);
    QTRY_COMPARE(t.quitCalls(), 1);
    QCOMPARE(received, signal);
    QCOMPARE(t.savedBytes(), serializePlaylist({"/music/a.mp3", "/music/b.mp3"}));
    QTest::qWait(20);  // room for a second delivery, which must not end again
    QCOMPARE(t.quitCalls(), 1);
  }

  // Runs the application's event loop to its end; kept last because it ends that loop.
  void applicationQuitSavesOnce() {
    Started t({"/music/a.mp3"});
    runOnSessionEnd(*qApp, &t.forms().main(), [&] { t.forms().savelastplaylist(); },
                    [&] { t.forms().endProgram(); });
    t.core().list.appendEntry("/music/b.mp3");
    // The session manager's save request saves and keeps running: the logout may be cancelled.
    // The handler never touches the manager, which Qt alone can construct.
    alignas(QSessionManager) char manager[sizeof(QSessionManager)];
    emit qApp->commitDataRequest(*reinterpret_cast<QSessionManager*>(manager));
    QCOMPARE(t.savedBytes(), serializePlaylist({"/music/a.mp3", "/music/b.mp3"}));
    QCOMPARE(t.quitCalls(), 0);
    t.core().list.appendEntry("/music/c.mp3");
    // exit() ends the loop directly; quit() would first ask the windows to close, and the player
    // window refuses that, so the loop could run on.
    QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
    QCOMPARE(t.quitCalls(), 1);
    QCOMPARE(t.savedBytes(), serializePlaylist({"/music/a.mp3", "/music/b.mp3", "/music/c.mp3"}));
  }
};

QTEST_MAIN(StartupTest)
#include "tst_startup.moc"
