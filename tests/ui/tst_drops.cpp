// Files dropped on the player window, the playlist window and the list, and paths given on the
// command line: all reach the core's intake the same way, with names kept byte for byte (what the
// intake makes of them, playlist files included, the core tests pin).
#include <unistd.h>

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

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
};

QTEST_MAIN(DropsTest)
#include "tst_drops.moc"
