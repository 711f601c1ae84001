// The command window: its flyout beside the playlist window, its six buttons reaching their
// commands through the real windows, the shared dialog `cd1`, and the popup-menu removal handlers
// of the playlist window answered by scripted message boxes.
#include <QEnterEvent>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QMouseEvent>
#include <QScreen>
#include <QSignalSpy>

#include "commands/frmmenu.h"
#include "support/TestForms.h"

using namespace sonavex;
using namespace sonavex::testing;

namespace {
using Paths = std::vector<std::string>;
using Rows = std::vector<int>;
const char* const kMenuButtons[] = {"cmdfile", "cmddir", "cmdsel", "cmdall", "cmdname", "cmdrnd"};

QPushButton* button(QWidget& window, const char* name) { return child<QPushButton>(window, name); }
void clickMenu(TestForms& t, const char* name) {
  QTest::mouseClick(button(t.forms().menu(), name), Qt::LeftButton);
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
bool strips(frmmenu& menu, const char* name) {
  return menu.mask().contains(button(menu, name)->geometry().center());
}

void select(TestForms& t, const Rows& rows) {
  t.core().list.listrefreshing();
  for (Index r : rows) t.core().list.setSelected(r, true);
}

// A command of the command window or the playlist window's popup menu, and what it leaves.
struct Command {
  const char* label;
  const char* button;            // of the command window, or
  void (frmplaylist::*popup)();  // the playlist window's popup menu handler
  Rows selected;
  const char* vanished;  // removed from the disk before the command
  bool yes;              // the answer to the question, if one is asked
  QStringList shown, onDisk, messages;
};
const QStringList kAll{"a.mp3", "b.mp3", "C.mp3", "d.mp3", "e.mp3"};
const QStringList kUnchanged{"1   b.mp3", "2   C.mp3", "3   a.mp3", "4   d.mp3", "5   e.mp3"};
const QStringList kAsk{"Sonavax: Are you sure to delete selected file(s) from harddisk"};
// clang-format off
const Command kCommands[] = {
    {"sel", "cmdsel", nullptr, {1, 3}, "", true, {"1   b.mp3", "2   a.mp3", "3   e.mp3"}, kAll, {}},
    {"all", "cmdall", nullptr, {1}, "", true, {}, kAll, {}},
    {"name", "cmdname", nullptr, {}, "", true,
     {"1   a.mp3", "2   b.mp3", "3   C.mp3", "4   d.mp3", "5   e.mp3"}, kAll, {}},
    {"crop", nullptr, &frmplaylist::mnucrop_Click, {3}, "", true, {"1   d.mp3"}, kAll, {}},
    {"invalid", nullptr, &frmplaylist::mnuinvalid_Click, {}, "e.mp3", true, kUnchanged.mid(0, 4),
     kAll.mid(0, 4), {"Sonavex: 1 invalid track(s) are removed from your playlist"}},
    {"delete from disk, No", nullptr, &frmplaylist::mnudelfromdisk_Click, {1}, "", false,
     kUnchanged, kAll, kAsk},
    {"delete from disk, Yes", nullptr, &frmplaylist::mnudelfromdisk_Click, {1}, "", true,
     {"1   b.mp3", "2   a.mp3", "3   d.mp3", "4   e.mp3"}, {"a.mp3", "b.mp3", "d.mp3", "e.mp3"}, kAsk},
    {"delete all from disk", nullptr, &frmplaylist::mnudelfromharddisk_Click, {}, "", true, {}, {},
     kAsk},
};
// clang-format on

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

}  // namespace

class FrmmenuTest : public QObject {
  Q_OBJECT

