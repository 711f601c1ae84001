// Files dropped on the player window, the playlist window and the list, and paths given on the
// command line: all join the playlist the same way, with names kept byte for byte.
#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include "app/core/CommandLine.h"
#include "player/frmMain.h"
#include "playlist/DropTarget.h"
#include "playlist/PlaylistView.h"
#include "playlist/frmplaylist.h"
#include "support/TestForms.h"

using namespace sonavex;
using sonavex::testing::TestForms;
using sonavex::testing::writeBytes;

namespace {

QUrl fileUrl(const std::string& path) {
  return QUrl::fromEncoded("file://" + QByteArray::fromStdString(path).toPercentEncoding("/"));
}

QWidget* target(TestForms& t, const QString& name) {
  if (name == QLatin1String("frmMain")) return &t.forms().main();
  if (name == QLatin1String("frmplaylist")) return &t.forms().playlist();
  return t.forms().playlist().list()->viewport();
}

// Drags the URLs over the widget and drops them; false when the widget refused the drag.
bool drop(QWidget* widget, const QList<QUrl>& urls) {
  QMimeData data;
  data.setUrls(urls);
  const QPoint at = widget->rect().center();
  QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(widget, &enter);
  if (!enter.isAccepted()) return false;
  QDropEvent dropped(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(widget, &dropped);
  return dropped.isAccepted();
}

std::vector<std::string> strings(std::initializer_list<std::string> items) { return items; }

}  // namespace

class DropsTest : public QObject {
  Q_OBJECT

 private slots:
  void filesThenFolderTreeGroupedByType_data() {
    QTest::addColumn<QString>("where");
    QTest::newRow("player window") << "frmMain";
    QTest::newRow("playlist window") << "frmplaylist";
    QTest::newRow("list") << "cpvcoollist2";
  }

  void filesThenFolderTreeGroupedByType() {
    QFETCH(QString, where);
    QTemporaryDir dir;
    const std::string root = dir.path().toStdString();
    const std::string folder = root + "/album";
    QVERIFY(QDir().mkpath(QString::fromStdString(folder + "/sub")));
    writeBytes(root + "/one.mp3", "x");
    writeBytes(root + "/two.wav", "x");
    writeBytes(folder + "/z.wav", "x");
    writeBytes(folder + "/x.mp3", "x");
    writeBytes(folder + "/sub/y.mp3", "x");
    writeBytes(folder + "/notes.txt", "x");
    TestForms t(strings({"/m/restored.mp3"}));
    t.forms().start();

    QVERIFY(drop(target(t, where),
                 {fileUrl(root + "/two.wav"), fileUrl(root + "/one.mp3"), fileUrl(folder)}));

    QCOMPARE(t.core().list.paths(),
             strings({"/m/restored.mp3", root + "/two.wav", root + "/one.mp3", folder + "/x.mp3",
                      folder + "/sub/y.mp3", folder + "/z.wav"}));
    QAbstractItemModel* model = t.forms().playlist().list()->model();
    QCOMPARE(model->rowCount(), 6);
    QCOMPARE(model->index(1, 0).data().toString(), QStringLiteral("2   two.wav"));
    QCOMPARE(model->index(5, 0).data().toString(), QStringLiteral("6   z.wav"));
    QVERIFY(t.engine().opened.empty());
  }

  void dropWithShuffleOnLeavesAFullPermutation() {
    TestForms t(strings({"/m/a.mp3", "/m/b.mp3"}));
    t.forms().start();
    t.core().chkshuffle = 1;
    QVERIFY(drop(&t.forms().playlist(),
                 {fileUrl("/m/c.mp3"), fileUrl("/m/d.mp3"), fileUrl("/m/a.mp3")}));
    QCOMPARE(t.core().list.count(), 5);
    std::vector<Index> order = t.core().List5.entries();
    std::sort(order.begin(), order.end());
    QCOMPARE(order, (std::vector<Index>{0, 1, 2, 3, 4}));
  }

