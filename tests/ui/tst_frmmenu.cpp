// The command window: its flyout beside the playlist window, its six buttons reaching their
// commands through the real windows, the shared dialog `cd1`, and the popup-menu removal handlers
// of the playlist window answered by scripted message boxes.
#include <QApplication>
#include <QEnterEvent>
#include <QFileDialog>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <filesystem>

#include "commands/frmmenu.h"
#include "playlist/PlaylistView.h"
#include "playlist/core/PlaylistFile.h"
#include "playlist/frmplaylist.h"
#include "support/TestForms.h"

using namespace sonavex;
using sonavex::testing::ScriptedFileDialog;
using sonavex::testing::TestForms;
using sonavex::testing::writeBytes;

namespace {

PlaylistView& view(TestForms& t) { return *t.forms().playlist().list(); }

QStringList shownRows(TestForms& t) {
  QStringList rows;
  QAbstractItemModel* model = view(t).model();
  for (int r = 0; r < model->rowCount(); ++r) rows << model->index(r, 0).data().toString();
  return rows;
}

QPushButton* button(QWidget& window, const char* name) {
  auto* found = window.findChild<QPushButton*>(QLatin1String(name));
  if (!found) qFatal("no button named %s", name);
  return found;
}

void pointAt(QWidget* widget) {
  const QPointF centre = QRectF(widget->rect()).center();
  QEnterEvent enter(centre, centre, widget->mapToGlobal(centre));
  QApplication::sendEvent(widget, &enter);
}

void moveOverPanel(TestForms& t, int x, int y) {
  QWidget& panel = t.forms().playlist();
  const QPointF at(x, y);
  QMouseEvent move(QEvent::MouseMove, at, panel.mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                   Qt::NoModifier);
  QApplication::sendEvent(&panel, &move);
}

// Whether the flyout's visible strip covers the middle of the button.
bool strips(frmmenu& menu, const QPushButton* b) {
  return menu.mask().contains(b->geometry().center());
}

void select(TestForms& t, std::initializer_list<Index> rows) {
  t.core().list.listrefreshing();
  for (Index r : rows) t.core().list.setSelected(r, true);
}

class ScriptedMessages : public MessageBoxes {
 public:
  MsgAnswer answer = MsgAnswer::Yes;
  std::vector<std::string> texts;
  std::vector<std::string> titles;
  MsgAnswer show(const std::string& text, const std::string& title, MsgButtons, MsgIcon) override {
    texts.push_back(text);
    titles.push_back(title);
    return answer;
  }
};

class ScriptedFolders : public FolderPicker {
 public:
  std::string answer;
  bool busyWhileAsking = false;
  std::string BrowseForFolder(const std::string&) override {
    const QCursor* cursor = QGuiApplication::overrideCursor();
    busyWhileAsking = cursor && cursor->shape() == Qt::WaitCursor;
    return answer;
  }
};

std::vector<std::string> paths(std::initializer_list<const char*> names) {
  std::vector<std::string> out;
  for (const char* n : names) out.emplace_back(n);
  return out;
}

}  // namespace

class FrmmenuTest : public QObject {
  Q_OBJECT

 private slots:
  // --- the flyout
  void commandWindowIsMadeOnceOnFirstUse() {
    TestForms t(paths({"/m/a.mp3"}));
    t.forms().start();
    QVERIFY(!t.forms().menuLoaded());
    frmmenu& first = t.forms().menu();
    QVERIFY(!first.isVisible());
    QCOMPARE(&t.forms().menu(), &first);
    for (const char* name : {"cmdfile", "cmddir", "cmdsel", "cmdall", "cmdname", "cmdrnd"})
      QVERIFY(first.findChild<QPushButton*>(QLatin1String(name)));
    QCOMPARE(button(first, "cmdfile")->text(), QStringLiteral("&file"));
    QCOMPARE(button(first, "cmdrnd")->text(), QStringLiteral("rand"));
  }

  void pointingAtAButtonShowsOnlyItsPair_data() {
    QTest::addColumn<QString>("panelButton");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::newRow("add") << "cmdadd"
                         << "cmdfile"
                         << "cmddir";
    QTest::newRow("remove") << "cmdrem"
                            << "cmdsel"
                            << "cmdall";
    QTest::newRow("sort") << "cmdsort"
                          << "cmdname"
                          << "cmdrnd";
  }

