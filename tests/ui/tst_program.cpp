// The built program itself, run as a user runs it: its informational options, the message
// without a display, a termination request that arrives while a start-up notice is up, and one
// player per session (a second start hands its paths over; a killed one's edits are saved and its
// leftovers are no bar; idle connections to its socket are no bar either).
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <memory>
#include <vector>

#include "core/PlaylistFile.h"

namespace {

struct Run {
  int exitCode = -1;
  QString out, err;
};

Run runProgram(const QString& program, const QStringList& args, const QProcessEnvironment& env) {
  QProcess p;
  p.setProcessEnvironment(env);
  p.start(program, args);
  Run run;
  if (!p.waitForFinished(10000)) {
    p.kill();
    p.waitForFinished();
    return run;
  }
  run.exitCode = p.exitCode();
  run.out = QString::fromLocal8Bit(p.readAllStandardOutput());
  run.err = QString::fromLocal8Bit(p.readAllStandardError());
  return run;
}

// A copy of the program in a folder of its own (where it keeps lastplaylist.txt), with a session
// folder of its own for the lock and the socket.
struct Copy {
  QTemporaryDir dir;
  QString program = dir.filePath("sonavex");
  QString playlist = dir.filePath("lastplaylist.txt");
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  // The players' soft limit of open files; 0 leaves the inherited one.
  rlim_t softLimit = 0;
  Copy() {
    QFile::copy(QStringLiteral(SONAVEX_BINARY), program);
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_RUNTIME_DIR", dir.path());
  }
  // Starts a player and waits until it listens for a second start.
  std::unique_ptr<QProcess> start(const QStringList& args = {}) {
    auto p = std::make_unique<QProcess>();
    p->setProcessEnvironment(env);
    if (softLimit != 0) {
      p->setChildProcessModifier([limit = softLimit] {
        rlimit open{};
        ::getrlimit(RLIMIT_NOFILE, &open);
        open.rlim_cur = limit;
        ::setrlimit(RLIMIT_NOFILE, &open);
      });
    }
    p->start(program, args);
    p->waitForStarted();
    return p;
  }
  bool listening() const { return QFile::exists(dir.filePath("sonavex.socket")); }
  QByteArray saved() const {
    QFile file(playlist);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
  }
};

// Ends a player as the session does, so it saves its playlist.
bool terminate(QProcess& p) {
  ::kill(static_cast<pid_t>(p.processId()), SIGTERM);
  return p.waitForFinished(10000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// The soft and the hard limit of open files of a running process, as /proc shows them.
QString openFilesLimits(qint64 pid) {
  QFile limits(QStringLiteral("/proc/%1/limits").arg(pid));
  static const QRegularExpression line(QStringLiteral("Max open files +(\\S+ +\\S+)"));
  return line.match(QString::fromLatin1(limits.open(QIODevice::ReadOnly) ? limits.readAll() : "")).captured(1);
}

// Connections that send nothing, as any program of the user may open them.
struct IdleConnections {
  std::vector<int> fds;
  ~IdleConnections() {
    for (int fd : fds) ::close(fd);
  }
  // False when the player stops taking connections.
  bool open(const QString& socket, int count) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray path = QFile::encodeName(socket);
    std::memcpy(address.sun_path, path.constData(), static_cast<std::size_t>(path.size()) + 1);
    const timeval patience{2, 0};
    for (int i = 0; i < count; ++i) {
      const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
      if (fd < 0) return false;
      fds.push_back(fd);
      ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &patience, sizeof patience);
      if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) return false;
    }
    return true;
  }
  // How many the player has closed.
  int closed() {
    std::vector<pollfd> polls;
    for (int fd : fds) polls.push_back({fd, POLLIN, 0});
    ::poll(polls.data(), polls.size(), 0);
    return static_cast<int>(std::count_if(polls.begin(), polls.end(), [](const pollfd& p) {
      return (p.revents & (POLLIN | POLLHUP)) != 0;  // nothing is ever sent: readable means ended
    }));
  }
};

}  // namespace

class ProgramTest : public QObject {
  Q_OBJECT

 private slots:
  void optionsAndMissingDisplay() {
    const struct { QStringList args; bool display; int exitCode; const char* says; } rows[] = {
        {{"--help"}, true, 0, "Usage: sonavex [--new-instance]"}, {{}, false, 1, "needs a graphical session"}};
    for (const auto& r : rows) {
      QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
      for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(name);
      if (r.display) env.insert("QT_QPA_PLATFORM", "offscreen");
      const Run run = runProgram(QStringLiteral(SONAVEX_BINARY), r.args, env);
      QCOMPARE(run.exitCode, r.exitCode);
      QVERIFY2((run.out + run.err).contains(QLatin1String(r.says)), qPrintable(run.out + run.err));
    }
  }