  void invalidUtf8NameSurvivesByteForByte() {
    QTemporaryDir dir;
    const std::string name = dir.path().toStdString() + "/caf\xE9 \xFF%41.mp3";
    const int fd = ::open(name.c_str(), O_CREAT | O_WRONLY, 0644);
    QVERIFY(fd >= 0);
    ::close(fd);
    TestForms t;
    t.forms().start();
    QVERIFY(drop(t.forms().playlist().list()->viewport(), {fileUrl(name)}));
    QCOMPARE(t.core().list.paths(), strings({name}));
    QCOMPARE(t.core().list.displayName(0), std::string("1   caf\xE9 \xFF%41.mp3"));
    ::unlink(name.c_str());  // QTemporaryDir cannot spell this name to remove it
  }

  void onlyLocalFilesAreTaken() {
    TestForms t;
    t.forms().start();
    QVERIFY(drop(&t.forms().main(), {QUrl(QStringLiteral("https://example.org/a.mp3")),
                                     QUrl(QStringLiteral("file://otherhost/m/b.mp3")),
                                     QUrl(QStringLiteral("file://localhost/m/c.mp3")),
                                     QUrl(QStringLiteral("file:///m/d.mp3"))}));
    QCOMPARE(t.core().list.paths(), strings({"/m/c.mp3", "/m/d.mp3"}));
  }

  void dragsWithoutUrlsAreRefused() {
    TestForms t(strings({"/m/a.mp3"}));
    t.forms().start();
    QMimeData data;
    data.setText(QStringLiteral("/m/b.mp3"));
    QWidget& panel = t.forms().playlist();
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&panel, &enter);
    QVERIFY(!enter.isAccepted());
    QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&panel, &dropped);
    QCOMPARE(t.core().list.count(), 1);
  }

  void urlPathsAreDecodedFromTheirEncodedForm() {
    QCOMPARE(localPathOfUrl(QUrl::fromEncoded("file:///m/a%20b%FF.mp3")),
             std::string("/m/a b\xFF.mp3"));
    QCOMPARE(localPathOfUrl(QUrl::fromEncoded("FILE:///m/x.mp3")), std::string("/m/x.mp3"));
    QCOMPARE(localPathOfUrl(QUrl(QStringLiteral("ftp://h/m/x.mp3"))), std::string());
    QCOMPARE(localPathOfUrl(QUrl()), std::string());
  }

  // --- the command line
  void commandLinePathsFollowTheRestoredPlaylistAndNothingPlays() {
    QTemporaryDir dir;
    const std::string root = dir.path().toStdString();
    QVERIFY(QDir().mkpath(QString::fromStdString(root + "/tree")));
    writeBytes(root + "/tree/t.mp3", "x");
    writeBytes(root + "/rel.mp3", "x");
    TestForms t(strings({"/m/restored1.mp3", "/m/restored2.mp3"}));

    t.forms().start(commandLinePaths({"rel.mp3", "file://" + root + "/tree", "/m/abs.wav"}, root));

    QCOMPARE(t.core().list.paths(),
             strings({"/m/restored1.mp3", "/m/restored2.mp3", root + "/rel.mp3",
                      root + "/tree/t.mp3", "/m/abs.wav"}));
    QCOMPARE(t.forms().playlist().list()->model()->rowCount(), 5);
    QVERIFY(t.engine().opened.empty());
    for (const std::string& call : t.engine().calls) QVERIFY(call != "play");
  }

  void startWithoutPathsKeepsTheRestoredPlaylist() {
    TestForms t(strings({"/m/restored.mp3"}));
    t.forms().start(commandLinePaths({"", "file://elsewhere/x.mp3"}, "/"));
    QCOMPARE(t.core().list.paths(), strings({"/m/restored.mp3"}));
  }
};

QTEST_MAIN(DropsTest)
#include "tst_drops.moc"