  void pointingAtAButtonShowsOnlyItsPair() {
    QFETCH(QString, panelButton);
    QFETCH(QString, first);
    QFETCH(QString, second);
    TestForms t(paths({"/m/a.mp3"}));
    t.forms().start();
    frmplaylist& panel = t.forms().playlist();
    QPushButton* pointed = button(panel, panelButton.toLatin1().constData());
    pointAt(pointed);

    frmmenu& menu = t.forms().menu();
    QVERIFY(menu.isVisible());
    for (const char* name : {"cmdfile", "cmddir", "cmdsel", "cmdall", "cmdname", "cmdrnd"}) {
      const bool inPair = first == QLatin1String(name) || second == QLatin1String(name);
      QCOMPARE(strips(menu, button(menu, name)), inPair);
    }
    // The strip is level with the pointed button of the panel.
    const int stripMiddle =
        menu.mapToGlobal(button(menu, first.toLatin1().constData())->geometry().center()).y();
    QCOMPARE(stripMiddle, pointed->mapToGlobal(pointed->rect().center()).y());
  }

  void flyoutStandsJustRightOfThePanel() {
    TestForms t(paths({"/m/a.mp3"}));
    t.forms().start();
    frmplaylist& panel = t.forms().playlist();
    pointAt(button(panel, "cmdsort"));
    frmmenu& menu = t.forms().menu();
    const QRect frame = panel.frameGeometry();
    const double pixelsPer22Twips = 22.0 * panel.screen()->logicalDotsPerInchX() / 1440.0;
    QCOMPARE(menu.x() - (frame.left() + frame.width()), qRound(pixelsPer22Twips));
    QCOMPARE(menu.y(), panel.mapToGlobal(QPoint(0, 0)).y());

    // It keeps its place beside the panel when the panel moves.
    panel.move(panel.pos() + QPoint(40, 30));
    const QRect moved = panel.frameGeometry();
    QCOMPARE(menu.x() - (moved.left() + moved.width()), qRound(pixelsPer22Twips));
    QCOMPARE(menu.y(), panel.mapToGlobal(QPoint(0, 0)).y());
  }

  void pointerOverTheListSideHidesTheFlyout() {
    TestForms t(paths({"/m/a.mp3"}));
    t.forms().start();
    pointAt(button(t.forms().playlist(), "cmdrem"));
    frmmenu& menu = t.forms().menu();
    QVERIFY(menu.isVisible());
    moveOverPanel(t, 295, 150);  // right of the buttons, on the way to the flyout
    QVERIFY(menu.isVisible());
    moveOverPanel(t, 289, 150);
    QVERIFY(menu.isVisible());
    moveOverPanel(t, 288, 150);
    QVERIFY(!menu.isVisible());
    pointAt(button(t.forms().playlist(), "cmdadd"));
    QVERIFY(menu.isVisible());
    moveOverPanel(t, 200, 5);
    QVERIFY(!menu.isVisible());
  }

  void pointerMovesBeforeAnyFlyoutMakeNoCommandWindow() {
    TestForms t(paths({"/m/a.mp3"}));
    t.forms().start();
    moveOverPanel(t, 10, 10);
    QVERIFY(!t.forms().menuLoaded());
  }

  // --- the buttons
  void selRemovesTheSelectedRowsAndTheViewRenumbers() {
    TestForms t(paths({"/m/a.mp3", "/m/b.mp3", "/m/c.mp3", "/m/d.mp3", "/m/e.mp3"}));
    t.forms().start();
    select(t, {1, 3});
    QTest::mouseClick(button(t.forms().menu(), "cmdsel"), Qt::LeftButton);
    QCOMPARE(shownRows(t), (QStringList{"1   a.mp3", "2   c.mp3", "3   e.mp3"}));
    QVERIFY(view(t).selectionModel()->selectedIndexes().isEmpty());
  }

  void allEmptiesTheList() {
    TestForms t(paths({"/m/a.mp3", "/m/b.mp3"}));
    t.forms().start();
    QTest::mouseClick(button(t.forms().menu(), "cmdall"), Qt::LeftButton);
    QCOMPARE(view(t).model()->rowCount(), 0);
    QVERIFY(t.core().list.empty());
  }

