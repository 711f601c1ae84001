// Files dropped on the player window, the playlist window and the list, and paths given on the
// command line: all join the playlist the same way, with names kept byte for byte.
#include <unistd.h>

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

#include "app/core/CommandLine.h"
#include "playlist/DropTarget.h"
#include "support/TestForms.h"

using namespace sonavex;
using namespace sonavex::testing;

namespace {
using Paths = std::vector<std::string>;

QUrl fileUrl(const std::string& path) {
  return QUrl::fromEncoded("file://" + QByteArray::fromStdString(path).toPercentEncoding("/"));
}

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

bool drop(QWidget* widget, const QList<QUrl>& urls) {
  QMimeData data;
  data.setUrls(urls);
  return drop(widget, data);
}
}  // namespace

class DropsTest : public QObject {
  Q_OBJECT

 private slots:
  void filesThenFolderTreeGroupedByType_data() {
    QTest::addColumn<int>("where");
    QTest::newRow("player window") << 0;
    QTest::newRow("playlist window") << 1;
    QTest::newRow("list") << 2;
  }

  // Files keep the dropped order (duplicates too); a folder's tree follows, mp3 before wav; names
  // that are not UTF-8 arrive byte for byte; the shuffle order covers every entry afterwards.
  void filesThenFolderTreeGroupedByType() {
    QFETCH(int, where);
    QTemporaryDir dir;
    const std::string root = dir.path().toStdString();
    const std::string folder = root + "/album";
    const std::string odd = root + "/caf\xE9 \xFF%41.mp3";
    QVERIFY(QDir().mkpath(QString::fromStdString(folder + "/sub")));
    for (const std::string& f : {root + "/two.wav", odd, folder + "/z.wav", folder + "/sub/y.mp3"})
      writeBytes(f, "x");
    Started t({"/m/restored.mp3"});
    t.core().chkshuffle = 1;
    QWidget* targets[] = {&t.forms().main(), &t.forms().playlist(), view(t).viewport()};

    QVERIFY(drop(targets[where], {fileUrl(root + "/two.wav"), fileUrl(odd),
                                  fileUrl("/m/restored.mp3"), fileUrl(folder)}));
    // The drop returns before the intake runs: the program that dragged is never kept waiting.
    QCOMPARE(t.core().list.count(), 1);
    QTRY_COMPARE(t.core().list.count(), 6);

    QCOMPARE(t.core().list.paths(),
             (Paths{"/m/restored.mp3", root + "/two.wav", odd, "/m/restored.mp3",
                    folder + "/sub/y.mp3", folder + "/z.wav"}));
    const QStringList rows = shownRows(t);
    QCOMPARE(rows.size(), 6);
    QCOMPARE(rows[1], QStringLiteral("2   two.wav"));
    QCOMPARE(rows[5], QStringLiteral("6   z.wav"));
    QCOMPARE(t.core().list.displayName(2), std::string("3   caf\xE9 \xFF%41.mp3"));
    QCOMPARE(sortedShuffle(t.core()), (std::vector<Index>{0, 1, 2, 3, 4, 5}));
    QVERIFY(t.engine().opened.empty());
    ::unlink(odd.c_str());  // QTemporaryDir cannot spell this name to remove it
  }

  void onlyLocalFilesAreTaken() {
    Started t;
    QVERIFY(drop(&t.forms().main(), {QUrl(QStringLiteral("https://example.org/a.mp3")),
                                     QUrl(QStringLiteral("file://otherhost/m/b.mp3")),
                                     QUrl(QStringLiteral("file://localhost/m/c.mp3")),
                                     QUrl(QStringLiteral("file:///m/d.mp3")),
                                     // %00 would name /m/e, not the file shown
                                     QUrl::fromEncoded("file:///m/e%00.mp3")}));
    QTRY_COMPARE(t.core().list.paths(), (Paths{"/m/c.mp3", "/m/d.mp3"}));
  }

  void dragsWithoutUrlsAreRefused() {
    Started t({"/m/a.mp3"});
    QMimeData data;
    data.setText(QStringLiteral("/m/b.mp3"));
    QVERIFY(!drop(&t.forms().playlist(), data));
    QCOMPARE(t.core().list.count(), 1);
  }

  void urlPathsAreDecodedFromTheirEncodedForm() {
    QCOMPARE(localPathOfUrl(QUrl::fromEncoded("file:///m/a%20b%FF.mp3")),
             std::string("/m/a b\xFF.mp3"));
    QCOMPARE(localPathOfUrl(QUrl::fromEncoded("FILE:///m/x.mp3")), std::string("/m/x.mp3"));
    QCOMPARE(localPathOfUrl(QUrl(QStringLiteral("ftp://h/m/x.mp3"))), std::string());
    QCOMPARE(localPathOfUrl(QUrl()), std::string());
  }

  void commandLinePathsFollowTheRestoredPlaylistAndNothingPlays() {
    QTemporaryDir dir;
    const std::string root = dir.path().toStdString();
    QVERIFY(QDir().mkpath(QString::fromStdString(root + "/tree")));
    writeBytes(root + "/tree/t.mp3", "x");
    writeBytes(root + "/rel.mp3", "x");
    TestForms t({"/m/restored1.mp3", "/m/restored2.mp3"});

    t.forms().start(commandLinePaths({"rel.mp3", "file://" + root + "/tree", "/m/abs.wav"}, root));

    QCOMPARE(t.core().list.paths(), (Paths{"/m/restored1.mp3", "/m/restored2.mp3",
                                           root + "/rel.mp3", root + "/tree/t.mp3", "/m/abs.wav"}));
    QCOMPARE(shownRows(t).size(), 5);
    QVERIFY(t.engine().opened.empty());
    for (const std::string& call : t.engine().calls) QVERIFY(call != "play");
  }
};

QTEST_MAIN(DropsTest)
#include "tst_drops.moc"
