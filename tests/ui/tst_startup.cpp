// Start-up order, and every way the program ends: each saves the playlist once.
#include <QSessionManager>
#include <QTemporaryFile>
#include <QTimer>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <thread>

#include "app/ExitSignals.h"
#include "app/SessionEnd.h"
#include "core/Command.h"
#include "core/LastPlaylist.h"
#include "support/TestForms.h"

using namespace sonavex;
using namespace sonavex::testing;

namespace {
// The ways out: 0 the exit command, 1 closing the playlist window, 2 Escape over the player.
void leave(TestForms& t, int how) {
  if (how == 0) child<QAction>(t.forms().playlist(), "mnuexit")->trigger();
  if (how == 1) t.forms().playlist().close();
  if (how == 2) QTest::keyClick(&t.forms().main(), Qt::Key_Escape);
}

const Paths kSaved{"/music/a.mp3", "/music/b.mp3"};

// A child process whose UI thread installs the exit signals and then is stuck until release();
// once free it takes the pending request, and its handler ends it with 100 + the signal.
struct StuckChild {
  int ready[2] = {-1, -1};
  int release[2] = {-1, -1};
  pid_t pid = -1;
  StuckChild() {
    if (::pipe(ready) != 0 || ::pipe(release) != 0) return;
    pid = ::fork();
    if (pid != 0) {
      // The child's ends: a child that dies early then reads as an end of file.
      ::close(ready[1]);
      ::close(release[0]);
      ready[1] = release[0] = -1;
      return;
    }
    ExitSignals exits([](int s) { ::_exit(100 + s); });
    char byte = exits.installed() ? 1 : 0;
    if (::write(ready[1], &byte, 1) != 1 || ::read(release[0], &byte, 1) != 1) ::_exit(1);
    for (int i = 0; i < 100; ++i) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    ::_exit(2);
  }
  ~StuckChild() {
    if (pid > 0 && ::waitpid(pid, nullptr, WNOHANG) == 0) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, nullptr, 0);
    }
    for (int fd : {ready[0], ready[1], release[0], release[1]}) {
      if (fd >= 0) ::close(fd);
    }
  }
  bool started() {
    char byte = 0;
    return pid > 0 && ::read(ready[0], &byte, 1) == 1 && byte == 1;
  }
  void send(int s) const {
    if (pid > 0) ::kill(pid, s);
  }
  void letGo() { [[maybe_unused]] const ssize_t n = ::write(release[1], "x", 1); }
  // The child's wait status once it has ended, or -1 while it runs.
  int ended() {
    int now = 0;
    if (pid > 0 && ::waitpid(pid, &now, WNOHANG) == pid) {
      pid = -1;
      status = now;
    }
    return status;
  }
  int status = -1;
};
}  // namespace

class StartupTest : public QObject {
  Q_OBJECT

 private slots:
  void playerShowsFirstThenFullVolumeLoadsThePlaylistBesideIt() {
    TestForms t({"/music/a.mp3"});
    QVERIFY(t.engine().calls.empty());
    t.forms().start();
    // The playlist window loads (restoring the list, setting balance and rate) before the volume
    // popup's load sets full volume. Nothing plays.
    QCOMPARE(t.engine().calls, (Paths{"balance:0", "rate:1.000000", "volume:0"}));
    QVERIFY(t.core().list.count() == 1 && t.forms().playlist().isVisible());
    QVERIFY(!undocked(t).contains(QStringLiteral("frmplaylist")));  // beside the player
  }

  // The restored name is not UTF-8: it is kept and saved byte for byte. Closing the player window
  // is no way out.
  void everyExitPathSavesAndEndsOnce() {
    for (int how = 0; how < 3; ++how) {
      Started t({"/music/caf\xe9.mp3"});
      t.core().list.appendEntry("/music/b.mp3");
      QVERIFY(!t.forms().main().close() && t.forms().main().isVisible());
      QCOMPARE(t.quitCalls(), 0);
      leave(t, how);
      const std::string saved = "/music/caf\xe9.mp3\r\n/music/b.mp3\r\n";
      QCOMPARE(std::pair(t.savedBytes(), t.quitCalls()), std::pair(saved, 1));
      // Whatever path follows neither saves nor ends again.
      t.core().list.appendEntry("/music/late.mp3");
      for (int again = 0; again < 3; ++again) leave(t, again);
      perform(t.core(), mnuexit_Click);
      QCOMPARE(std::pair(t.savedBytes(), t.quitCalls()), std::pair(saved, 1));
    }
  }

