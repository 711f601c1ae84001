// Files dropped on the player window, the playlist window and the list, and paths given on the
// command line: all reach the core's intake the same way, with names kept byte for byte (what the
// intake makes of them, playlist files included, the core tests pin).
#include <unistd.h>

#include <QDropEvent>
#include <QMimeData>
#include <QProcess>
#include <QRegularExpression>
#include <QUrl>

#include "core/AddCommands.h"
#include "core/Command.h"
#include "core/ListWork.h"
#include "support/TestForms.h"

using namespace sonavex;
using namespace sonavex::testing;

namespace {
// Drags the data over the widget and drops it; false when the widget refused the drag.
bool drop(QWidget* widget, const QMimeData& data) {
  const QPoint at = widget->rect().center();
  QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(widget, &enter);
  if (!enter.isAccepted()) return false;
  QDropEvent dropped(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(widget, &dropped);
  return dropped.isAccepted();
}

// 0 on the player window, 1 on the playlist window, 2 on the list, 3 on the command line.
void dropOrOpen(int where) {
  QTemporaryDir dir;
  const std::string root = dir.path().toStdString(), odd = root + "/caf\xE9 \xFF%41.mp3";
  QVERIFY(QDir().mkpath(dir.filePath("album/sub")));
  for (const std::string& f : {root + "/two.wav", odd, root + "/album/sub/y.mp3"})
    writeBytes(f, "x");
  const Paths given{root + "/two.wav", odd, "/m/restored.mp3", root + "/album"};
  TestForms t({"/m/restored.mp3"});
  if (where == 3) {
    t.forms().start(given);
  } else {
    t.forms().start();
    // An http(s) address is an entry; what names no local file otherwise is left out (%00 would
    // name /m/e, not the file shown).
    QList<QUrl> urls{QUrl(QStringLiteral("https://example.org/a.mp3")), QUrl(QStringLiteral("file://otherhost/m/b")),
                     QUrl(QStringLiteral("rtsp://example.org/c")),
                     QUrl::fromEncoded("file:///m/e%00.mp3")};
    for (const std::string& p : given)
      urls << QUrl::fromEncoded((p == given[0] ? "file://localhost" : "file://") +
                                QByteArray::fromStdString(p).toPercentEncoding("/"));
    QWidget* targets[] = {&t.forms().main(), &t.forms().playlist(), view(t).viewport()};
    QMimeData data;
    data.setUrls(urls);
    QVERIFY(drop(targets[where], data));
    // The drop returns before the intake runs: the program that dragged is never kept waiting.
    QCOMPARE(t.core().list.count(), 1);
  }
  Paths expected{"/m/restored.mp3", root + "/two.wav", odd, "/m/restored.mp3", root + "/album/sub/y.mp3"};
  if (where != 3) expected.insert(expected.begin() + 1, "https://example.org/a.mp3");
  QTRY_COMPARE(t.core().list.paths(), expected);
  QCOMPARE(shownRows(t).last(), QString::number(expected.size()) + QStringLiteral("   y.mp3"));
  QVERIFY(t.engine().opened.empty());
  ::unlink(odd.c_str());  // QTemporaryDir cannot spell this name to remove it
}

// A web server on a free local port serving `folder`, started and stopped by its process id.
struct WebServer {
  QProcess process;
  std::string base;  // "http://127.0.0.1:<port>/"
  explicit WebServer(const QString& folder) {
    process.start(QStringLiteral("python3"), {"-u", "-m", "http.server", "0", "--bind", "127.0.0.1", "--directory", folder});
    QByteArray said;  // "Serving HTTP on 127.0.0.1 port 41234 (http://127.0.0.1:41234/) ..."
    while (!said.contains(')') && process.waitForReadyRead(10000)) said += process.readAllStandardOutput();
    const auto port = QRegularExpression(QStringLiteral("port (\\d+)")).match(QString::fromLatin1(said));
    base = "http://127.0.0.1:" + port.captured(1).toStdString() + "/";
  }
  ~WebServer() {
    process.kill();
    process.waitForFinished();
  }
};

}  // namespace

class DropsTest : public QObject {
  Q_OBJECT

 private slots:
  // Dropped on any target or given on the command line, files keep their order (duplicates too)
  // and a folder's tree follows, after the restored entries; a name that is not UTF-8 and holds a
  // literal "%41" arrives byte for byte through its URL, with the host named or not; nothing plays.
  // A drag without URLs is refused.
  void filesThenFolderTreeAfterTheRestoredEntries() {
    for (int where = 0; where < 4 && !QTest::currentTestFailed(); ++where) dropOrOpen(where);
    Started t({"/m/a.mp3"});
    QMimeData text;
    text.setText(QStringLiteral("/m/b.mp3"));
    QVERIFY(!drop(&t.forms().playlist(), text));
    QCOMPARE(t.core().list.count(), 1);
  }

  // A playlist at an address is fetched on the intake's thread, redirects followed, its entries
  // resolved against where it came from and named by it; one naming files here, one missing and one too large are each one message
  // naming it, adding nothing.
  void aPlaylistAtAnAddressIsFetchedAndNamesOnlyAddresses() {
    QTemporaryDir dir;
    WebServer server(dir.path());
    // A folder: the server redirects to "radio.pls/" and serves its index, which entries are relative to.
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("radio.pls")));
    writeBytes(dir.filePath("radio.pls/index.html").toStdString(), "[playlist]\nFile1=live.mp3\nTitle1=Test Station\n");
    writeBytes(dir.filePath("passwd.PLS").toStdString(), "[playlist]\nFile1=/etc/passwd\nFile2=file:///etc/passwd\n");
    writeBytes(dir.filePath("big.m3u").toStdString(), std::string(kMaxRemotePlaylistBytes + 1, '#'));
    writeBytes(dir.filePath("hls.m3u8").toStdString(), "#EXTM3U\n#EXT-X-TARGETDURATION:10\n#EXTINF:10,\npiece1.aac\n");
    const struct { std::string name, entry; QStringList shown; std::string told; } rows[] = {
        {"radio.pls?x=1", "radio.pls/live.mp3", {"1   a.mp3", "2   Test Station"}, ""},
        {"hls.m3u8", "hls.m3u8", {"1   a.mp3", QString::fromStdString("2   " + server.base + "hls.m3u8")}, ""},
        {"passwd.PLS", "", {"1   a.mp3"}, " was loaded, but 2 lines were left out: a playlist from the internet may name only"},
        {"missing.m3u", "", {"1   a.mp3"}, " could not be loaded: the server answered 404"},
        {"big.m3u", "", {"1   a.mp3"}, " could not be loaded: it is larger than 1 MB."},
    };
    for (const auto& r : rows) {
      Started t({"/m/a.mp3"});
      connectListWork(t.core(), true);
      ScriptedMessages boxes;
      t.core().platform.messages = &boxes;
      perform(t.core(), cmdurl_Click, server.base + r.name);
      QTRY_VERIFY_WITH_TIMEOUT(!listBusy(t.core()), 30000);
      QCOMPARE(shownRows(t), r.shown);
      if (r.told.empty()) {
        QCOMPARE(t.core().list.path(1), server.base + r.entry);
        QCOMPARE(boxes.shown.size(), std::size_t{0});
      } else {
        QCOMPARE(boxes.shown.size(), std::size_t{1});
        QVERIFY2(boxes.shown[0].starts_with("The playlist " + server.base + r.name + r.told), boxes.shown[0].c_str());
      }
    }
  }
};

QTEST_MAIN(DropsTest)
#include "tst_drops.moc"
