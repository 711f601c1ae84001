// The playlist window: the list model with a large playlist, selection in both directions, playing
// from the list, the seek keys, the play mode boxes, and loading and saving through `cd1`.
#include <QAbstractItemModelTester>
#include <QCheckBox>
#include <QFileDialog>
#include <QRegularExpression>
#include <QSignalSpy>

#include "commands/QtFileDialog.h"
#include "dialogs/modFolderBrowse.h"
#include "playlist/PlaylistListModel.h"
#include "support/TestForms.h"

using namespace sonavex;
using namespace sonavex::testing;

namespace {
using Rows = std::vector<int>;

QPoint rowCentre(TestForms& t, int row) {
  const QModelIndex index = view(t).model()->index(row, 0);
  view(t).scrollTo(index);
  return view(t).visualRect(index).center();
}

void clickRow(TestForms& t, int row, Qt::KeyboardModifiers modifiers = {}) {
  QTest::mouseClick(view(t).viewport(), Qt::LeftButton, modifiers, rowCentre(t, row));
}

void clickBox(TestForms& t, const char* name) {
  QTest::mouseClick(child<QCheckBox>(t.forms().playlist(), name), Qt::LeftButton);
}
void clickButton(TestForms& t, const char* name) {
  QTest::mouseClick(child<QPushButton>(t.forms().playlist(), name), Qt::LeftButton);
}

std::string fileBytes(const std::string& path) {
  std::string bytes;
  return readWholeFile(path, bytes) ? bytes : "<unreadable>";
}
}  // namespace

class FrmplaylistTest : public QObject {
  Q_OBJECT

