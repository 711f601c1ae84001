// The windows on a real X server, driven by a real pointer and keyboard (xdotool): the player's
// shape as the server holds it, a click through its cut-away corner, drags by its body for every
// hold and move, the windows it opens whole on the screen, and a keyboard-only journey read back
// through the accessibility interface. scripts/test.sh runs this once on a bare Xvfb and once
// under a window manager.
#include <QAccessible>
#include <QAccessibleTableInterface>
#include <QMenu>
#include <QProcess>
#include <QRegularExpression>
#include <QTimer>
#include <functional>
#include <memory>

#include "ui/RegionMask.h"
#include "core/EqualizerCommands.h"
#include "windows/frmAbout.h"
#include "ui/SkinImage.h"
#include "windows/frmeq.h"
#include "windows/frmsearch.h"
#include "support/TestForms.h"

using namespace sonavex;
using namespace sonavex::testing;

namespace {

// A point of the player's body: inside the ellipse, on no control.
constexpr QPoint kGrip(60, 80);

// Runs xdotool with the given commands while the event loop goes on; true once it has succeeded.
bool pointer(const QStringList& commands) {
  QProcess xdotool;
  xdotool.start(QStringLiteral("xdotool"), commands);
  if (!xdotool.waitForStarted(5000)) return false;
  return QTest::qWaitFor([&xdotool] { return xdotool.state() == QProcess::NotRunning; }, 10000) &&
         xdotool.exitStatus() == QProcess::NormalExit && xdotool.exitCode() == 0;
}

QStringList at(const QPoint& p) {
  return {QStringLiteral("mousemove"), QString::number(p.x()), QString::number(p.y())};
}

// Which top-level windows a button press went to.
struct Presses : QObject {
  QList<QWidget*> windows;
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::MouseButtonPress && watched->isWidgetType()) {
      QWidget* window = static_cast<QWidget*>(watched)->window();
      if (!windows.contains(window)) windows << window;
    }
    return false;
  }
};

// Real key presses through the X server to whichever window has the keyboard.
bool keys(const QStringList& names) {
  return pointer(QStringList{QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("40")} +
                 names);
}

QAccessibleInterface* findAccessible(QAccessibleInterface* node,
                                     const std::function<bool(QAccessibleInterface*)>& wanted) {
  if (!node) return nullptr;
  if (wanted(node)) return node;
  for (int i = 0; i < node->childCount(); ++i)
    if (QAccessibleInterface* found = findAccessible(node->child(i), wanted)) return found;
  return nullptr;
}

// The control that has the keyboard, by the name the accessibility tree of the active window gives
// (a list's current row says it is focused too: only controls count).
QString focused() {
  QWidget* window = QApplication::activeWindow();
  if (!window) return QStringLiteral("<no active window>");
  QAccessibleInterface* found =
      findAccessible(QAccessible::queryAccessibleInterface(window), [window](QAccessibleInterface* n) {
        return n->object() && n->object() != window && n->object()->isWidgetType() &&
               n->state().focused;
      });
  return found ? found->text(QAccessible::Name) : QStringLiteral("<nothing>");
}

// Presses Tab (or Shift+Tab) until the named control has the keyboard; false if it never gets it.
bool tabTo(const QString& name, const QString& key = QStringLiteral("Tab")) {
  for (int i = 0; i < 30 && focused() != name; ++i) {
    const QString before = focused();
    if (!keys({key}) || !QTest::qWaitFor([&] { return focused() != before; }, 3000)) return false;
  }
  return focused() == name;
}

// The names of every control shown in a window, as a screen reader finds them.
QStringList accessibleNames(QWidget& window) {
  QStringList names;
  findAccessible(QAccessible::queryAccessibleInterface(&window), [&names](QAccessibleInterface* n) {
    names << n->text(QAccessible::Name);
    return false;
  });
  return names;
}

// Presses `key` in the next modal dialog once it has the keyboard (from inside the dialog's own
// event loop, where the test's waiting is held up); the flag is true once it did.
std::shared_ptr<bool> answerModal(const QString& key) {
  auto answered = std::make_shared<bool>(false);
  auto* poll = new QTimer;
  QObject::connect(poll, &QTimer::timeout, [=] {
    if (!QApplication::activeModalWidget() || !QApplication::activeModalWidget()->isActiveWindow()) return;
    poll->deleteLater();
    *answered = QProcess::startDetached(QStringLiteral("xdotool"), {QStringLiteral("key"), key});
  });
  poll->start(50);
  return answered;
}

