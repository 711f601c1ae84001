// The playlist window: the list model with a large playlist, selection in both directions, playing
// from the list, the seek keys, the play mode boxes, and loading and saving through `cd1`.
#include <QAbstractItemModelTester>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "commands/QtFileDialog.h"
#include "dialogs/modFolderBrowse.h"
#include "player/frmMain.h"
#include "playlist/PlaylistListModel.h"
#include "playlist/PlaylistView.h"
#include "playlist/core/PlaylistFile.h"
#include "playlist/frmplaylist.h"
#include "support/TestForms.h"

using namespace sonavex;
using sonavex::testing::ScriptedFileDialog;
using sonavex::testing::TestForms;
using sonavex::testing::writeBytes;

namespace {
std::vector<std::string> numberedPaths(int n) {
  std::vector<std::string> paths;
  paths.reserve(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) paths.push_back("/music/track" + std::to_string(i) + ".mp3");
  return paths;
}

PlaylistView& view(TestForms& t) { return *t.forms().playlist().list(); }

QPoint rowCentre(TestForms& t, int row) {
  PlaylistView& v = view(t);
  v.scrollTo(v.model()->index(row, 0));
  return v.visualRect(v.model()->index(row, 0)).center();
}

void clickRow(TestForms& t, int row, Qt::KeyboardModifiers modifiers = {}) {
  QTest::mouseClick(view(t).viewport(), Qt::LeftButton, modifiers, rowCentre(t, row));
}

std::vector<int> selectedRows(TestForms& t) {
  std::vector<int> rows;
  for (const QModelIndex& i : view(t).selectionModel()->selectedIndexes()) rows.push_back(i.row());
  std::sort(rows.begin(), rows.end());
  return rows;
}

std::vector<int> coreSelectedRows(TestForms& t) {
  std::vector<int> rows;
  for (Index i = 0; i < t.core().list.count(); ++i)
    if (t.core().list.isSelected(i)) rows.push_back(i);
  return rows;
}

class RecordingMessages : public MessageBoxes {
 public:
  std::vector<std::string> texts;
  MsgAnswer show(const std::string& text, const std::string&, MsgButtons, MsgIcon) override {
    texts.push_back(text);
    return MsgAnswer::Ok;
  }
};

template <typename T>
T* child(QWidget& window, const char* name) {
  T* found = window.findChild<T*>(QLatin1String(name));
  if (!found) qFatal("no control named %s", name);
  return found;
}
}  // namespace

class FrmplaylistTest : public QObject {
  Q_OBJECT

 private slots:
  // --- the list over a large playlist
  void restoredPlaylistIsShownInFull() {
    TestForms t(numberedPaths(100000));
    t.forms().start();
    QCOMPARE(view(t).model()->rowCount(), 100000);
    QCOMPARE(view(t).model()->index(99999, 0).data().toString(),
             QStringLiteral("100000   track99999.mp3"));
  }

  void appendingManyEntriesIsOneInsertion() {
    TestForms t(numberedPaths(100000));
    t.forms().start();
    QSignalSpy inserted(view(t).model(), &QAbstractItemModel::rowsInserted);
    QSignalSpy reset(view(t).model(), &QAbstractItemModel::modelReset);
    {
      PlaylistBatch batch(t.core().list);
      for (const std::string& p : numberedPaths(60000)) t.core().list.appendEntry(p);
    }
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(reset.count(), 0);
    QCOMPARE(inserted.front().at(1).toInt(), 100000);
    QCOMPARE(inserted.front().at(2).toInt(), 159999);
    QCOMPARE(view(t).model()->rowCount(), 160000);
  }