 private slots:
  // --- the list over a large playlist
  void largePlaylistIsShownInFullAndABulkAppendIsOneInsertion() {
    Started t(numberedPaths(100000));
    QCOMPARE(view(t).model()->rowCount(), 100000);
    QCOMPARE(view(t).model()->index(99999, 0).data().toString(),
             QStringLiteral("100000   track99999.mp3"));
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
    Started t(numberedPaths(30));
    QAbstractItemModelTester tester(view(t).model(),
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    t.core().list.appendEntry("/music/single.mp3");
    {
      PlaylistBatch batch(t.core().list);
      for (const std::string& p : numberedPaths(500)) t.core().list.appendEntry(p);
    }
    t.core().list.removeAt(3);
    t.core().list.insertAt(0, "/music/first.mp3", "0   first.mp3");
    t.core().list.assign({"/a/x.mp3", "/a/y.mp3", "/a/z.mp3"}, {"1   x", "2   y", "3   z"});
    t.core().list.markEntry(2);
    QCOMPARE(view(t).model()->rowCount(), 3);
    QCOMPARE(viewSelection(t), Rows{2});  // a rebuilt list keeps the selection made after it
    t.core().list.clear();
    QCOMPARE(view(t).model()->rowCount(), 0);
  }

  void coreSelectionReachesTheViewAsMergedRanges() {
    Started t(numberedPaths(100000));
    std::vector<std::uint8_t> flags(100000, 0);
    std::fill(flags.begin() + 10, flags.begin() + 20, 1);
    std::fill(flags.begin() + 50000, flags.end(), 1);
    t.core().list.setSelectionFlags(flags);
    const QItemSelection selection = view(t).selectionModel()->selection();
    QCOMPARE(selection.size(), 2);
    QCOMPARE(QPoint(selection.at(0).top(), selection.at(0).bottom()), QPoint(10, 19));
    QCOMPARE(QPoint(selection.at(1).top(), selection.at(1).bottom()), QPoint(50000, 99999));

    // Marking an entry focuses and selects it alone; pushing into the view does not come back
    // as a change of the core.
    t.core().list.markEntry(99998);
    QCOMPARE(viewSelection(t), Rows{99998});
    QCOMPARE(view(t).currentIndex().row(), 99998);
    QCOMPARE(coreSelection(t), Rows{99998});
    QCOMPARE(t.core().list.listIndex2(), 99998);
  }

  void clicksSelectInTheCore() {
    Started t(numberedPaths(50));
    clickRow(t, 4);
    QCOMPARE(t.core().list.listIndex2(), 4);
    QCOMPARE(coreSelection(t), Rows{4});
    clickRow(t, 7, Qt::ControlModifier);
    QCOMPARE(coreSelection(t), (Rows{4, 7}));
    QCOMPARE(t.core().list.listIndex2(), 7);
    clickRow(t, 9, Qt::ShiftModifier);
    QCOMPARE(coreSelection(t), viewSelection(t));
    QVERIFY(t.core().list.isSelected(8) && t.core().list.isSelected(9));
    clickRow(t, 7, Qt::ControlModifier);
    QVERIFY(!t.core().list.isSelected(7));
    QCOMPARE(coreSelection(t), viewSelection(t));
    clickRow(t, 4);
    QCOMPARE(coreSelection(t), Rows{4});
    QCOMPARE(view(t).toolTip(), QStringLiteral("selected song: 5   track4.mp3"));
  }

  void scrollingSetsTheTopIndex() {
    Started t(numberedPaths(1000));
    view(t).scrollTo(view(t).model()->index(500, 0), QAbstractItemView::PositionAtTop);
    QCOMPARE(t.core().list.topIndex(), 500);
  }

  // --- playing from the list, and the seek keys that undo the focus move of the arrow
  void doubleClickAndEnterPlayTheFocusedEntryOnce_data() {
    QTest::addColumn<bool>("enter");
    QTest::newRow("double click") << false;
    QTest::newRow("Enter") << true;
  }

  void doubleClickAndEnterPlayTheFocusedEntryOnce() {
    QFETCH(bool, enter);
    Started t(numberedPaths(20));
    const QPoint at = rowCentre(t, 2);
    QTest::mouseClick(view(t).viewport(), Qt::LeftButton, {}, at);
    if (enter) {
      // The release of an Enter that accepted a dialog reaches the list alone: it plays nothing.
      QTest::keyRelease(&view(t), Qt::Key_Return);
      QVERIFY(t.engine().opened.empty());
      QTest::keyClick(&view(t), Qt::Key_Return);
      QCOMPARE(t.core().shared.lastkey, 13);
    } else {
      // A double click arrives as press, release, double-click, release.
      QTest::mouseDClick(view(t).viewport(), Qt::LeftButton, {}, at);
      QTest::mouseRelease(view(t).viewport(), Qt::LeftButton, {}, at);
    }
    QCOMPARE(t.engine().opened, std::vector<std::string>{"/music/track2.mp3"});
    QCOMPARE(t.core().shared.currenttrack, 2);
    QCOMPARE(t.core().shared.tracknumber, std::optional<Index>(3));
  }

  void arrowsSeekAndKeepTheSelection_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("playing");
    QTest::addColumn<int>("code");
    QTest::addColumn<double>("position");
    QTest::addColumn<int>("focus");
    QTest::addColumn<int>("selected");
    QTest::newRow("Right") << int(Qt::Key_Right) << true << 39 << 110.0 << 6 << 5;
    QTest::newRow("Left") << int(Qt::Key_Left) << true << 37 << 90.0 << 4 << 5;
    // Duration 0 without a track: the arrow only moves through the list.
    QTest::newRow("Right, nothing open") << int(Qt::Key_Right) << false << 39 << 100.0 << 6 << 6;
  }