  // Background saves end in order, a waiting one gives way to a later one, and the exit save waits
  // for them, so it always lands last.
  void theExitSaveLandsAfterEveryBackgroundSave() {
    Started t({"/music/a.mp3"});
    BackgroundWriter& writer = *t.core().platform.writer;
    for (int i = 0; i < 100; ++i) writer.write(t.lastPlaylistFile(), [i] { return std::to_string(i); });
    writer.waitIdle();
    QCOMPARE(t.savedBytes(), std::string("99"));
    for (int i = 0; i < 100; ++i) writer.write(t.lastPlaylistFile(), [] { return std::string(100000, 'x'); });
    perform(t.core(), mnuexit_Click);
    QTest::qWait(50);
    QCOMPARE(t.savedBytes(), serializePlaylist({"/music/a.mp3"}));
  }

  void aFailedSaveStillEndsAndSaysWhyOnStandardErrorOnly() {
    TestForms t({}, false);
    t.forms().start();
    ScriptedMessages messages;
    t.core().platform.messages = &messages;
    // A folder where the file should be makes every write fail.
    QVERIFY(QDir().mkpath(QString::fromStdString(t.lastPlaylistFile() + "/blocked")));
    t.core().list.appendEntry("/music/a.mp3");
    // No box, but the terminal or the session's log hears why.
    QTemporaryFile log;
    QVERIFY(log.open());
    QFile written(log.fileName());
    const int terminal = ::dup(STDERR_FILENO);
    ::dup2(log.handle(), STDERR_FILENO);
    child<QAction>(t.forms().playlist(), "mnuexit")->trigger();
    ::dup2(terminal, STDERR_FILENO);
    ::close(terminal);
    QCOMPARE(t.quitCalls(), 1);
    QVERIFY(messages.shown.empty());
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll().toStdString(), "sonavex: cannot save the playlist to \"" +
                                              t.lastPlaylistFile() + "\": Is a directory\n");
  }

  void terminationSignalsSaveOnTheUiThreadAndEndOnce() {
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
      Started t({"/music/a.mp3"});
      int received = 0;
      ExitSignals handler([&](int s) {
        received = s;
        perform(t.core(), mnuexit_Click);
      });
      QVERIFY(handler.installed());
      t.core().list.appendEntry("/music/b.mp3");
      QCOMPARE(::raise(signal), 0);
      QCOMPARE(::raise(signal), 0);
      QTRY_COMPARE(t.quitCalls(), 1);
      QCOMPARE(received, signal);
      QCOMPARE(t.savedBytes(), serializePlaylist(kSaved));
      QTest::qWait(20);  // room for a second delivery, which must not end again
      QCOMPARE(t.quitCalls(), 1);
    }
  }

  // A UI thread that never reads the request: a signal 3 s after the first ends the process as
  // the signal's default action does; earlier ones queue, and are handled once the thread is free.
  void aFurtherSignalEndsAStuckProgramOnlyAfterThreeSeconds() {
    using Clock = std::chrono::steady_clock;
    StuckChild stuck;
    QVERIFY(stuck.started());
    const auto first = Clock::now();
    int status = -1;
    while ((status = stuck.ended()) == -1 && Clock::now() - first < std::chrono::seconds(10)) {
      stuck.send(SIGTERM);
      std::this_thread::sleep_for(std::chrono::milliseconds(250));
    }
    QVERIFY2(status != -1, "the stuck program did not end");
    QVERIFY(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);
    QVERIFY(Clock::now() - first >= std::chrono::nanoseconds(ExitSignals::kPatienceNs));

    StuckChild freed;
    QVERIFY(freed.started());
    freed.send(SIGTERM);
    freed.send(SIGTERM);
    freed.letGo();
    QTRY_VERIFY((status = freed.ended()) != -1);
    QVERIFY(WIFEXITED(status));
    QCOMPARE(WEXITSTATUS(status), 100 + SIGTERM);
  }

  // Runs the application's event loop to its end; kept last because it ends that loop.
  void applicationQuitSavesOnce() {
    Started t({"/music/a.mp3"});
    runOnSessionEnd(
        *qApp, &t.forms().main(), [&] { savelastplaylist(t.core()); },
        [&] { perform(t.core(), mnuexit_Click); });
    t.core().list.appendEntry("/music/b.mp3");
    // The session manager's save request saves and keeps running: the logout may be cancelled.
    // The handler never touches the manager, which Qt alone can construct.
    alignas(QSessionManager) char manager[sizeof(QSessionManager)];
    emit qApp->commitDataRequest(*reinterpret_cast<QSessionManager*>(manager));
    QCOMPARE(t.savedBytes(), serializePlaylist(kSaved));
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
