// The windows on a real X server, driven by a real pointer (xdotool): the player's shape as the
// server holds it, a click through its cut-away corner, and a drag by its body that moves it and
// docks its companions. scripts/test.sh runs this once on a bare Xvfb (the drag moves the window by
// hand) and once with a window manager (the window manager moves it).
#include <QGuiApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTimer>

#include "ui/RegionMask.h"
#include "ui/Twips.h"
#include "ui/WindowDrag.h"
#include "windows/frmmenu.h"
#include "windows/frmbutton.h"
#include "windows/frmvol.h"
#include "support/TestForms.h"

// Xlib's macros (None, Bool, Status...) clash with Qt's names: its headers come last.
#include <X11/Xlib.h>
#include <X11/extensions/shape.h>

using namespace sonavex;
using namespace sonavex::testing;

namespace {

// A point of the player's body: inside the ellipse, on no control.
constexpr QPoint kGrip(60, 80);

// The bounding shape the X server holds for the window.
QRegion serverShape(const QWidget& window) {
  Display* display = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->display();
  int event = 0, error = 0;
  if (!display || !XShapeQueryExtension(display, &event, &error)) qFatal("no X shape extension");
  int count = 0, ordering = 0;
  XRectangle* rects =
      XShapeGetRectangles(display, window.winId(), ShapeBounding, &count, &ordering);
  QRegion shape;
  for (int i = 0; i < count; ++i)
    shape += QRect(rects[i].x, rects[i].y, rects[i].width, rects[i].height);
  if (rects) XFree(rects);
  return shape;
}

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

QPoint qPoint(Point p) { return {p.x, p.y}; }

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
  Opened() {
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
  void serverShapeIsTheOpenedEllipse() {
    Opened t;
    frmMain& player = t.forms().main();
    QVERIFY(QTest::qWaitForWindowExposed(&player));
    QCOMPARE(player.iris(), (Iris{16, 33, 237, 257}));
    const QRegion ellipse = maskOf(irisRegion(player.iris()));
    QCOMPARE(player.mask(), ellipse);
    const QRegion shape = serverShape(player);
    QCOMPARE(shape.boundingRect(), QRect(QPoint(16, 33), QPoint(236, 256)));
    QVERIFY2(shape.xored(ellipse).isEmpty(), "the server's shape differs from the ellipse");
  }

  // The wipe's last shapes uncover nothing; they must reach the server though no repaint follows.
  void theHiddenPanelShowsNothing() {
    Opened t;
    frmplaylist& list = t.forms().playlist();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    list.Image3_Click();
    QTRY_VERIFY(!list.hiding());
    const QRect extents = shapeExtentsSeenFromOutside(list);
    QVERIFY(!extents.isNull());
    QVERIFY2(!extents.intersects(list.rect()), "the hidden panel still shows on the server");
  }

  void clickOutsideTheEllipseReachesTheWindowBelow() {
    Opened t;
    frmMain& player = t.forms().main();
    QWidget below(nullptr, Qt::FramelessWindowHint);
    below.setGeometry(player.frameGeometry());
    below.show();
    QVERIFY(QTest::qWaitForWindowExposed(&below));
    below.lower();
    player.raise();
    // The body is the player's: it lies above the window below.
    const QPoint grip = player.mapToGlobal(kGrip);
    QTRY_COMPARE(QApplication::widgetAt(grip), static_cast<QWidget*>(&player));
    Presses presses;
    qApp->installEventFilter(&presses);
    QVERIFY(pointer(at(player.mapToGlobal(QPoint(8, 8)))
                    << QStringLiteral("click") << QStringLiteral("1")));
    QTRY_COMPARE(presses.windows, QList<QWidget*>{&below});
  }

  void dragByTheBodyMovesThePlayerAndDocksItsCompanions() {
    Opened t;
    frmMain& player = t.forms().main();
    QSignalSpy ended(player.findChild<WindowDrag*>(), &WindowDrag::ended);
    const QPoint start = player.pos();
    const QPoint grip = player.mapToGlobal(kGrip);
    QTRY_COMPARE(QApplication::widgetAt(grip), static_cast<QWidget*>(&player));
    // Left and down: away from the docked playlist window, whose edge a window manager resists.
    const QPoint by(-140, 90);
    QStringList commands = at(grip) << QStringLiteral("mousedown") << QStringLiteral("1");
    constexpr int kSteps = 7;
    for (int step = 1; step <= kSteps; ++step)
      commands << QStringLiteral("sleep") << QStringLiteral("0.05")
               << at(grip + by * step / kSteps);
    commands << QStringLiteral("sleep") << QStringLiteral("0.1") << QStringLiteral("mouseup")
             << QStringLiteral("1");
    QVERIFY(pointer(commands));
    QTRY_COMPARE(player.pos(), start + by);
    QTRY_VERIFY(!ended.isEmpty());
    const double tpp = twipsPerPixel(player);
    const WindowRect moved = outerRect(player);
    QTRY_COMPARE(t.forms().playlist().pos(), qPoint(playlistDock(moved, tpp)));
    QTRY_COMPARE(t.forms().menu().pos(), qPoint(menuDock(outerRect(t.forms().playlist()), tpp)));
    QTRY_COMPARE(t.forms().button().pos(), qPoint(toggleButtonDock(moved, tpp)));
    QTRY_COMPARE(t.forms().vol().pos(), qPoint(volumeDock(moved, tpp)));
  }
};

QTEST_MAIN(X11Test)
#include "tst_x11.moc"