  void fileAppendsTheDialogsSelectionInItsOrder() {
    TestForms t(paths({"/m/a.mp3"}));
    t.forms().start();
    ScriptedFileDialog cd1;
    cd1.answers = {std::string("/music\0z.mp3\0\0b.mp3", 19)};
    t.core().platform.cd1 = &cd1;
    QTest::mouseClick(button(t.forms().menu(), "cmdfile"), Qt::LeftButton);
    QCOMPARE(t.core().list.paths(), paths({"/m/a.mp3", "/music/z.mp3", "/music/b.mp3"}));
    QCOMPARE(shownRows(t), (QStringList{"1   a.mp3", "2   z.mp3", "3   b.mp3"}));
    QCOMPARE(cd1.shownAs.size(), std::size_t{1});
    QVERIFY(cd1.shownAs.front().rfind("open all supported files", 0) == 0);
  }

  void nameSortsAndRandKeepsEveryEntry() {
    TestForms t(paths({"/x/b.mp3", "/y/C.mp3", "/z/a.mp3"}));
    t.forms().start();
    QTest::mouseClick(button(t.forms().menu(), "cmdname"), Qt::LeftButton);
    QCOMPARE(shownRows(t), (QStringList{"1   a.mp3", "2   b.mp3", "3   C.mp3"}));
    QCOMPARE(t.core().list.paths(), paths({"/z/a.mp3", "/x/b.mp3", "/y/C.mp3"}));

    QTest::mouseClick(button(t.forms().menu(), "cmdrnd"), Qt::LeftButton);
    std::vector<std::string> after = t.core().list.paths();
    std::sort(after.begin(), after.end());
    QCOMPARE(after, paths({"/x/b.mp3", "/y/C.mp3", "/z/a.mp3"}));
    QCOMPARE(shownRows(t).size(), 3);
    QVERIFY(shownRows(t).front().startsWith(QStringLiteral("1   ")));
    QVERIFY(QGuiApplication::overrideCursor() == nullptr);  // the busy pointer went away again
  }

  void dirScansAFolderWithTheBusyPointerAndShowsItInOneInsertion() {
    QTemporaryDir dir;
    const std::string root = dir.path().toStdString();
    constexpr int kFiles = 400;
    for (int i = 0; i < kFiles; ++i) writeBytes(root + "/t" + std::to_string(i) + ".mp3", "x");
    writeBytes(root + "/last.wav", "x");
    TestForms t(paths({"/m/a.mp3"}));
    t.forms().start();
    ScriptedFolders folders;
    folders.answer = root;
    t.core().platform.folders = &folders;
    QSignalSpy inserted(view(t).model(), &QAbstractItemModel::rowsInserted);
    QSignalSpy reset(view(t).model(), &QAbstractItemModel::modelReset);

    QTest::mouseClick(button(t.forms().menu(), "cmddir"), Qt::LeftButton);

    QVERIFY(folders.busyWhileAsking);
    QVERIFY(QGuiApplication::overrideCursor() == nullptr);
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(reset.count(), 0);
    QCOMPARE(view(t).model()->rowCount(), kFiles + 2);
    QCOMPARE(t.core().list.paths().back(), root + "/last.wav");
  }