  void modelStaysConsistentThroughAppendsRemovalsAndResets() {
    TestForms t(numberedPaths(30));
    t.forms().start();
    QAbstractItemModelTester tester(view(t).model(),
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    t.core().list.appendEntry("/music/single.mp3");
    {
      PlaylistBatch batch(t.core().list);
      for (const std::string& p : numberedPaths(500)) t.core().list.appendEntry(p);
    }
    t.core().list.removeAt(3);
    t.core().list.insertAt(0, "/music/first.mp3", "0   first.mp3");
    t.core().list.clear();
    QCOMPARE(view(t).model()->rowCount(), 0);
  }

  void rebuildingTheListResetsTheViewAndKeepsTheSelection() {
    TestForms t(numberedPaths(10));
    t.forms().start();
    t.core().list.assign({"/a/x.mp3", "/a/y.mp3", "/a/z.mp3"}, {"1   x", "2   y", "3   z"});
    t.core().list.markEntry(2);
    QCOMPARE(view(t).model()->rowCount(), 3);
    QCOMPARE(selectedRows(t), std::vector<int>{2});
  }

  void coreSelectionReachesTheViewAsMergedRanges() {
    TestForms t(numberedPaths(100000));
    t.forms().start();
    std::vector<std::uint8_t> flags(100000, 0);
    std::fill(flags.begin() + 10, flags.begin() + 20, 1);
    std::fill(flags.begin() + 50000, flags.end(), 1);
    t.core().list.setSelectionFlags(flags);
    const QItemSelection selection = view(t).selectionModel()->selection();
    QCOMPARE(selection.size(), 2);
    QCOMPARE(selection.at(0).top(), 10);
    QCOMPARE(selection.at(0).bottom(), 19);
    QCOMPARE(selection.at(1).top(), 50000);
    QCOMPARE(selection.at(1).bottom(), 99999);
  }

  void markingAnEntryFocusesAndSelectsItAlone() {
    TestForms t(numberedPaths(100000));
    t.forms().start();
    t.core().list.setSelected(3, true);
    t.core().list.markEntry(99998);
    QCOMPARE(selectedRows(t), std::vector<int>{99998});
    QCOMPARE(view(t).currentIndex().row(), 99998);
    // Pushing into the view does not come back as a change of the core.
    QCOMPARE(coreSelectedRows(t), std::vector<int>{99998});
    QCOMPARE(t.core().list.listIndex2(), 99998);
  }

  void clicksSelectInTheCore() {
    TestForms t(numberedPaths(50));
    t.forms().start();
    clickRow(t, 4);
    QCOMPARE(t.core().list.listIndex2(), 4);
    QCOMPARE(coreSelectedRows(t), std::vector<int>{4});
    clickRow(t, 7, Qt::ControlModifier);
    QCOMPARE(coreSelectedRows(t), (std::vector<int>{4, 7}));
    QCOMPARE(t.core().list.listIndex2(), 7);
    clickRow(t, 9, Qt::ShiftModifier);
    QCOMPARE(coreSelectedRows(t), selectedRows(t));
    QVERIFY(t.core().list.isSelected(8) && t.core().list.isSelected(9));
    clickRow(t, 7, Qt::ControlModifier);
    QVERIFY(!t.core().list.isSelected(7));
    QCOMPARE(coreSelectedRows(t), selectedRows(t));
    clickRow(t, 4);
    QCOMPARE(coreSelectedRows(t), std::vector<int>{4});
    QCOMPARE(view(t).toolTip(), QStringLiteral("selected song: 5   track4.mp3"));
  }

  void scrollingSetsTheTopIndex() {
    TestForms t(numberedPaths(1000));
    t.forms().start();
    view(t).scrollTo(view(t).model()->index(500, 0), QAbstractItemView::PositionAtTop);
    QCOMPARE(t.core().list.topIndex(), 500);
  }

  // --- playing from the list
  void doubleClickPlaysTheFocusedEntry() {
    TestForms t(numberedPaths(100000));
    t.forms().start();
    const QPoint at = rowCentre(t, 2);
    // A double click arrives as press, release, double-click, release.
    QTest::mouseClick(view(t).viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(view(t).viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(view(t).viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(t.engine().lastOpened(), std::string("/music/track2.mp3"));
    QCOMPARE(t.core().shared.currenttrack, 2);
    QCOMPARE(t.core().shared.tracknumber, std::optional<Index>(3));
  }

  void enterPlaysTheFocusedEntry() {
    TestForms t(numberedPaths(20));
    t.forms().start();
    clickRow(t, 5);
    QTest::keyClick(&view(t), Qt::Key_Return);
    QCOMPARE(t.engine().lastOpened(), std::string("/music/track5.mp3"));
    QCOMPARE(t.core().shared.lastkey, 13);
    QCOMPARE(t.engine().opened.size(), std::size_t{1});
  }

  // --- the seek keys undo the focus move of the arrow
  void rightArrowSeeksForwardAndKeepsTheSelection() {
    TestForms t(numberedPaths(20));
    t.forms().start();
    clickRow(t, 5);
    t.engine().open("/music/track5.mp3");
    t.engine().durationValue = 250;
    t.engine().positionValue = 100;
    QTest::keyClick(&view(t), Qt::Key_Right);
    QCOMPARE(t.core().shared.lastkey, 39);
    QCOMPARE(t.engine().positionValue, 110.0);
    QCOMPARE(coreSelectedRows(t), std::vector<int>{5});
    QCOMPARE(selectedRows(t), std::vector<int>{5});
  }

  void leftArrowSeeksBackAndKeepsTheSelection() {
    TestForms t(numberedPaths(20));
    t.forms().start();
    clickRow(t, 5);
    t.engine().open("/music/track5.mp3");
    t.engine().durationValue = 250;
    t.engine().positionValue = 100;
    QTest::keyClick(&view(t), Qt::Key_Left);
    QCOMPARE(t.core().shared.lastkey, 37);
    QCOMPARE(t.engine().positionValue, 90.0);
    QCOMPARE(coreSelectedRows(t), std::vector<int>{5});
  }

  void arrowsWithoutATrackOnlyMoveTheFocus() {
    TestForms t(numberedPaths(20));
    t.forms().start();
    clickRow(t, 5);
    QTest::keyClick(&view(t), Qt::Key_Right);
    QCOMPARE(t.core().list.listIndex2(), 6);
    QCOMPARE(coreSelectedRows(t), std::vector<int>{6});
    QVERIFY(t.engine().calls.back().rfind("position:", 0) != 0);
  }

  void deleteRemovesTheSelectedEntries() {
    TestForms t(numberedPaths(5));
    t.forms().start();
    clickRow(t, 1);
    clickRow(t, 3, Qt::ControlModifier);
    QTest::keyClick(&view(t), Qt::Key_Delete);
    QCOMPARE(t.core().list.paths(),
             (std::vector<std::string>{"/music/track0.mp3", "/music/track2.mp3",
                                       "/music/track4.mp3"}));
    QCOMPARE(view(t).model()->rowCount(), 3);
    QCOMPARE(t.core().shared.lastkey, 46);
  }

  // --- play modes
  void loopStartsOnAndShuffleOff() {
    TestForms t(numberedPaths(4));
    t.forms().start();
    QVERIFY(child<QCheckBox>(t.forms().playlist(), "chkloop")->isChecked());
    QVERIFY(!child<QCheckBox>(t.forms().playlist(), "chkshuffle")->isChecked());
    QCOMPARE(t.core().chkloop, 1);
  }

  void shuffleClickBuildsTheOrder() {
    TestForms t(numberedPaths(4));
    t.forms().start();
    QTest::mouseClick(child<QCheckBox>(t.forms().playlist(), "chkshuffle"), Qt::LeftButton);
    QCOMPARE(t.core().chkshuffle, 1);
    std::vector<Index> order = t.core().List5.entries();
    std::sort(order.begin(), order.end());
    QCOMPARE(order, (std::vector<Index>{0, 1, 2, 3}));
    QTest::mouseClick(child<QCheckBox>(t.forms().playlist(), "chkshuffle"), Qt::LeftButton);
    QVERIFY(t.core().List5.empty());
  }

  void loopClickTurnsLoopOff() {
    TestForms t(numberedPaths(4));
    t.forms().start();
    QTest::mouseClick(child<QCheckBox>(t.forms().playlist(), "chkloop"), Qt::LeftButton);
    QCOMPARE(t.core().chkloop, 0);
  }

  // --- playlist files through cd1
  void loadAppendsTheChosenPlaylist() {
    TestForms t({"/music/a.mp3"});
    t.forms().start();
    ScriptedFileDialog cd1;
    t.core().platform.cd1 = &cd1;
    const std::string file = t.path("mine.plt");
    writeBytes(file, "/x/one.mp3\r\n/x/two.mp3");
    cd1.answers = {file};
    QTest::mouseClick(child<QPushButton>(t.forms().playlist(), "cmdload"), Qt::LeftButton);
    QCOMPARE(cd1.shownAs, std::vector<std::string>{"open *.plt   (playlistfiles)|*.plt"});
    QCOMPARE(t.core().list.count(), 3);
    QCOMPARE(view(t).model()->index(2, 0).data().toString(), QStringLiteral("3   two.mp3"));
    QVERIFY(t.engine().opened.empty());
  }

  void cancelledLoadChangesNothing() {
    TestForms t({"/music/a.mp3"});
    t.forms().start();
    ScriptedFileDialog cd1;
    t.core().platform.cd1 = &cd1;
    QTest::mouseClick(child<QPushButton>(t.forms().playlist(), "cmdload"), Qt::LeftButton);
    QCOMPARE(t.core().list.count(), 1);
  }

  void saveWritesEveryPath() {
    TestForms t({"/music/a b.mp3", "/music/c.d.mp3"});
    t.forms().start();
    ScriptedFileDialog cd1;
    t.core().platform.cd1 = &cd1;
    const std::string file = t.path("out.plt");
    cd1.answers = {file, ""};
    QTest::mouseClick(child<QPushButton>(t.forms().playlist(), "cmdsave"), Qt::LeftButton);
    QCOMPARE(cd1.shownAs, std::vector<std::string>{"save *.plt   (playlistfiles)|*.plt"});
    std::string bytes;
    QVERIFY(readWholeFile(file, bytes));
    QCOMPARE(bytes, std::string("/music/a b.mp3\r\n/music/c.d.mp3\r\n"));
    // A cancelled save leaves the earlier file alone.
    t.core().list.appendEntry("/music/e.mp3");
    QTest::mouseClick(child<QPushButton>(t.forms().playlist(), "cmdsave"), Qt::LeftButton);
    QVERIFY(readWholeFile(file, bytes));
    QCOMPARE(bytes, std::string("/music/a b.mp3\r\n/music/c.d.mp3\r\n"));
  }

  // --- the Qt file dialog's translation of cd1's properties
  void filtersBecomeQtNameFilters() {
    QCOMPARE(qtNameFilters("*.plt   (playlistfiles)|*.plt"),
             QStringList{QStringLiteral("*.plt   (playlistfiles) (*.[pP][lL][tT])")});
    QCOMPARE(qtNameFilters("all supported files|*.mp3;*.wma|*.*|*.*"),
             (QStringList{QStringLiteral("all supported files (*.[mM][pP]3 *.[wW][mM][aA])"),
                          QStringLiteral("*.* (*)")}));
    QCOMPARE(qtNameFilters(""), QStringList{});
    QCOMPARE(qtNameFilters("dangling description"), QStringList{});
  }

  void selectionTextFollowsTheCommonDialog() {
    QCOMPARE(selectionText({}), std::string());
    QCOMPARE(selectionText({QStringLiteral("/m/a b.mp3")}), std::string("/m/a b.mp3"));
    QCOMPARE(selectionText({QStringLiteral("/m/a.mp3"), QStringLiteral("/m/b.mp3")}),
             std::string("/m\0a.mp3\0b.mp3", 14));
  }

  // --- file info
  void ctrlIOpensFileInfoForTheFocusedEntry() {
    TestForms t({"/nowhere/missing.mp3"});
    t.forms().start();
    RecordingMessages messages;
    t.core().platform.messages = &messages;
    clickRow(t, 0);
    QTest::keyClick(&view(t), Qt::Key_I, Qt::ControlModifier);
    // The file cannot be read, so a message naming it stands in for the dialog.
    QCOMPARE(messages.texts.size(), std::size_t{1});
    QVERIFY(messages.texts.front().find("missing.mp3") != std::string::npos);
  }

  // --- the real dialogs, answered by a timer once they are up
  void qtFileDialogReturnsSeveralFilesAndRemembersItsFolder() {
    QTemporaryDir dir;
    for (const char* name : {"a.mp3", "b c.mp3"}) writeBytes(dir.filePath(name).toStdString(), "x");
    QtFileDialog cd1;
    cd1.Filter = "*.mp3|*.mp3";
    cd1.Flags = kAllowMultiSelect;
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      QVERIFY(dialog);
      dialog->setDirectory(dir.path());
      dialog->selectFile(QStringLiteral("\"a.mp3\" \"b c.mp3\""));
      static_cast<QDialog*>(dialog)->accept();  // runs the file dialog's own accept
    });
    cd1.ShowOpen();
    std::string shown = cd1.FileName;
    std::replace(shown.begin(), shown.end(), '\0', '|');
    QCOMPARE(QString::fromStdString(shown), dir.path() + QStringLiteral("|a.mp3|b c.mp3"));

    QString folderAtSecondShow;
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      QVERIFY(dialog);
      folderAtSecondShow = dialog->directory().absolutePath();
      dialog->reject();
    });
    cd1.ShowOpen();
    QCOMPARE(cd1.FileName, std::string());
    QCOMPARE(folderAtSecondShow, QDir(dir.path()).absolutePath());
  }