 private slots:
  // --- the flyout
  void commandWindowIsMadeOnceOnFirstUse() {
    Started t({"/m/a.mp3"});
    moveOverPanel(t, 10, 10);  // pointer moves before any flyout make nothing
    QVERIFY(!t.forms().menuLoaded());
    frmmenu& first = t.forms().menu();
    QVERIFY(!first.isVisible());
    QCOMPARE(&t.forms().menu(), &first);
    for (const char* name : kMenuButtons) button(first, name);
    QCOMPARE(button(first, "cmdfile")->text(), QStringLiteral("&file"));
    QCOMPARE(button(first, "cmdrnd")->text(), QStringLiteral("rand"));
  }

  void pointingAtAButtonShowsOnlyItsPair_data() {
    QTest::addColumn<QByteArray>("pointed");
    QTest::addColumn<QByteArray>("first");
    QTest::addColumn<QByteArray>("second");
    QTest::newRow("add") << QByteArray("cmdadd") << QByteArray("cmdfile") << QByteArray("cmddir");
    QTest::newRow("remove") << QByteArray("cmdrem") << QByteArray("cmdsel") << QByteArray("cmdall");
    QTest::newRow("sort") << QByteArray("cmdsort") << QByteArray("cmdname") << QByteArray("cmdrnd");
  }

  void pointingAtAButtonShowsOnlyItsPair() {
    QFETCH(QByteArray, pointed);
    QFETCH(QByteArray, first);
    QFETCH(QByteArray, second);
    Started t({"/m/a.mp3"});
    QPushButton* panelButton = button(t.forms().playlist(), pointed.constData());
    pointAt(panelButton);

    frmmenu& menu = t.forms().menu();
    QVERIFY(menu.isVisible());
    for (const char* name : kMenuButtons)
      QVERIFY2(strips(menu, name) == (first == name || second == name), name);
    // The strip is level with the pointed button of the panel.
    QCOMPARE(menu.mapToGlobal(button(menu, first.constData())->geometry().center()).y(),
             panelButton->mapToGlobal(panelButton->rect().center()).y());
  }

  void flyoutStandsJustRightOfThePanelAndFollowsIt() {
    Started t({"/m/a.mp3"});
    frmplaylist& panel = t.forms().playlist();
    pointAt(button(panel, "cmdsort"));
    frmmenu& menu = t.forms().menu();
    const int gap = qRound(22.0 * panel.screen()->logicalDotsPerInchX() / 1440.0);  // 22 twips
    for (const QPoint shift : {QPoint(0, 0), QPoint(40, 30)}) {
      panel.move(panel.pos() + shift);
      const QRect frame = panel.frameGeometry();
      QCOMPARE(menu.x() - (frame.left() + frame.width()), gap);
      QCOMPARE(menu.y(), panel.mapToGlobal(QPoint(0, 0)).y());
    }
  }

  void pointerOverTheListSideHidesTheFlyout() {
    Started t({"/m/a.mp3"});
    pointAt(button(t.forms().playlist(), "cmdrem"));
    frmmenu& menu = t.forms().menu();
    // Right of the buttons, on the way to the flyout, it stays; from x 288 leftwards it goes.
    for (const int x : {295, 289}) {
      moveOverPanel(t, x, 150);
      QVERIFY(menu.isVisible());
    }
    moveOverPanel(t, 288, 150);
    QVERIFY(!menu.isVisible());
    pointAt(button(t.forms().playlist(), "cmdadd"));
    QVERIFY(menu.isVisible());
    moveOverPanel(t, 200, 5);
    QVERIFY(!menu.isVisible());
  }

  // --- each command reaches the core through its window and the list shows the outcome
  void commandsChangeTheListAndTheDisk_data() {
    QTest::addColumn<int>("row");
    for (int i = 0; i < int(std::size(kCommands)); ++i) QTest::newRow(kCommands[i].label) << i;
  }