  void arrowsSeekAndKeepTheSelection() {
    QFETCH(int, key);
    QFETCH(bool, playing);
    QFETCH(int, code);
    QFETCH(double, position);
    QFETCH(int, focus);
    QFETCH(int, selected);
    Started t(numberedPaths(20));
    clickRow(t, 5);
    if (playing) {
      t.engine().open("/music/track5.mp3");
      t.engine().durationValue = 250;
    }
    t.engine().positionValue = 100;
    QTest::keyClick(&view(t), static_cast<Qt::Key>(key));
    QCOMPARE(t.core().shared.lastkey, code);
    QCOMPARE(t.engine().positionValue, position);
    QCOMPARE(t.core().list.listIndex2(), focus);
    QCOMPARE(coreSelection(t), Rows{selected});
    QCOMPARE(viewSelection(t), Rows{selected});
  }

  // --- play modes
  void playModeBoxesStartLoopedAndUnshuffledAndFollowClicks() {
    Started t(numberedPaths(4));
    QVERIFY(child<QCheckBox>(t.forms().playlist(), "chkloop")->isChecked());
    QVERIFY(!child<QCheckBox>(t.forms().playlist(), "chkshuffle")->isChecked());
    QCOMPARE(t.core().chkloop, 1);
    clickBox(t, "chkloop");
    QCOMPARE(t.core().chkloop, 0);

    clickBox(t, "chkshuffle");
    QCOMPARE(t.core().chkshuffle, 1);
    QCOMPARE(sortedShuffle(t.core()), (std::vector<Index>{0, 1, 2, 3}));
    clickBox(t, "chkshuffle");
    QVERIFY(t.core().List5.empty());
  }

  // --- playlist files through cd1
  void loadAppendsTheChosenPlaylistAndCancelChangesNothing() {
    Started t({"/music/a.mp3"});
    ScriptedFileDialog cd1;
    t.core().platform.cd1 = &cd1;
    const std::string file = t.path("mine.plt");
    writeBytes(file, "/x/one.mp3\r\n/x/two.mp3");
    cd1.answers = {file};
    clickButton(t, "cmdload");
    QCOMPARE(cd1.shownAs, std::vector<std::string>{"open *.plt   (playlistfiles)|*.plt"});
    QCOMPARE(shownRows(t), (QStringList{"1   a.mp3", "2   one.mp3", "3   two.mp3"}));
    QVERIFY(t.engine().opened.empty());
    clickButton(t, "cmdload");  // no answer left: cancelled
    QCOMPARE(t.core().list.count(), 3);
  }

  void saveWritesEveryPathAndCancelKeepsTheFile() {
    Started t({"/music/a b.mp3", "/music/c.d.mp3"});
    ScriptedFileDialog cd1;
    t.core().platform.cd1 = &cd1;
    const std::string file = t.path("out.plt");
    cd1.answers = {file, ""};
    clickButton(t, "cmdsave");
    QCOMPARE(cd1.shownAs, std::vector<std::string>{"save *.plt   (playlistfiles)|*.plt"});
    const std::string saved = "/music/a b.mp3\r\n/music/c.d.mp3\r\n";
    QCOMPARE(fileBytes(file), saved);
    t.core().list.appendEntry("/music/e.mp3");
    clickButton(t, "cmdsave");
    QCOMPARE(fileBytes(file), saved);
  }

  // --- the Qt file dialog's translation of cd1's properties
  void dialogPropertiesTranslateBothWays() {
    QCOMPARE(qtNameFilters("*.plt   (playlistfiles)|*.plt"),
             QStringList{QStringLiteral("*.plt   (playlistfiles) (*.plt *.[pP][lL][tT])")});
    QCOMPARE(defaultSuffixOf(kPlaylistFilter), QStringLiteral("plt"));
    QCOMPARE(qtNameFilters("all supported files|*.mp3;*.wma|*.*|*.*"),
             (QStringList{QStringLiteral(
                              "all supported files (*.mp3 *.[mM][pP]3 *.wma *.[wW][mM][aA])"),
                          QStringLiteral("*.* (*)")}));
    QCOMPARE(qtNameFilters(""), QStringList{});
    QCOMPARE(qtNameFilters("dangling description"), QStringList{});
    const QRegularExpression glob(QRegularExpression::fromWildcard(
        caseInsensitiveGlob(QStringLiteral("*.mp3")), Qt::CaseSensitive));
    for (const char* name : {"SONG.MP3", "song.Mp3"}) QVERIFY2(glob.match(name).hasMatch(), name);
    QVERIFY(!glob.match(QStringLiteral("song.mp4")).hasMatch());
    QCOMPARE(selectionText({}), std::string());
    QCOMPARE(selectionText({QStringLiteral("/m/a b.mp3")}), std::string("/m/a b.mp3"));
    QCOMPARE(selectionText({QStringLiteral("/m/a.mp3"), QStringLiteral("/m/b.mp3")}),
             std::string("/m\0a.mp3\0b.mp3", 14));
  }