  void addFilesSettingsStayForTheLoadDialog() {
    TestForms t(paths({"/m/a.mp3"}));
    t.forms().start();
    QStringList filtersOfAdd;
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      QVERIFY(dialog);
      filtersOfAdd = dialog->nameFilters();
      dialog->reject();
    });
    QTest::mouseClick(button(t.forms().menu(), "cmdfile"), Qt::LeftButton);
    QCOMPARE(filtersOfAdd.size(), 9);
    QCOMPARE(t.core().list.count(), 1);

    FileDialog* cd1 = t.core().platform.cd1;
    QVERIFY(cd1);
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      QVERIFY(dialog);
      dialog->reject();
    });
    QTest::mouseClick(button(t.forms().playlist(), "cmdload"), Qt::LeftButton);
    // One dialog for all commands: the load changed only the filter.
    QCOMPARE(t.core().platform.cd1, cd1);
    QCOMPARE(cd1->Filter, std::string(kPlaylistFilter));
    QCOMPARE(cd1->Flags, kExplorerStyle | kAllowMultiSelect);
    QCOMPARE(cd1->MaxFileSize, 32767);
  }

  // --- removal handlers of the playlist window
  void deleteFromDiskRemovesTheSelectedFilesAfterYes() {
    QTemporaryDir dir;
    const std::string a = dir.filePath("a.mp3").toStdString();
    const std::string b = dir.filePath("b.mp3").toStdString();
    writeBytes(a, "x");
    writeBytes(b, "x");
    TestForms t({a, b});
    t.forms().start();
    ScriptedMessages messages;
    t.core().platform.messages = &messages;
    select(t, {1});

    messages.answer = MsgAnswer::No;
    t.forms().playlist().mnudelfromdisk_Click();
    QVERIFY(std::filesystem::exists(b));
    QCOMPARE(view(t).model()->rowCount(), 2);

    messages.answer = MsgAnswer::Yes;
    t.forms().playlist().mnudelfromdisk_Click();
    QVERIFY(!std::filesystem::exists(b));
    QVERIFY(std::filesystem::exists(a));
    QCOMPARE(shownRows(t), QStringList{"1   a.mp3"});
    QCOMPARE(messages.titles, (std::vector<std::string>{"Sonavax", "Sonavax"}));
  }

  void deleteAllFromDiskEmptiesTheListAndTheFolder() {
    QTemporaryDir dir;
    const std::string a = dir.filePath("a.mp3").toStdString();
    const std::string b = dir.filePath("b.mp3").toStdString();
    writeBytes(a, "x");
    writeBytes(b, "x");
    TestForms t({a, b});
    t.forms().start();
    ScriptedMessages messages;
    t.core().platform.messages = &messages;
    t.forms().playlist().mnudelfromharddisk_Click();
    QVERIFY(!std::filesystem::exists(a));
    QVERIFY(!std::filesystem::exists(b));
    QCOMPARE(view(t).model()->rowCount(), 0);
  }

  void invalidEntriesLeaveAndAreCounted() {
    QTemporaryDir dir;
    const std::string kept = dir.filePath("kept.mp3").toStdString();
    writeBytes(kept, "x");
    TestForms t({"/nowhere/x.mp3", kept, "/nowhere/y.mp3", "/nowhere/z.mp3"});
    t.forms().start();
    ScriptedMessages messages;
    t.core().platform.messages = &messages;
    t.forms().playlist().mnuinvalid_Click();
    QCOMPARE(shownRows(t), QStringList{"1   kept.mp3"});
    QCOMPARE(messages.texts,
             std::vector<std::string>{"3 invalid track(s) are removed from your playlist"});
  }

  void cropKeepsTheSelectedEntries() {
    TestForms t(paths({"/m/a.mp3", "/m/b.mp3", "/m/c.mp3", "/m/d.mp3", "/m/e.mp3"}));
    t.forms().start();
    select(t, {3});
    t.forms().playlist().mnucrop_Click();
    QCOMPARE(shownRows(t), QStringList{"1   d.mp3"});
  }

  void deleteKeyGoesThroughTheCommandWindowWithShuffleOn() {
    TestForms t(paths({"/m/a.mp3", "/m/b.mp3", "/m/c.mp3", "/m/d.mp3"}));
    t.forms().start();
    QTest::mouseClick(t.forms().playlist().findChild<QWidget*>(QStringLiteral("chkshuffle")),
                      Qt::LeftButton);
    select(t, {0, 2});
    t.core().list.setListIndex2(2);
    QTest::keyClick(&view(t), Qt::Key_Delete);
    QCOMPARE(shownRows(t), (QStringList{"1   b.mp3", "2   d.mp3"}));
    std::vector<Index> order = t.core().List5.entries();
    std::sort(order.begin(), order.end());
    QCOMPARE(order, (std::vector<Index>{0, 1}));
    QCOMPARE(t.core().shared.lastkey, 46);
    QVERIFY(t.engine().opened.empty());
  }
};

QTEST_MAIN(FrmmenuTest)
#include "tst_frmmenu.moc"
