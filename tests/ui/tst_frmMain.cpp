// The player window: the transport buttons, the engine's notifications as the player shows them,
// its timers, seeking on the bar and the keys released over the window.
#include <QLabel>
#include <QTimer>
#include <cmath>

#include "support/TestForms.h"

using namespace sonavex;
using namespace sonavex::testing;

namespace {
// The second name is not UTF-8: it shows with a replacement character.
const Paths kThree = {"/music/one.mp3", "/music/tw\xff.mp3", "/music/three.mp3"};

QString text(TestForms& t, const char* label) {
  return child<QLabel>(t.forms().main(), label)->text();
}

// Opens entry i as if the user had played it, and lets the engine announce the stream.
void startPlaying(TestForms& t, Index i, double duration) {
  t.core().list.markEntry(i);
  t.forms().main().cmdplay_Click();
  t.engine().durationValue = duration;
  t.engine().raiseNewStream();
}
}  // namespace

class FrmMainTest : public QObject {
  Q_OBJECT

 private slots:
  // The second entry plays when a button is clicked or the engine reports (an error is skipped on
  // the marquee's next tick); the window then shows the core's face: the title, the marquee and
  // clock timers, the seek bar. (Every transport button, pressed by keys, runs on a real X server.)
  void buttonsAndEngineEvents() {
    const struct { const char* action; int opens, last; } rows[] = {
        {"cmdstop", 1, 1}, {"cmdnext", 2, 2}, {"end", 2, 2}, {"error", 2, 2}};
    for (const auto& r : rows) {
      Started t(kThree);
      startPlaying(t, 1, 185);
      const std::string action = r.action;
      if (action == "end") {
        t.engine().raiseStreamEnded();
      } else if (action == "error") {
        t.engine().raiseError();
      } else {
        click(t.forms().main(), r.action);
      }
      QTRY_COMPARE(int(t.engine().opened.size()), r.opens);
      QCOMPARE(t.engine().lastOpened(), kThree[r.last]);
      const PlayerFace& face = t.core().face;
      QCOMPARE(text(t, "lblsongname"), QString::fromStdString(face.lblsongname));
      QCOMPARE(child<QTimer>(t.forms().main(), "Timer2")->isActive(), face.marqueeTimerOn);
      QCOMPARE(child<QTimer>(t.forms().playlist(), "Timer2")->isActive(), face.clockTimerOn);
      QCOMPARE(child(t.forms().main(), "picprog")->isVisible(), face.progVisible);
    }
  }

  void timersShowTheTimeTheFillAndScrollTheTitle() {
    Started t(kThree);
    startPlaying(t, 1, 185);
    t.engine().positionValue = 90;
    // The clock ticks every second, the marquee (the name and four spaces) one character a tick.
    // The times use the user's decimal separator: the test runs once more in a German locale.
    const QString separator = qEnvironmentVariable("SONAVEX_EXPECT_DECIMAL", QStringLiteral("."));
    QTRY_COMPARE(text(t, "lblctime"), QStringLiteral("1") + separator + QStringLiteral("5"));
    QCOMPARE(text(t, "lblttime"), QStringLiteral("3") + separator + QStringLiteral("08"));
    QCOMPARE(child(t.forms().main(), "imgprog")->width(), int(std::lround(8 + 90.0 * 141 / 185)));
    QTRY_COMPARE(text(t, "lblsongname"), QStringLiteral("w\uFFFD.mp3    t"));
  }

  // A click on the bar reaches the core in pixels, one on the fill in twips (80 pixels: 1200).
  void clicksOnTheBarSeek() {
    const struct { const char* bar; int x; double position; } rows[] = {{"picprog", 149, 141}, {"imgprog", 80, 72}};
    for (const auto& r : rows) {
      Started t(kThree);
      startPlaying(t, 0, 141);
      QTest::mouseRelease(child(t.forms().main(), r.bar), Qt::LeftButton, {}, QPoint(r.x, 5));
      QCOMPARE(t.engine().positionValue, r.position);
      QCOMPARE(child(t.forms().main(), "imgprog")->width(), int(t.core().face.imgprogWidth));
    }
  }

  // Keys act on their release, and only when this window saw the press: Right seeks forward.
  void rightArrowReleasedOverThePlayerSeeks() {
    Started t(kThree);
    startPlaying(t, 1, 250);
    t.engine().positionValue = 100;
    QTest::keyRelease(&t.forms().main(), Qt::Key_Right);  // pressed over another window
    QCOMPARE(t.engine().positionValue, 100.0);
    QTest::keyClick(&t.forms().main(), Qt::Key_Right);
    QCOMPARE(t.engine().positionValue, 110.0);
  }
};

QTEST_MAIN(FrmMainTest)
#include "tst_frmMain.moc"