// Answers the file dialog with one file.
struct OneFile : FileDialog {
  std::string file;
  void ShowOpen() override { FileName = file; }
  void ShowSave() override {}
};

// The extents of the window's bounding shape as another client of the X server sees them (a query
// of our own would first send whatever our connection still holds).
QRect shapeExtentsSeenFromOutside(const QWidget& window) {
  QProcess xwininfo;
  xwininfo.start(QStringLiteral("xwininfo"),
                 {QStringLiteral("-id"), QString::number(window.winId()), QStringLiteral("-shape")});
  if (!xwininfo.waitForFinished(5000)) return {};
  const QString out = QString::fromLatin1(xwininfo.readAllStandardOutput());
  static const QRegularExpression extents(
      QStringLiteral("Window shape extents:\\s+(\\d+)x(\\d+)\\+(-?\\d+)\\+(-?\\d+)"));
  const QRegularExpressionMatch m = extents.match(out);
  if (!m.hasMatch()) return {};
  return QRect(m.captured(3).toInt(), m.captured(4).toInt(), m.captured(1).toInt(),
               m.captured(2).toInt());
}

// The started windows, once the iris is fully open and the player sits away from the screen edges.
struct Opened : Started {
  explicit Opened(const Paths& saved = {}) : Started(saved) {
    frmMain& player = forms().main();
    auto* iris = player.findChild<QTimer*>(QStringLiteral("Timer1"));
    QTRY_VERIFY_WITH_TIMEOUT(!iris->isActive(), 5000);
    player.move(300, 200);
    forms().dockCompanions();
    player.raise();
  }
};

}  // namespace

class X11Test : public QObject {
  Q_OBJECT

 private slots:
  // The player's shape reaches the server as the opened ellipse: its extents, and a click through
  // its cut-away corner that reaches the window below.
  void theServerHoldsTheOpenedEllipse() {
    Opened t;
    frmMain& player = t.forms().main();
    QCOMPARE(player.iris(), (Iris{16, 33, 237, 257}));
    QCOMPARE(player.mask(), maskOf(irisRegion(player.iris())));
    QWidget below(nullptr, Qt::FramelessWindowHint);
    below.setGeometry(player.frameGeometry());
    below.show();
    QVERIFY(QTest::qWaitForWindowExposed(&below));
    below.lower();
    player.raise();
    QCOMPARE(shapeExtentsSeenFromOutside(player), QRect(QPoint(16, 33), QPoint(236, 256)));
    // The body is the player's: it lies above the window below.
    const QPoint grip = player.mapToGlobal(kGrip);
    QTRY_COMPARE(QApplication::widgetAt(grip), static_cast<QWidget*>(&player));
    Presses presses;
    qApp->installEventFilter(&presses);
    QVERIFY(pointer(at(player.mapToGlobal(QPoint(8, 8))) << QStringLiteral("click") << QStringLiteral("1")));
    QTRY_COMPARE(presses.windows, QList<QWidget*>{&below});
  }

  void aDragEndsWhereTheButtonIsLetGo_data() {
    QTest::addColumn<int>("holdMs");
    QTest::addColumn<int>("move");
    for (int hold : {0, 50, 120, 300})
      for (int move : {0, 120})
        QTest::addRow("hold %d ms, move %d px", hold, move) << hold << move;
  }
  // A click never moves the player; after a drag it stays where the button was let go while the
  // pointer goes on without a button, and its companions dock to it there.
  void aDragEndsWhereTheButtonIsLetGo() {
    QFETCH(int, holdMs);
    QFETCH(int, move);
    Opened t;
    frmMain& player = t.forms().main();
    const QPoint start = player.pos();
    const QPoint grip = player.mapToGlobal(kGrip);
    QTRY_COMPARE(QApplication::widgetAt(grip), static_cast<QWidget*>(&player));
    const QPoint by(-move, move / 4);
    QStringList commands = at(grip) << QStringLiteral("mousedown") << QStringLiteral("1")
                                    << QStringLiteral("sleep") << QString::number(holdMs / 1000.0);
    if (move) commands << at(grip + by);
    commands << QStringLiteral("mouseup") << QStringLiteral("1") << QStringLiteral("sleep")
             << QStringLiteral("0.1") << at(grip + by + QPoint(200, 20)) << QStringLiteral("sleep")
             << QStringLiteral("0.1") << at(grip + by + QPoint(250, 60));
    QVERIFY(pointer(commands));
    QTRY_COMPARE(player.pos(), start + by);
    QTest::qWait(300);
    QCOMPARE(player.pos(), start + by);
    QTRY_COMPARE(undocked(t), QStringList());
  }