  void filterPatternsIgnoreCaseLikeWindows() {
    const QRegularExpression glob(QRegularExpression::fromWildcard(
        caseInsensitiveGlob(QStringLiteral("*.mp3")), Qt::CaseSensitive));
    QVERIFY(glob.match(QStringLiteral("SONG.MP3")).hasMatch());
    QVERIFY(glob.match(QStringLiteral("song.Mp3")).hasMatch());
    QVERIFY(!glob.match(QStringLiteral("song.mp4")).hasMatch());
  }

  void qtFileDialogGivesOnePathAndItsTitle() {
    QTemporaryDir dir;
    writeBytes(dir.filePath("list.plt").toStdString(), "");
    QtFileDialog cd1;
    cd1.Filter = kPlaylistFilter;
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      QVERIFY(dialog);
      dialog->setDirectory(dir.path());
      dialog->selectFile(QStringLiteral("list.plt"));
      static_cast<QDialog*>(dialog)->accept();  // runs the file dialog's own accept
    });
    cd1.ShowOpen();
    QCOMPARE(cd1.FileName, dir.filePath("list.plt").toStdString());
    QCOMPARE(cd1.FileTitle, std::string("list.plt"));
  }

  void folderPickerCancelGivesNothing() {
    QtFolderPicker picker;
    QString title;
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      QVERIFY(dialog);
      title = dialog->windowTitle();
      QVERIFY(dialog->testOption(QFileDialog::ShowDirsOnly));
      QCOMPARE(dialog->fileMode(), QFileDialog::Directory);
      dialog->reject();
    });
    QCOMPARE(picker.BrowseForFolder("Select a directory"), std::string());
    QCOMPARE(title, QStringLiteral("Select a directory"));
  }

  // --- closing
  void closingSavesThePlaylist() {
    TestForms t({"/music/a.mp3"});
    t.forms().start();
    t.core().list.appendEntry("/music/b.mp3");
    t.forms().playlist().close();
    QCOMPARE(t.savedBytes(), std::string("/music/a.mp3\r\n/music/b.mp3\r\n"));
  }
};

QTEST_MAIN(FrmplaylistTest)
#include "tst_frmplaylist.moc"