  // The last playlist cannot be read whole: a notice says so at start; a SIGTERM while it is up
  // ends the program, and the user's file is not replaced.
  void terminationDuringTheStartUpNoticeEndsAndKeepsTheUnreadablePlaylist() {
    Copy c;
    const QByteArray saved =
        "/music/a.mp3\r\n" + QByteArray(static_cast<qsizetype>(sonavex::kMaxPlaylistLines), '\n');
    QFile file(c.playlist);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(saved) == saved.size());
    file.close();
    auto p = c.start();
    QTest::qWait(1500);  // the notice is up by now (and a signal before it ends the program too)
    QVERIFY2(terminate(*p), "the program did not end, or not normally");
    QCOMPARE(c.saved(), saved);
  }

  // A second start hands its paths to the running player. A second player on purpose plays alone
  // and leaves the last playlist to the first, even a while after its own list changed. A player
  // killed (SIGKILL, as a crash or a power cut ends it) 3 s after its list changed has saved the
  // change; what it leaves behind does not stop the next start.
  void aSecondStartHandsOverAndAKilledPlayersEditsSurvive() {
    Copy c;
    auto first = c.start();
    QTRY_VERIFY_WITH_TIMEOUT(c.listening(), 10000);
    auto own = c.start({"--new-instance", "/music/c.mp3"});
    QTest::qWait(3000);
    QCOMPARE(own->state(), QProcess::Running);
    QVERIFY(terminate(*own));
    QCOMPARE(c.saved(), QByteArray("<missing>"));
    QCOMPARE(runProgram(c.program, {"/music/a.mp3", "/music/b.mp3"}, c.env).exitCode, 0);
    QTest::qWait(3000);
    first->kill();
    first->waitForFinished();
    QCOMPARE(c.saved(), QByteArray("/music/a.mp3\r\n/music/b.mp3\r\n"));
    QVERIFY(c.listening());  // its socket is still there
    auto next = c.start({"/music/k.mp3"});
    QTest::qWait(1000);
    QCOMPARE(next->state(), QProcess::Running);  // it did not hand over to the dead one
    QCOMPARE(runProgram(c.program, {"/music/z.mp3"}, c.env).exitCode, 0);
    QVERIFY(terminate(*next));
    QCOMPARE(c.saved(), QByteArray("/music/a.mp3\r\n/music/b.mp3\r\n/music/k.mp3\r\n/music/z.mp3\r\n"));
  }

  // A session folder others may write to could hold another user's socket: nothing is handed there.
  void aSharedSessionFolderIsNotUsed() {
    Copy c;
    QVERIFY(QFile::setPermissions(c.dir.path(), QFileDevice::Permissions(0x7777)));
    auto first = c.start();
    auto second = c.start({"/music/a.mp3"});
    QTest::qWait(1000);
    QVERIFY(!c.listening());
    QCOMPARE(second->state(), QProcess::Running);
    QVERIFY(terminate(*second) && terminate(*first));
  }

  // 2,000 connections that send nothing, against a player started with the usual soft limit of
  // 1,024 open files: it closes them, a second start still hands over, and the exit still saves.
  void idleConnectionsNeitherStopTheHandOverNorTheSave() {
    rlimit own{};
    QVERIFY(::getrlimit(RLIMIT_NOFILE, &own) == 0);
    if (own.rlim_max < 2100) QSKIP("the hard limit of open files is too low to hold 2,000");
    own.rlim_cur = own.rlim_max;  // this test holds the 2,000 connections
    QVERIFY(::setrlimit(RLIMIT_NOFILE, &own) == 0);
    Copy c;
    c.softLimit = 1024;
    auto player = c.start();
    QTRY_VERIFY_WITH_TIMEOUT(c.listening(), 10000);
    const QStringList limits = openFilesLimits(player->processId()).split(' ', Qt::SkipEmptyParts);
    QVERIFY2(limits.size() == 2 && limits[0] == limits[1], qPrintable(limits.join(' ')));

    IdleConnections idle;
    QVERIFY2(idle.open(c.dir.filePath("sonavex.socket"), 2000), "the player stopped taking connections");
    const Run second = runProgram(c.program, {"/music/a.mp3"}, c.env);
    QCOMPARE(second.exitCode, 0);
    QTRY_COMPARE_WITH_TIMEOUT(idle.closed(), 2000, 6000);
    QVERIFY(terminate(*player));
    QCOMPARE(c.saved(), QByteArray("/music/a.mp3\r\n"));
  }

  // A scan that would take 20 s (its directory reads slowed down, as on a network share) holds
  // neither a SIGTERM nor the list it saves: the player ends at once with the list as it stands.
  void aLongScanNeitherHoldsTheEndNorCutsTheSavedList() {
    Copy c;
    const QString tree = c.dir.filePath("tree");
    for (int f = 0; f < 40; ++f) {
      QDir().mkpath(tree + "/f" + QString::number(f));
      for (int t = 0; t < 20; ++t) QFile(QStringLiteral("%1/f%2/t%3.mp3").arg(tree).arg(f).arg(t)).open(QIODevice::WriteOnly);
    }
    c.env.insert("LD_PRELOAD", SLOW_DIRECTORIES);
    c.env.insert("SONAVEX_TEST_READDIR_DELAY_MS", "20");
    auto p = c.start({tree});
    QTRY_VERIFY_WITH_TIMEOUT(c.listening(), 10000);
    QTest::qWait(3000);
    QVERIFY2(terminate(*p), "the end waited for the scan, longer than terminate() waits");
    const QList<QByteArray> lines = c.saved().split('\n');
    QVERIFY(lines.size() > 2 && lines.size() < 800);  // not the whole tree either
    for (const QByteArray& line : lines.mid(0, lines.size() - 1)) QVERIFY2(line.endsWith(".mp3\r"), line);
  }
};

QTEST_GUILESS_MAIN(ProgramTest)
#include "tst_program.moc"