  // A flyout stays while the pointer goes between its button and its strip, and goes in when the
  // pointer leaves either for anywhere else, or when the panel is put away. The wipe's last shapes
  // uncover nothing; they must reach the server though no repaint follows.
  void aFlyoutGoesInWhenThePointerLeavesOrThePanelGoesWhichThenShowsNothing() {
    Opened t;
    frmplaylist& list = t.forms().playlist();
    QWidget* add = child(list, "cmdadd");
    frmmenu& menu = t.forms().menu();
    const QPoint button = add->mapToGlobal(add->rect().center());
    for (const QPoint away : {QPoint(0, 60), QPoint(0, -60)}) {  // below the strip, above the button
      QVERIFY(pointer(at(button)));
      QTRY_VERIFY(menu.isVisible());
      const QPoint dir = menu.mapToGlobal(child(menu, "cmddir")->geometry().center());
      QVERIFY(pointer(at(dir) << QStringLiteral("sleep") << QStringLiteral("0.3") << at(button)));
      QVERIFY(menu.isVisible());
      QVERIFY(pointer(at((away.y() > 0 ? dir : button) + away)));
      QTRY_VERIFY(!menu.isVisible());
    }
    QVERIFY(pointer(at(button)));
    QTRY_VERIFY(menu.isVisible());
    list.Image3_Click();
    QTRY_VERIFY(!menu.isVisible() && !list.hiding());
    const QRect extents = shapeExtentsSeenFromOutside(list);
    QVERIFY2(!extents.isNull() && !extents.intersects(list.rect()), "the hidden panel still shows");
  }

  // Near the screen's bottom-right corner the flyout, the search window and the About box still
  // show whole on the screen, and the flyout beside the list, off its button.
  void theWindowsItOpensShowWholeOnTheScreen() {
    Opened t;
    frmMain& player = t.forms().main();
    const QRect screen = player.screen()->availableGeometry();
    player.move(screen.right() - 2 * player.width(), screen.bottom() - player.height());
    t.forms().dockCompanions();
    // The panel's right edge just inside the screen: no room for the flyout beside it.
    player.move(player.pos() - QPoint(t.forms().playlist().frameGeometry().right() - screen.right() + 20, 0));
    t.forms().dockCompanions();
    t.forms().menu().placeBeside(t.forms().playlist());
    t.forms().menu().showFlyout(Flyout::Sort);
    t.forms().showSearch();
    t.forms().showAbout();
    for (QWidget* window : std::initializer_list<QWidget*>{&t.forms().menu(), t.forms().search(),
                                                           t.forms().about()}) {
      QVERIFY(QTest::qWaitForWindowExposed(window));
      const QRect shows = window->mask().isEmpty()
                              ? window->frameGeometry()
                              : window->mask().boundingRect().translated(window->geometry().topLeft());
      QTRY_VERIFY2(screen.contains(shows), qPrintable(window->objectName()));
    }
    QWidget* sort = child(t.forms().playlist(), "cmdsort");
    const QRect strip = t.forms().menu().mask().boundingRect().translated(t.forms().menu().pos());
    QVERIFY(!strip.intersects(QRect(sort->mapToGlobal(QPoint(0, 0)), sort->size())));
  }