  // The entries are b, C, a, d, e.mp3, all on disk.
  void commandsChangeTheListAndTheDisk() {
    QFETCH(int, row);
    const Command& c = kCommands[row];
    QTemporaryDir dir;
    Paths entries;
    for (const char* name : {"b.mp3", "C.mp3", "a.mp3", "d.mp3", "e.mp3"}) {
      entries.push_back(dir.filePath(name).toStdString());
      writeBytes(entries.back(), "x");
    }
    Started t(entries);
    if (*c.vanished) QVERIFY(QFile::remove(dir.filePath(c.vanished)));
    ScriptedMessages boxes;
    boxes.answer = c.yes ? MsgAnswer::Yes : MsgAnswer::No;
    t.core().platform.messages = &boxes;
    select(t, c.selected);

    if (c.popup)
      (t.forms().playlist().*c.popup)();
    else
      clickMenu(t, c.button);

    QCOMPARE(shownRows(t), c.shown);
    QCOMPARE(viewSelection(t), coreSelection(t));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase), c.onDisk);
    QStringList asked;
    for (const ScriptedMessages::Box& b : boxes.shown)
      asked << QString::fromStdString(b.title + ": " + b.text);
    QCOMPARE(asked, c.messages);
  }

  void randKeepsEveryEntryAndRenumbers() {
    const Paths paths{"/x/b.mp3", "/y/C.mp3", "/z/a.mp3"};
    Started t(paths);
    clickMenu(t, "cmdrnd");
    Paths after = t.core().list.paths();
    std::sort(after.begin(), after.end());
    QCOMPARE(after, paths);
    const QStringList rows = shownRows(t);
    for (int r = 0; r < 3; ++r) QVERIFY(rows[r].startsWith(QString::number(r + 1) + "   "));
    QVERIFY(QGuiApplication::overrideCursor() == nullptr);  // the busy pointer went away again
  }

  void fileAppendsTheDialogsSelectionInItsOrder() {
    Started t({"/m/a.mp3"});
    ScriptedFileDialog cd1;
    cd1.answers = {std::string("/music\0z.mp3\0\0b.mp3", 19)};
    t.core().platform.cd1 = &cd1;
    clickMenu(t, "cmdfile");
    QCOMPARE(t.core().list.paths(), (Paths{"/m/a.mp3", "/music/z.mp3", "/music/b.mp3"}));
    QCOMPARE(shownRows(t), (QStringList{"1   a.mp3", "2   z.mp3", "3   b.mp3"}));
    QCOMPARE(cd1.shownAs.size(), std::size_t{1});
    QVERIFY(cd1.shownAs.front().rfind("open all supported files", 0) == 0);
  }

  void nameSortsAndRandKeepsEveryEntry() {
    Started t({"/x/b.mp3", "/y/C.mp3", "/z/a.mp3"});
    clickMenu(t, "cmdname");
    QCOMPARE(shownRows(t), (QStringList{"1   a.mp3", "2   b.mp3", "3   C.mp3"}));
    QCOMPARE(t.core().list.paths(), (Paths{"/z/a.mp3", "/x/b.mp3", "/y/C.mp3"}));

    clickMenu(t, "cmdrnd");
    Paths after = t.core().list.paths();
    std::sort(after.begin(), after.end());
    QCOMPARE(after, (Paths{"/x/b.mp3", "/y/C.mp3", "/z/a.mp3"}));
    QCOMPARE(shownRows(t).size(), 3);
    QVERIFY(shownRows(t).front().startsWith(QStringLiteral("1   ")));
    QVERIFY(QGuiApplication::overrideCursor() == nullptr);  // the busy pointer went away again
  }

  void dirScansAFolderWithTheBusyPointerAndShowsItInOneInsertion() {
    QTemporaryDir dir;
    const std::string root = dir.path().toStdString();
    for (int i = 0; i < 50; ++i) writeBytes(root + "/t" + std::to_string(i) + ".mp3", "x");
    writeBytes(root + "/last.wav", "x");
    Started t({"/m/a.mp3"});
    ScriptedFolders folders;
    folders.answer = root;
    t.core().platform.folders = &folders;
    QSignalSpy inserted(view(t).model(), &QAbstractItemModel::rowsInserted);
    QSignalSpy reset(view(t).model(), &QAbstractItemModel::modelReset);

    clickMenu(t, "cmddir");

    QVERIFY(folders.busyWhileAsking);
    QVERIFY(QGuiApplication::overrideCursor() == nullptr);
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(reset.count(), 0);
    QCOMPARE(view(t).model()->rowCount(), 52);
    QCOMPARE(t.core().list.paths().back(), root + "/last.wav");
  }

  void addFilesSettingsStayForTheLoadDialog() {
    Started t({"/m/a.mp3"});
    QStringList filtersOfAdd;
    onFileDialog([&](QFileDialog* dialog) {
      filtersOfAdd = dialog->nameFilters();
      dialog->reject();
    });
    clickMenu(t, "cmdfile");
    QCOMPARE(filtersOfAdd.size(), 9);
    QCOMPARE(t.core().list.count(), 1);

    FileDialog* cd1 = t.core().platform.cd1;
    QVERIFY(cd1);
    onFileDialog([](QFileDialog* dialog) { dialog->reject(); });
    QTest::mouseClick(button(t.forms().playlist(), "cmdload"), Qt::LeftButton);
    // One dialog for all commands: the load changed only the filter.
    QCOMPARE(t.core().platform.cd1, cd1);
    QCOMPARE(cd1->Filter, std::string(kPlaylistFilter));
    QCOMPARE(cd1->Flags, kExplorerStyle | kAllowMultiSelect);
    QCOMPARE(cd1->MaxFileSize, 32767);
  }

  // The save dialog proposes the last name as it was chosen, adds ".plt" to a bare name and asks
  // before replacing a file; the case-blind pattern never leaks into the name.
  void saveDialogNamesAndOverwriteQuestion() {
    Started t({"/m/a.mp3"});
    QTemporaryDir dir;
    const auto nameField = [](QFileDialog* dialog) {
      return dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    };
    QString proposed;
    bool asked = false;
    const auto save = [&](const QString& typed) {
      onFileDialog([&, typed](QFileDialog* dialog) {
        dialog->setDirectory(dir.path());
        proposed = nameField(dialog)->text();
        if (!typed.isEmpty()) nameField(dialog)->setText(typed);
        QTimer::singleShot(0, [&] {
          if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            asked = true;
            box->button(QMessageBox::Yes)->click();
          }
        });
        QMetaObject::invokeMethod(dialog, "accept");
      });
      QTest::mouseClick(button(t.forms().playlist(), "cmdsave"), Qt::LeftButton);
    };
    save(QStringLiteral("A"));
    QVERIFY(QFile::exists(dir.filePath("A.plt")));
    QVERIFY(!asked);
    t.core().list.appendEntry("/m/b.mp3");
    save(QString());
    QCOMPARE(proposed, QStringLiteral("A.plt"));
    QVERIFY(asked);
    QFile saved(dir.filePath("A.plt"));
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), QByteArray("/m/a.mp3\r\n/m/b.mp3\r\n"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"A.plt"});
  }

  void deleteKeyGoesThroughTheCommandWindowWithShuffleOn() {
    Started t({"/m/a.mp3", "/m/b.mp3", "/m/c.mp3", "/m/d.mp3"});
    QTest::mouseClick(child(t.forms().playlist(), "chkshuffle"), Qt::LeftButton);
    select(t, {0, 2});
    t.core().list.setListIndex2(2);
    QTest::keyClick(&view(t), Qt::Key_Delete);
    QCOMPARE(shownRows(t), (QStringList{"1   b.mp3", "2   d.mp3"}));
    QCOMPARE(sortedShuffle(t.core()), (std::vector<Index>{0, 1}));
    QCOMPARE(t.core().shared.lastkey, 46);
    QVERIFY(t.engine().opened.empty());
  }
};

QTEST_MAIN(FrmmenuTest)
#include "tst_frmmenu.moc"
