// The windows' shapes and motion: the iris, the slide, the hide wipe, the toggle button, dragging
// and docking, minimising, and what each control tells a screen reader.
#include <QAccessible>
#include <QCursor>
#include <QMenu>
#include <QScreen>
#include <QTimer>

#include "ui/RegionMask.h"
#include "ui/SkinImage.h"
#include "windows/frmAbout.h"
#include "core/model/ToggleButton.h"
#include "support/TestForms.h"

using namespace sonavex;
using namespace sonavex::testing;

namespace {

void send(QWidget* widget, QEvent::Type type, QPoint local, Qt::MouseButton button = Qt::NoButton) {
  const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
  QMouseEvent event(type, local, widget->mapToGlobal(QPointF(local)), button, held, Qt::NoModifier);
  QApplication::sendEvent(widget, &event);
}
void pointAt(QWidget* widget) { send(widget, QEvent::MouseMove, widget->rect().center()); }
void clickOn(QWidget* widget) {
  send(widget, QEvent::MouseButtonPress, widget->rect().center(), Qt::LeftButton);
  send(widget, QEvent::MouseButtonRelease, widget->rect().center(), Qt::LeftButton);
}

QTimer* timer(QWidget& window) { return window.findChild<QTimer*>(QStringLiteral("Timer1")); }

}  // namespace

class ShapesTest : public QObject {
  Q_OBJECT

 private slots:
  // The core's iris reaches the mask at every tick (driven by hand, before the start's slide lets
  // events run), and the timer stops once it is fully open.
  void theIrisAndThePanelsLoadShapeReachTheMasks() {
    TestForms t;
    frmMain& player = t.forms().main();
    QCOMPARE(player.size(), QSize(250, 274));
    QCOMPARE(child(player, "picprog")->mask(), maskOf(seekBarLens()));
    for (int tick = 0; timer(player)->isActive() && tick < 20; ++tick) {
      QCOMPARE(player.mask(), maskOf(irisRegion(player.iris())));
      player.Timer1_Timer();
    }
    QVERIFY(!timer(player)->isActive());
    QCOMPARE(player.mask(), maskOf(irisRegion({16, 33, 237, 257})));
    // The panel keeps its load shape until resized.
    frmplaylist& list = t.forms().playlist();
    list.show();
    QCOMPARE(list.mask(), maskOf(changeshape1(302, 178)));
    list.resize(302, 200);
    QCOMPARE(list.mask(), maskOf(resizeRegion(302, 200)));
    QCOMPARE(list.list()->height(), 200 - 27);
  }