  // Everything a person does without a mouse, with real keys, read back as a screen reader reads it.
  void theKeyboardAloneReachesEveryControl() {
    Opened t({"/m/one.mp3", "/m/two.mp3", "/m/three.mp3"});
    QAccessible::setActive(true);
    QTemporaryDir folder;  // the file added holds an MPEG frame: its File Info dialog shows
    OneFile dialog;
    dialog.file = folder.filePath(QStringLiteral("added.mp3")).toStdString();
    writeBytes(dialog.file, std::string("\xFF\xFB\x90\x64") + std::string(400, '\0'));
    FileDialog* const realDialog = std::exchange(t.core().platform.cd1, &dialog);
    frmplaylist& list = t.forms().playlist();
    frmMain& player = t.forms().main();
    list.activateWindow();
    list.list()->setFocus();
    view(t).setCurrentIndex(view(t).model()->index(1, 0));
    QTRY_COMPARE(focused(), QStringLiteral("Playlist"));

    // The song menu from both keys, for the focused row; the main menu from both over the player.
    QMenu* song = list.menus().mnupopup();
    for (const char* key : {"Menu", "shift+F10"}) {
      QVERIFY(keys({QLatin1String(key)}));
      QTRY_VERIFY2(song->isVisible(), key);
      QCOMPARE(coreSelection(t), Rows{1});
      QVERIFY(keys({QStringLiteral("Escape")}));
      QTRY_VERIFY(!song->isVisible());
    }
    // On the list Return plays the focused row and Right seeks forward; Delete removes the row, and
    // Ctrl+Z, Ctrl+Y and Ctrl+Shift+Z undo and redo that, the selection coming back with it.
    QVERIFY(keys({QStringLiteral("Return")}));
    QTRY_COMPARE(t.engine().opened, std::vector<std::string>{"/m/two.mp3"});
    t.engine().durationValue = 250;
    QVERIFY(keys({QStringLiteral("Right")}));
    QTRY_COMPARE(t.engine().positionValue, 10.0);
    for (const auto& [key, count] : {std::pair("Delete", 2), {"ctrl+z", 3}, {"ctrl+y", 2}, {"ctrl+z", 3},
                                     {"ctrl+shift+z", 2}, {"ctrl+z", 3}}) {
      QVERIFY(keys({QLatin1String(key)}));
      QTRY_COMPARE(t.core().list.count(), count);
    }
    QCOMPARE(std::pair(coreSelection(t), viewSelection(t)), std::pair(Rows{1}, Rows{1}));

    // Tab goes round every control of both windows; each is named for a screen reader.
    const QStringList ring{"add",  "rem",  "sort", "load",    "save",         "About Sonavex",
                           "play", "stop", "pause", "next",   "prev",         "Seek bar",
                           "Minimise", "Close", "Volume", "Shuffle", "Loop", "Hide playlist", "Playlist"};
    for (const QString& name : ring) {
      QVERIFY(keys({QStringLiteral("Tab")}));
      QTRY_COMPARE(focused(), name);
    }
    QVERIFY(keys({QStringLiteral("shift+Tab"), QStringLiteral("shift+Tab")}));
    QTRY_COMPARE(focused(), QStringLiteral("Loop"));
    // Enter and Space turn the boxes (shuffle on and off again, so the order stays plain).
    QVERIFY(keys({QStringLiteral("Return"), QStringLiteral("shift+Tab"), QStringLiteral("space")}));
    QTRY_COMPARE(t.core().chkshuffle, 1);
    QCOMPARE(t.core().chkloop, 0);
    QVERIFY(keys({QStringLiteral("space")}));
    QTRY_COMPARE(t.core().chkshuffle, 0);

    // The volume: arrows on the arc (its value read out), Up and Down or + and - on the player.
    QVERIFY(keys({QStringLiteral("shift+Tab")}));
    QTRY_COMPARE(focused(), QStringLiteral("Volume"));
    QVERIFY(keys({QStringLiteral("Down"), QStringLiteral("Left"), QStringLiteral("Right")}));
    QTRY_COMPARE(t.core().vol.level, 9000);
    QAccessibleInterface* arc = QAccessible::queryAccessibleInterface(child(t.forms().vol(), "arc"));
    QCOMPARE(arc->valueInterface()->currentValue().toDouble(), 90.0);
    QVERIFY(keys({QStringLiteral("shift+Tab"), QStringLiteral("minus"), QStringLiteral("Down")}));
    QTRY_COMPARE(t.core().vol.level, 7000);
    QVERIFY(keys({QStringLiteral("plus"), QStringLiteral("Up"), QStringLiteral("Tab"), QStringLiteral("Tab")}));
    QTRY_COMPARE(t.core().vol.level, 9000);

    QMenu* main = list.menus().mnupopupmain();
    for (const char* key : {"Menu", "shift+F10"}) {
      QVERIFY(keys({QStringLiteral("shift+Tab"), QStringLiteral("shift+Tab")}));
      QTRY_COMPARE(focused(), QStringLiteral("Close"));
      QVERIFY(keys({QLatin1String(key)}));
      QTRY_VERIFY2(main->isVisible(), key);
      QVERIFY(keys({QStringLiteral("Escape")}));
      QTRY_VERIFY(!main->isVisible());
      QVERIFY(keys({QStringLiteral("Tab"), QStringLiteral("Tab")}));
      QTRY_COMPARE(focused(), QStringLiteral("Shuffle"));
    }

    // The transport from the player's buttons; the new title and the times are read out.
    const std::pair<const char*, const char*> transport[] = {
        {"play", "open:/m/two.mp3"}, {"pause", "pause"}, {"stop", "stop"},
        {"next", "open:/m/three.mp3"}, {"prev", "open:/m/two.mp3"}};
    QVERIFY(tabTo(QStringLiteral("play"), QStringLiteral("shift+Tab")));
    for (const auto& [button, call] : transport) {
      QVERIFY(tabTo(QLatin1String(button)));
      t.engine().calls.clear();
      QVERIFY(keys({QStringLiteral("Return")}));
      QTRY_VERIFY2(std::count(t.engine().calls.begin(), t.engine().calls.end(), call), button);
    }
    // (What a reader hears of the title and the times: tests/e2e/reader_test.py, out of process.)

    // Each window is named for what it is; hidden twins and the other flyout pairs are not in the
    // tree.
    QStringList windows;
    for (QWidget* w : std::initializer_list<QWidget*>{&player, &list, &t.forms().vol(),
                                                      &t.forms().menu(), &t.forms().button()})
      windows << QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
    QCOMPARE(windows, (QStringList{"Sonavex", "Playlist", "Volume", "Playlist commands", "Show playlist"}));
    const QStringList shown = accessibleNames(player) + accessibleNames(list);
    for (const char* name : {"Close", "Minimise", "Hide playlist"})
      QVERIFY2(shown.count(QLatin1String(name)) == 1, name);

    // The add button's commands: the focus goes into the flyout and Escape brings it back.
    QVERIFY(tabTo(QStringLiteral("add")));
    QVERIFY(keys({QStringLiteral("Return")}));
    QTRY_COMPARE(focused(), QStringLiteral("file"));
    QCOMPARE(accessibleNames(t.forms().menu()).mid(1), (QStringList{"file", "dir", "add address"}));
    QVERIFY(keys({QStringLiteral("Tab")}));
    QTRY_COMPARE(focused(), QStringLiteral("dir"));
    QVERIFY(keys({QStringLiteral("Tab")}));
    QTRY_COMPARE(focused(), QStringLiteral("add address"));
    QVERIFY(keys({QStringLiteral("shift+Tab"), QStringLiteral("shift+Tab"), QStringLiteral("space")}));
    QTRY_COMPARE(QAccessible::queryAccessibleInterface(list.list())->tableInterface()->rowCount(), 4);
    QVERIFY(keys({QStringLiteral("Escape")}));
    QTRY_COMPARE(focused(), QStringLiteral("add"));

    // Each dialog gives the keyboard back to the control that opened it: the folder picker, load,
    // save, and File Info for the file just added (the list's last row).
    t.core().platform.cd1 = realDialog;
    QVERIFY(keys({QStringLiteral("Return")}));
    QTRY_COMPARE(focused(), QStringLiteral("file"));
    const std::pair<const char*, QStringList> openers[] = {
        {"dir", {"Return"}}, {"load", {"Return"}}, {"save", {"Return"}}, {"Playlist", {"End", "ctrl+i"}}};
    for (const auto& [opener, open] : openers) {
      QVERIFY2(tabTo(QLatin1String(opener)), qPrintable(focused() + " instead of " + opener));
      const std::shared_ptr<bool> answered = answerModal(QStringLiteral("Escape"));
      QVERIFY(keys(open));
      QTRY_VERIFY(*answered && !QApplication::activeModalWidget());
      QTRY_COMPARE(focused(), QLatin1String(opener));
      if (opener == std::string("dir")) QVERIFY(keys({QStringLiteral("Escape")}));  // out of the flyout
    }

    // Search from the song menu's access key, below the playlist window: type, search; Enter does
    // nothing until a match is chosen; pick the second, go there; typing hides the results again.
    QVERIFY(keys({QStringLiteral("Menu"), QStringLiteral("s")}));
    QTRY_VERIFY(t.forms().search() && t.forms().search()->isActiveWindow());
    QCOMPARE(t.forms().search()->pos(), list.frameGeometry().bottomLeft() + QPoint(0, 1));
    QTRY_COMPARE(focused(), QStringLiteral("Enter the string to be searched"));
    QVERIFY(keys({QStringLiteral("t"), QStringLiteral("Return"), QStringLiteral("Tab"),
                  QStringLiteral("Tab")}));
    QTRY_COMPARE(focused(), QStringLiteral("Track(s)"));
    QCOMPARE(child(*t.forms().search(), "notice")->accessibleName(), QStringLiteral("[ 2 items are found ]"));
    t.engine().opened.clear();
    QVERIFY(keys({QStringLiteral("Return"), QStringLiteral("Down"), QStringLiteral("Down"), QStringLiteral("Return")}));
    QTRY_COMPARE(t.engine().opened, std::vector<std::string>{"/m/three.mp3"});
    QVERIFY(keys({QStringLiteral("shift+Tab"), QStringLiteral("shift+Tab"), QStringLiteral("x")}));
    QTRY_VERIFY(!child(*t.forms().search(), "Frame1")->isVisible());
    QVERIFY(keys({QStringLiteral("Escape")}));
    QTRY_VERIFY(!t.forms().search());
    QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(&list));