  void ctrlIOpensFileInfoForTheFocusedEntry() {
    Started t({"/nowhere/missing.mp3"});
    ScriptedMessages messages;
    t.core().platform.messages = &messages;
    clickRow(t, 0);
    QTest::keyClick(&view(t), Qt::Key_I, Qt::ControlModifier);
    // The file cannot be read, so a message naming it stands in for the dialog.
    QCOMPARE(messages.shown.size(), std::size_t{1});
    QVERIFY(messages.shown.front().text.find("missing.mp3") != std::string::npos);
  }

  // --- the real dialogs, answered once they are up
  void qtFileDialogReturnsSeveralFilesAndRemembersItsFolder() {
    QTemporaryDir dir;
    for (const char* name : {"a.mp3", "b c.mp3"}) writeBytes(dir.filePath(name).toStdString(), "x");
    QtFileDialog cd1;
    cd1.Filter = "*.mp3|*.mp3";
    cd1.Flags = kAllowMultiSelect;
    onFileDialog([&](QFileDialog* dialog) {
      dialog->setDirectory(dir.path());
      dialog->selectFile(QStringLiteral("\"a.mp3\" \"b c.mp3\""));
      static_cast<QDialog*>(dialog)->accept();  // runs the file dialog's own accept
    });
    cd1.ShowOpen();
    std::string shown = cd1.FileName;
    std::replace(shown.begin(), shown.end(), '\0', '|');
    QCOMPARE(QString::fromStdString(shown), dir.path() + QStringLiteral("|a.mp3|b c.mp3"));

    QString folderAtSecondShow;
    onFileDialog([&](QFileDialog* dialog) {
      folderAtSecondShow = dialog->directory().absolutePath();
      dialog->reject();
    });
    cd1.ShowOpen();
    QCOMPARE(cd1.FileName, std::string());
    QCOMPARE(folderAtSecondShow, QDir(dir.path()).absolutePath());
  }

  void qtFileDialogGivesOnePathAndItsTitle() {
    QTemporaryDir dir;
    writeBytes(dir.filePath("list.plt").toStdString(), "");
    QtFileDialog cd1;
    cd1.Filter = kPlaylistFilter;
    onFileDialog([&](QFileDialog* dialog) {
      dialog->setDirectory(dir.path());
      dialog->selectFile(QStringLiteral("list.plt"));
      static_cast<QDialog*>(dialog)->accept();
    });
    cd1.ShowOpen();
    QCOMPARE(cd1.FileName, dir.filePath("list.plt").toStdString());
    QCOMPARE(cd1.FileTitle, std::string("list.plt"));
  }

  void folderPickerCancelGivesNothing() {
    QtFolderPicker picker;
    QString title;
    onFileDialog([&](QFileDialog* dialog) {
      title = dialog->windowTitle();
      QVERIFY(dialog->testOption(QFileDialog::ShowDirsOnly));
      QCOMPARE(dialog->fileMode(), QFileDialog::Directory);
      dialog->reject();
    });
    QCOMPARE(picker.BrowseForFolder("Select a directory"), std::string());
    QCOMPARE(title, QStringLiteral("Select a directory"));
  }
};

QTEST_MAIN(FrmplaylistTest)
#include "tst_frmplaylist.moc"
