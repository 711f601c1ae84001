// The command window: its flyout beside the playlist window, and every list command reaching the
// core through its button or the playlist window's popup handler, the list showing the outcome;
// the real save dialog.
#include <QComboBox>
#include <QEnterEvent>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTimer>

#include "ui/RegionMask.h"
#include "windows/frmaddress.h"
#include "support/TestForms.h"

using namespace sonavex;
using namespace sonavex::testing;

namespace {
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

// A command of the command window or the playlist window, and the list it leaves.
struct Command {
  const char* label;
  const char* button;  // of either window, or
  const char* popup;   // an item of the playlist window's song menu
  Rows selected;
  const char* vanished;  // removed from the disk before the command
  QStringList shown;
};
const QStringList kUnchanged{"1   b.mp3", "2   C.mp3", "3   a.mp3", "4   d.mp3", "5   e.mp3"};
// clang-format off
const Command kCommands[] = {
    {"file", "cmdfile", nullptr, {}, "", kUnchanged + QStringList{"6   list.plt"}},
    {"dir", "cmddir", nullptr, {}, "", kUnchanged + QStringList{"6   f.mp3", "7   g.wav"}},
    {"load", "cmdload", nullptr, {}, "", kUnchanged + QStringList{"6   one.mp3"}},
    {"sel", "cmdsel", nullptr, {1, 3}, "", {"1   b.mp3", "2   a.mp3", "3   e.mp3"}},
    {"all", "cmdall", nullptr, {1}, "", {}},
    {"name", "cmdname", nullptr, {}, "", {"1   a.mp3", "2   b.mp3", "3   C.mp3", "4   d.mp3", "5   e.mp3"}},
    {"crop", nullptr, "mnucrop", {3}, "", {"1   d.mp3"}},
    {"invalid", nullptr, "mnuinvalid", {}, "e.mp3", kUnchanged.mid(0, 4)},
    {"delete from disk", nullptr, "mnudelfromdisk", {1}, "", {"1   b.mp3", "2   a.mp3", "3   d.mp3", "4   e.mp3"}},
    {"delete all from disk", nullptr, "mnudelfromharddisk", {}, "", {}},
};
// clang-format on

// Answers the file dialog with one file and the folder picker with one folder, noting whether the
// busy pointer was up while the folder was asked for.
struct Answers : FileDialog, FolderPicker {
  std::string file, folder;
  bool busyWhileAsking = false;
  void ShowOpen() override { FileName = file; }
  void ShowSave() override { FileName = file; }
  std::string BrowseForFolder(const std::string&) override {
    const QCursor* cursor = QGuiApplication::overrideCursor();
    busyWhileAsking = cursor && cursor->shape() == Qt::WaitCursor;
    return folder;
  }
};

// The entries are b, C, a, d, e.mp3, all on disk; new/ holds f.mp3, g.wav and list.plt, the
// file the dialog gives. The view hears of each command once, and the disk commands ask Yes.
void runCommand(const Command& c) {
  QTemporaryDir dir;
  const auto at = [&dir](const char* name) { return dir.filePath(name).toStdString(); };
  QVERIFY(QDir(dir.path()).mkdir("new"));
  for (const char* name : {"b.mp3", "C.mp3", "a.mp3", "d.mp3", "e.mp3", "new/f.mp3", "new/g.wav"})
    writeBytes(at(name), "x");
  writeBytes(at("new/list.plt"), "/x/one.mp3\r\n");
  Started t({at("b.mp3"), at("C.mp3"), at("a.mp3"), at("d.mp3"), at("e.mp3")});
  if (*c.vanished) QVERIFY(QFile::remove(dir.filePath(c.vanished)));
  ScriptedMessages boxes;
  Answers answers;
  answers.file = at("new/list.plt");
  answers.folder = at("new");
  t.core().platform = {&boxes, &answers, &answers, t.core().platform.busy};
  t.core().list.listrefreshing();
  for (Index r : c.selected) t.core().list.setSelected(r, true);
  QSignalSpy inserted(view(t).model(), &QAbstractItemModel::rowsInserted);
  QSignalSpy reset(view(t).model(), &QAbstractItemModel::modelReset);

  if (c.popup) {
    child<QAction>(t.forms().playlist(), c.popup)->trigger();
  } else {
    auto* button = t.forms().menu().findChild<QPushButton*>(c.button);
    click(button ? t.forms().menu() : static_cast<QWidget&>(t.forms().playlist()), c.button);
  }

  QCOMPARE(shownRows(t), c.shown);
  QCOMPARE(viewSelection(t), coreSelection(t));
  QCOMPARE(inserted.count(), c.shown.size() > 5 ? 1 : 0);
  QCOMPARE(reset.count(), c.shown.size() > 5 ? 0 : 1);
  QCOMPARE(answers.busyWhileAsking, c.label == std::string("dir"));
  QVERIFY(QGuiApplication::overrideCursor() == nullptr);
}

}  // namespace

class FrmmenuTest : public QObject {
  Q_OBJECT