    // The equalizer from its key: switched on, the preset after Flat chosen with an arrow, a band
    // raised (its value read out in dB) and back to 0 dB with Home; Escape puts it away.
    QVERIFY(keys({QStringLiteral("ctrl+e")}));
    frmeq& eq = t.forms().equalizer();
    QTRY_VERIFY(eq.isActiveWindow());
    QTRY_COMPARE(focused(), QStringLiteral("Equalizer on"));
    QVERIFY(keys({QStringLiteral("space")}));
    QTRY_VERIFY(t.core().sound.eq.on);
    // The preset box is named by its label, as readers on Linux take it; its value is the choice.
    QVERIFY(tabTo(QStringLiteral("Flat")));
    const auto labels = QAccessible::queryAccessibleInterface(eq.focusWidget())->relations(QAccessible::Label);
    QVERIFY(labels.size() == 1 && labels[0].first->text(QAccessible::Name) == QStringLiteral("Preset"));
    QVERIFY(keys({QStringLiteral("Down")}));
    QTRY_COMPARE(t.core().sound.eq.bandsDb, builtInPresets()[1].bandsDb);
    QVERIFY(tabTo(QStringLiteral("1 kHz")));
    QVERIFY(keys({QStringLiteral("Up"), QStringLiteral("Prior")}));
    QTRY_COMPARE(t.core().sound.eq.bandsDb[5], kSliderStepDb + kSliderPageDb);
    QCOMPARE(QAccessible::queryAccessibleInterface(eq.slider(6))->text(QAccessible::Value), QStringLiteral("+5 dB"));
    QVERIFY(keys({QStringLiteral("Home")}));
    QTRY_COMPARE(t.core().sound.eq.bandsDb[5], 0.0);
    QVERIFY(keys({QStringLiteral("Escape")}));
    QTRY_VERIFY(!eq.isVisible());
    QTRY_VERIFY(player.isActiveWindow());

    // About from its icon, closed with Enter on OK; then leave from the player's close image.
    QVERIFY(tabTo(QStringLiteral("About Sonavex")));
    QVERIFY(keys({QStringLiteral("Return")}));
    QTRY_VERIFY(t.forms().about() && t.forms().about()->isActiveWindow());
    QTRY_COMPARE(focused(), QStringLiteral("OK"));
    QVERIFY(keys({QStringLiteral("Return")}));
    QTRY_VERIFY(!t.forms().about());
    QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(&list));
    QVERIFY(tabTo(QStringLiteral("Close")));
    QVERIFY(keys({QStringLiteral("Return")}));
    QTRY_COMPARE(t.quitCalls(), 1);
    QAccessible::setActive(false);
  }
};

QTEST_MAIN(X11Test)
#include "tst_x11.moc"