  void thePlaylistSlidesInFromTheScreensRightEdgeAndDocks() {
    Started t({"/m/a.mp3"});
    frmplaylist& list = t.forms().playlist();
    list.move(0, 0);
    list.setMask(QRegion(0, 0, 5, 5));
    std::vector<int> lefts;
    bool eventsRan = false;
    QTimer::singleShot(0, [&] { eventsRan = true; });
    struct Recorder : QObject {
      std::vector<int>* lefts;
      bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::Move) lefts->push_back(static_cast<QWidget*>(o)->x());
        return false;
      }
    } recorder;
    recorder.lefts = &lefts;
    list.installEventFilter(&recorder);
    t.forms().playlistmotion();
    list.removeEventFilter(&recorder);

    QVERIFY(eventsRan && list.isVisible());
    QCOMPARE(list.mask(), maskOf(dockedPlaylistRegion(302, 178)));
    const int screenRight = list.screen()->geometry().right() + 1;
    QCOMPARE(lefts.front(), screenRight);
    for (std::size_t i = 1; i < lefts.size(); ++i) QVERIFY(lefts[i - 1] - lefts[i] <= 15);  // 222 twips
    QVERIFY(!undocked(t).contains(QStringLiteral("frmplaylist")));
  }

  void hidingWipesThePanelAwayAndItGoesOnPlaying() {
    Started t({"/m/a.mp3", "/m/b.mp3"});
    frmplaylist& list = t.forms().playlist();
    t.forms().main().cmdplay_Click();
    pointAt(child(list, "Image2"));
    QVERIFY(child(list, "Image3")->isVisible());
    QCursor::setPos(400, 300);
    clickOn(child(list, "Image3"));
    QCOMPARE(QCursor::pos(), QPoint(400, 300 - 45));
    QVERIFY(t.forms().button().isVisible());
    QCOMPARE(undocked(t), QStringList());
    QTRY_VERIFY(!list.hiding());
    QVERIFY(list.isVisible());
    t.engine().raiseStreamEnded();  // the hidden panel plays on
    QCOMPARE(t.engine().opened.back(), std::string("/m/b.mp3"));
  }

  void theToggleButtonLightsWhilePointedAtAndFetchesThePlaylist() {
    Started t({"/m/a.mp3"});
    frmplaylist& list = t.forms().playlist();
    list.Image3_Click();
    frmbutton& button = t.forms().button();
    QCOMPARE(button.mask(), maskOf(toggleButtonRegion(66, 52)));
    const QRect r = button.frameGeometry();
    QCursor::setPos(r.center());
    pointAt(child(button, "Image1"));
    QVERIFY(button.highlighted() && timer(button)->isActive());
    QCursor::setPos(QPoint(r.left() - 1, r.top()));  // the watch's own rule is the core's
    button.Timer1_Timer();
    QVERIFY(!button.highlighted() && !timer(button)->isActive());
    QCursor::setPos(r.center());
    pointAt(child(button, "Image1"));
    clickOn(child(button, "Image2"));
    QCOMPARE(QCursor::pos(), r.center() + QPoint(-88, -28));
    QVERIFY(!button.isVisible() && !list.hiding());
    QCOMPARE(list.mask(), maskOf(dockedPlaylistRegion(302, 178)));
    QCOMPARE(undocked(t), QStringList());
  }

  // While dragged the player moves alone (where a drag ends and the docking after it run on a real
  // X server). The right button does not drag but docks the companions at once and, let go, opens
  // the main menu.
  void thePlayerMovesAloneWhileDraggedAndTheRightButtonDocks() {
    Started t({"/m/a.mp3"});
    frmMain& player = t.forms().main();
    const QPoint start = player.pos() + QPoint(100, 50), listBefore = t.forms().playlist().pos();
    send(&player, QEvent::MouseButtonPress, QPoint(60, 200), Qt::LeftButton);
    send(&player, QEvent::MouseMove, QPoint(60 + 100, 200 + 50), Qt::LeftButton);
    QCOMPARE(std::pair(player.pos(), t.forms().playlist().pos()), std::pair(start, listBefore));
    send(&player, QEvent::MouseButtonRelease, QPoint(60, 200), Qt::LeftButton);
    t.forms().playlist().move(5, 5);
    send(&player, QEvent::MouseButtonPress, QPoint(60, 200), Qt::RightButton);
    QCOMPARE(player.pos(), start);
    QCOMPARE(undocked(t), QStringList());
    send(&player, QEvent::MouseButtonRelease, QPoint(60, 200), Qt::RightButton);
    QVERIFY(t.forms().playlist().menus().mnupopupmain()->isVisible());
    t.forms().playlist().menus().mnupopupmain()->hide();
  }

  // By the minimise image and by the window manager.
  void minimisingHidesTheCompanionsAndRestoringBringsThemBack() {
    for (const bool byImage : {true, false}) {
      Started t({"/m/a.mp3"});
      frmMain& player = t.forms().main();
      t.forms().showAbout();
      if (byImage) {
        pointAt(child(player, "imgmin1"));
        QVERIFY(child(player, "imgmin2")->isVisible());
        clickOn(child(player, "imgmin2"));
      } else {
        player.showMinimized();
      }
      QCoreApplication::processEvents();
      QVERIFY(player.isMinimized() && t.forms().playlist().hiding());
      for (QWidget* w : std::initializer_list<QWidget*>{t.forms().about(), &t.forms().button(), &t.forms().menu(),
                                                        &t.forms().vol(), &t.forms().playlist()})
        QVERIFY2(!w->isVisible(), qPrintable(w->objectName()));
      player.showNormal();
      QCoreApplication::processEvents();
      QVERIFY(t.forms().vol().isVisible() && t.forms().playlist().isVisible() && !t.forms().playlist().hiding());
      QCOMPARE(t.forms().playlist().mask(), maskOf(dockedPlaylistRegion(302, 178)));
    }
  }

  void closeAndMinimiseLightUpAndTheBodyPutsThemBack() {
    Started t;
    frmMain& player = t.forms().main();
    pointAt(child(player, "imgclose1"));
    pointAt(child(player, "imgmin1"));
    QVERIFY(child(player, "imgclose2")->isVisible() && child(player, "imgmin2")->isVisible());
    send(&player, QEvent::MouseMove, QPoint(60, 200));
    QVERIFY(child(player, "imgclose1")->isVisible() && child(player, "imgmin1")->isVisible());
    QVERIFY(!child(player, "imgclose2")->isVisible() && !child(player, "imgmin2")->isVisible());
    clickOn(child(player, "imgclose1"));
    QCOMPARE(t.quitCalls(), 0);  // only the lit image closes
    pointAt(child(player, "imgclose1"));
    clickOn(child(player, "imgclose2"));
    QCOMPARE(t.quitCalls(), 1);
  }

  // Custom-drawn or not, every control says what it is and what it is called.
  void everyControlHasANameAndARole() {
    Started t({"/m/a.mp3"});
    t.forms().showAbout();
    QAccessible::setActive(true);
    for (QWidget* window : std::initializer_list<QWidget*>{&t.forms().main(), &t.forms().playlist(),
                                                           &t.forms().menu(), &t.forms().vol(),
                                                           &t.forms().button(), t.forms().about()}) {
      for (QWidget* control : window->findChildren<QWidget*>()) {
        if (!qobject_cast<SkinImage*>(control) && !qobject_cast<QAbstractButton*>(control)) continue;
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(control);
        const QString what = window->objectName() + "." + control->objectName();
        QVERIFY2(a && !a->text(QAccessible::Name).isEmpty() && a->role() != QAccessible::Client, qPrintable(what));
      }
    }
    QAccessible::setActive(false);
  }
};

QTEST_MAIN(ShapesTest)
#include "tst_shapes.moc"