 private slots:
  // Only the pair's strip shows, just right of the panel and level with the pointed button, also
  // once the panel has moved; the pointer over the list side hides it again.
  void pointingAtAButtonFliesOutItsPair() {
    const struct { const char *pointed, *first, *second; } rows[] = {
        {"cmdadd", "cmdfile", "cmddir"}, {"cmdrem", "cmdsel", "cmdall"}, {"cmdsort", "cmdname", "cmdrnd"}};
    for (const auto& r : rows) {
      Started t({"/m/a.mp3"});
      frmplaylist& panel = t.forms().playlist();
      QWidget* button = child(panel, r.pointed);
      pointAt(button);
      frmmenu& menu = t.forms().menu();
      QVERIFY(menu.isVisible());
      QCOMPARE(menu.mask(), maskOf(flyoutRegion(menu.shownFlyout(), button->y(), button->height(), menu.width())));
      for (const char* name : {"cmdfile", "cmddir", "cmdsel", "cmdall", "cmdname", "cmdrnd"}) {
        const bool strip = menu.mask().contains(child(menu, name)->geometry().center());
        QVERIFY2(strip == (r.first == std::string(name) || r.second == std::string(name)), name);
      }
      for (const QPoint shift : {QPoint(0, 0), QPoint(40, 30)}) {
        panel.move(panel.pos() + shift);
        QVERIFY(!undocked(t).contains(QStringLiteral("frmmenu")));
        QCOMPARE(menu.mapToGlobal(child(menu, r.first)->geometry().center()).y(),
                 button->mapToGlobal(button->rect().center()).y());
      }
      // Right of the buttons, on the way to the flyout, it stays; from x 288 leftwards it goes.
      moveOverPanel(t, 289, 150);
      QVERIFY(menu.isVisible());
      moveOverPanel(t, 288, 150);
      QVERIFY(!menu.isVisible());
    }
  }

  // Every command reaches the core; rand brings twenty entries back in another order (the same one
  // is all but impossible), all kept.
  void everyCommandReachesTheCoreAndTheListShowsIt() {
    for (const Command& c : kCommands) {
      runCommand(c);
      if (QTest::currentTestFailed()) QFAIL(c.label);
    }
    Paths paths;
    for (int i = 10; i < 30; ++i) paths.push_back("/m/" + std::to_string(i) + ".mp3");
    Started t(paths);
    click(t.forms().menu(), "cmdrnd");
    Paths after = t.core().list.paths();
    QVERIFY(after != paths);
    std::sort(after.begin(), after.end());
    QCOMPARE(after, paths);
  }

  // The save dialog proposes the last name as it was chosen, adds ".plt" (or, under the m3u8
  // filter, ".m3u8") to a bare name and asks before replacing a file; the case-blind pattern never
  // leaks into the name.
  void saveDialogNamesAndOverwriteQuestion() {
    Started t({"/m/a.mp3"});
    QTemporaryDir dir;
    QString proposed;
    QStringList filters;
    bool asked = false;
    const auto save = [&](const QString& typed, int filter = 0) {
      onFileDialog([&, typed, filter](QFileDialog* dialog) {
        dialog->setDirectory(dir.path());
        if (filter > 0) {  // chosen as a person chooses it
          auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
          types->setCurrentIndex(filter);
          emit types->textActivated(types->currentText());
          emit types->activated(filter);
        }
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        proposed = name->text();
        filters = dialog->nameFilters();
        if (!typed.isEmpty()) name->setText(typed);
        QTimer::singleShot(0, [&] {
          if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            asked = true;
            box->button(QMessageBox::Yes)->click();
          }
        });
        QMetaObject::invokeMethod(dialog, "accept");
      });
      click(t.forms().playlist(), "cmdsave");
    };
    save(QStringLiteral("A"));
    QVERIFY(QFile::exists(dir.filePath("A.plt")));
    QVERIFY(!asked);
    QCOMPARE(filters, (QStringList{"*.plt (playlistfiles) (*.plt *.[pP][lL][tT])",
                                   "*.m3u8 (m3u8 playlists) (*.m3u8 *.[mM]3[uU]8)"}));
    t.core().list.appendEntry("/m/b.mp3");
    save(QString());
    QCOMPARE(proposed, QStringLiteral("A.plt"));
    QVERIFY(asked);
    std::string saved;
    QVERIFY(readWholeFile(dir.filePath("A.plt").toStdString(), saved));
    QCOMPARE(saved, std::string("/m/a.mp3\r\n/m/b.mp3\r\n"));
    save(QStringLiteral("B"), 1);  // what a name ending so holds is the core's to check
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), (QStringList{"A.plt", "B.m3u8"}));
  }

  // The add flyout's url button and the main menu's item open the address dialog: typed keys and
  // Enter add an http(s) address as it is written, and anything else is refused there, adding
  // nothing; Escape closes it.
  void theAddressDialogAddsAnAddressAndRefusesAnythingElse() {
    Started t({"/m/a.mp3"});
    const struct { const char* typed; bool added; } rows[] = {
        {"ftp://x.example/a", false}, {"", false}, {"  http://radio.example/live?q=1 ", true}};
    for (const auto& r : rows) {
      click(t.forms().menu(), "cmdurl");
      frmaddress* dialog = t.forms().address();
      QVERIFY(dialog && dialog->isVisible());
      auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("txtaddress"));
      edit->clear();
      QTest::keyClicks(edit, QString::fromLatin1(r.typed));
      QTest::keyClick(edit, Qt::Key_Return);
      if (r.added) {
        QTRY_COMPARE(shownRows(t), (QStringList{"1   a.mp3", "2   http://radio.example/live?q=1"}));
        QTRY_VERIFY(!t.forms().address());
      } else {
        QCOMPARE(shownRows(t), QStringList{"1   a.mp3"});
        QVERIFY(dialog->findChild<QLabel*>(QStringLiteral("lblrefusal"))->text().contains("http://"));
      }
    }
    child<QAction>(t.forms().playlist(), "mnuaddress")->trigger();
    QVERIFY(t.forms().address());
    QTest::keyClick(t.forms().address()->findChild<QLineEdit*>(QStringLiteral("txtaddress")), Qt::Key_Escape);
    QTRY_VERIFY(!t.forms().address());
  }
};

QTEST_MAIN(FrmmenuTest)
#include "tst_frmmenu.moc"
