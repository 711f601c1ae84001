// The playlist window: the list model over a large playlist, selection both ways, a double click and
// a key released alone on the list (its keys, Delete and undo run with real keys on a real X
// server), the empty list's hint, and the Qt file dialog and folder picker behind `cd1`.
#include <QAbstractItemModelTester>
#include <QAccessible>
#include <QFileDialog>
#include <QSignalSpy>

#include "core/Command.h"
#include "ui/QtFileDialog.h"
#include "ui/modFolderBrowse.h"
#include "support/TestForms.h"

using namespace sonavex;
using namespace sonavex::testing;

namespace {
// "/music/track<i>.mp3" for i below n.
Paths numbered(int n) {
  Paths paths;
  for (int i = 0; i < n; ++i) paths.push_back("/music/track" + std::to_string(i) + ".mp3");
  return paths;
}

QPoint rowCentre(TestForms& t, int row) {
  const QModelIndex index = view(t).model()->index(row, 0);
  view(t).scrollTo(index);
  return view(t).visualRect(index).center();
}
}  // namespace

class FrmplaylistTest : public QObject {
  Q_OBJECT

 private slots:
  void modelStaysConsistentAndABulkAppendIsOneInsertion() {
    Started t(numbered(30));
    QAbstractItemModelTester tester(view(t).model(),
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy inserted(view(t).model(), &QAbstractItemModel::rowsInserted);
    t.core().list.appendEntry("/music/single.mp3");
    {
      PlaylistBatch batch(t.core().list);
      for (const std::string& p : numbered(500)) t.core().list.appendEntry(p);
    }
    QCOMPARE(std::tuple(inserted.count(), inserted.last().at(1).toInt(), inserted.last().at(2).toInt()),
             std::tuple(qsizetype{2}, 31, 530));
    t.core().list.assign({"/a/x.mp3", "/a/y.mp3", "/a/z.mp3"}, {"1   x", "2   y", "3   z"});
    QCOMPARE(shownRows(t), (QStringList{"1   x", "2   y", "3   z"}));
    t.core().list.clear();
    QCOMPARE(view(t).model()->rowCount(), 0);
  }

  void largeListScrollsAndSelectsBothWays() {
    Started t(numbered(100000));
    QCOMPARE(view(t).model()->index(99999, 0).data().toString(),
             QStringLiteral("100000   track99999.mp3"));
    view(t).scrollTo(view(t).model()->index(500, 0), QAbstractItemView::PositionAtTop);
    QCOMPARE(t.core().list.topIndex(), 500);
    std::vector<std::uint8_t> flags(100000, 0);
    std::fill(flags.begin() + 10, flags.begin() + 20, 1);
    std::fill(flags.begin() + 50000, flags.end(), 1);
    t.core().list.setSelectionFlags(flags);
    // The view is shown the selection of the rows near its viewport, and only those.
    auto shown = [&t] {
      QList<QPoint> ranges;
      for (const auto& range : view(t).selectionModel()->selection()) ranges << QPoint(range.top(), range.bottom());
      return ranges;
    };
    QCOMPARE(shown(), (QList<QPoint>{{10, 19}}));
    view(t).scrollTo(view(t).model()->index(60000, 0), QAbstractItemView::PositionAtTop);
    QCOMPARE(shown(), (QList<QPoint>{{60000 - 512, 60000 + 512}}));
    // Clicks there change the core's flags far from the viewport too; the view shows them.
    QTest::mouseClick(view(t).viewport(), Qt::LeftButton, Qt::ControlModifier, rowCentre(t, 60001));
    QCOMPARE(t.core().list.selectedCount(), 10 + 50000 - 1);
    QVERIFY(t.core().list.isSelected(15) && !t.core().list.isSelected(60001));
    for (const auto& [row, modifiers] : {std::pair<int, Qt::KeyboardModifiers>{60001, {}}, {60004, Qt::ShiftModifier},
                                         {60002, Qt::ControlModifier}})
      QTest::mouseClick(view(t).viewport(), Qt::LeftButton, modifiers, rowCentre(t, row));
    QCOMPARE(coreSelection(t), (Rows{60001, 60003, 60004}));
    QCOMPARE(viewSelection(t), coreSelection(t));
    QCOMPARE(view(t).toolTip(), QStringLiteral("selected song: 60003   track60002.mp3"));
    t.core().list.markEntry(99998);  // the focus too
    QCOMPARE(viewSelection(t), Rows{99998});
    QCOMPARE(view(t).currentIndex().row(), 99998);
  }

  // The release of a key whose press went elsewhere (a dialog's Enter) reaches the list alone and
  // does nothing (pressed there, the keys act with real keys on a real X server); a double click
  // plays the row.
  void aKeyReleasedAloneDoesNothingAndADoubleClickPlays() {
    Started t(numbered(20));
    const QPoint at = rowCentre(t, 5);
    QTest::mouseClick(view(t).viewport(), Qt::LeftButton, {}, at);
    t.engine().open("/music/track5.mp3");
    t.engine().durationValue = 250;
    t.engine().positionValue = 100;
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Right, Qt::Key_Delete}) QTest::keyRelease(&view(t), key);
    QCOMPARE(std::tuple(t.core().shared.lastkey, t.core().list.count(), t.engine().opened.size(),
                        t.engine().positionValue),
             std::tuple(0, 20, std::size_t{1}, 100.0));
    // A double click arrives as press, release, double-click, release.
    QTest::mouseDClick(view(t).viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(view(t).viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(t.engine().opened, Paths(2, "/music/track5.mp3"));
    QCOMPARE(std::pair(coreSelection(t), viewSelection(t)), std::pair(Rows{5}, Rows{5}));
  }

  // Until the list holds an entry it says how to fill it, to a screen reader too; once an entry
  // came, the hint is gone from the window and from the accessibility tree.
  void anEmptyListSaysHowToFillIt() {
    Started t;
    QAccessible::setActive(true);
    const auto hintShown = [&t] {
      QAccessibleInterface* window = QAccessible::queryAccessibleInterface(&t.forms().playlist());
      for (int i = 0; i < window->childCount(); ++i)
        if (window->child(i)->text(QAccessible::Name) == "Drop files or folders here, or use add") return true;
      return false;
    };
    QVERIFY(hintShown() && child(t.forms().playlist(), "lblempty")->isVisible());
    perform(t.core(), [](Core& core) { core.list.appendEntry("/m/a.mp3"); });
    QVERIFY(!hintShown() && !child(t.forms().playlist(), "lblempty")->isVisible());
    QAccessible::setActive(false);
  }

  // Each pattern is offered as written and letter-case blind ("*.*" means every file). Several
  // files come back as the folder and the names, NUL-separated; a cancel gives nothing, in the
  // folder picker too. The first opens in the music folder, the next ones where the last closed.
  void qtFileDialogAndFolderPickerGiveTheChoiceOrNothing() {
    QCOMPARE(qtNameFilters("") + qtNameFilters("dangling description"), QStringList{});
    QTemporaryDir dir, home;
    qputenv("HOME", home.path().toUtf8());
    QDir(home.path()).mkdir(QStringLiteral("Music"));
    for (const char* file : {"a.mp3", "b c.mp3"}) writeBytes(dir.filePath(file).toStdString(), "x");
    QtFileDialog cd1;
    cd1.Filter = "all supported files|*.mp3;*.wma|*.*|*.*";
    cd1.Flags = kAllowMultiSelect;
    onFileDialog([&](QFileDialog* dialog) {
      QCOMPARE(dialog->nameFilters(), (QStringList{"all supported files (*.mp3 *.[mM][pP]3 *.wma *.[wW][mM][aA])",
                                                   "*.* (*)"}));
      QCOMPARE(dialog->directory().absolutePath(), home.filePath(QStringLiteral("Music")));
      dialog->setDirectory(dir.path());
      dialog->selectFile(QStringLiteral("\"a.mp3\" \"b c.mp3\""));
      static_cast<QDialog*>(dialog)->accept();  // runs the file dialog's own accept
    });
    cd1.ShowOpen();
    std::string shown = cd1.FileName;
    std::replace(shown.begin(), shown.end(), '\0', '|');
    QCOMPARE(QString::fromStdString(shown), dir.path() + QStringLiteral("|a.mp3|b c.mp3"));

    onFileDialog([](QFileDialog* dialog) { dialog->reject(); });
    cd1.ShowOpen();
    QCOMPARE(cd1.FileName, std::string());  // a cancel leaves no earlier choice behind
    QString title;  // the folder picker's too, under the title asked
    onFileDialog([&](QFileDialog* dialog) {
      title = dialog->windowTitle() + " in " + dialog->directory().absolutePath();
      dialog->reject();
    });
    QCOMPARE(QtFolderPicker().BrowseForFolder("Select a directory"), std::string());
    QCOMPARE(title, QStringLiteral("Select a directory in ") + dir.path());
  }
};

QTEST_MAIN(FrmplaylistTest)
#include "tst_frmplaylist.moc"
