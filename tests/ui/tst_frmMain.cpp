// The player window: the clock, the marquee and the seek bar as the core's face says, seeking on
// the bar and the keys released over the window. (Every transport button, pressed by keys, runs on
// a real X server.)
#include <QLabel>
#include <QTimer>

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
  // The clock ticks every second, the marquee (the name and four spaces) one character a tick; stop
  // empties the texts and stops both. The times use the user's decimal separator: the test runs
  // once more in a German locale.
  void timersShowTheTimeTheFillAndScrollTheTitle() {
    Started t(kThree);
    startPlaying(t, 1, 185);
    t.engine().positionValue = 90;
    const QString separator = qEnvironmentVariable("SONAVEX_EXPECT_DECIMAL", QStringLiteral("."));
    QTRY_COMPARE(text(t, "lblctime"), QStringLiteral("1") + separator + QStringLiteral("5"));
    QCOMPARE(text(t, "lblttime"), QStringLiteral("3") + separator + QStringLiteral("08"));
    QCOMPARE(child(t.forms().main(), "imgprog")->width(), 77);
    QTRY_COMPARE(text(t, "lblsongname"), QStringLiteral("w\uFFFD.mp3    t"));
    click(t.forms().main(), "cmdstop");
    QCOMPARE(text(t, "lblsongname") + text(t, "lblctime") + text(t, "lblttime"), QString());
    QVERIFY(!child<QTimer>(t.forms().main(), "Timer2")->isActive() &&
            !child<QTimer>(t.forms().playlist(), "Timer2")->isActive());
  }

  // A click on the bar reaches the core in pixels, one on the fill in twips (80 pixels: 1200), and
  // the fill follows. Keys act on their release, and only when this window saw the press: Right
  // seeks forward by a twenty-fifth.
  void clicksOnTheBarAndTheRightArrowSeek() {
    Started t(kThree);
    startPlaying(t, 0, 141);
    QWidget& player = t.forms().main();
    for (const auto& [bar, x, position, fill] : {std::tuple("imgprog", 80, 72.0, 80), {"picprog", 149, 141.0, 149}}) {
      QTest::mouseRelease(child(player, bar), Qt::LeftButton, {}, QPoint(x, 5));
      QCOMPARE(std::pair(t.engine().positionValue, child(player, "imgprog")->width()), std::pair(position, fill));
    }
    t.engine().durationValue = 250;
    t.engine().positionValue = 100;
    QTest::keyRelease(&player, Qt::Key_Right);  // pressed over another window
    QCOMPARE(t.engine().positionValue, 100.0);
    QTest::keyClick(&player, Qt::Key_Right);
    QCOMPARE(t.engine().positionValue, 110.0);
  }
};

QTEST_MAIN(FrmMainTest)
#include "tst_frmMain.moc"
