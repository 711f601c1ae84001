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
  void buttonsAndEngineEvents_data() {
    QTest::addColumn<QByteArray>("action");
    QTest::addColumn<int>("opens");
    QTest::addColumn<int>("last");
    QTest::addColumn<bool>("title");
    QTest::addColumn<bool>("timers");
    QTest::addColumn<bool>("bar");
    QTest::newRow("play") << QByteArray("cmdplay") << 2 << 1 << true << true << true;
    QTest::newRow("stop") << QByteArray("cmdstop") << 1 << 1 << false << false << true;
    QTest::newRow("pause") << QByteArray("cmdpause") << 1 << 1 << true << false << true;
    QTest::newRow("next") << QByteArray("cmdnext") << 2 << 2 << true << true << true;
    QTest::newRow("prev") << QByteArray("cmdprev") << 2 << 0 << true << true << true;
    QTest::newRow("end of stream") << QByteArray("end") << 2 << 2 << false << true << false;
    // Skipped on the marquee's next tick.
    QTest::newRow("error") << QByteArray("error") << 2 << 2 << true << true << true;
  }

  // The second entry plays when the button is clicked or the engine reports.
  void buttonsAndEngineEvents() {
    QFETCH(QByteArray, action);
    QFETCH(int, opens);
    QFETCH(int, last);
    QFETCH(bool, title);
    QFETCH(bool, timers);
    QFETCH(bool, bar);
    Started t(kThree);
    startPlaying(t, 1, 185);
    if (action == "end") {
      t.engine().raiseStreamEnded();
    } else if (action == "error") {
      t.engine().raiseError();
    } else {
      click(t.forms().main(), action.constData());
    }
    QTRY_COMPARE(int(t.engine().opened.size()), opens);
    QCOMPARE(t.engine().lastOpened(), kThree[last]);
    QCOMPARE(!text(t, "lblsongname").isEmpty(), title);
    QCOMPARE(child<QTimer>(t.forms().main(), "Timer2")->isActive(), timers);      // the marquee
    QCOMPARE(child<QTimer>(t.forms().playlist(), "Timer2")->isActive(), timers);  // the clock
    QCOMPARE(child(t.forms().main(), "picprog")->isVisible(), bar);
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

  void clicksOnTheBarSeek_data() {
    QTest::addColumn<QByteArray>("bar");
    QTest::addColumn<int>("x");
    QTest::addColumn<bool>("paused");
    QTest::addColumn<double>("position");
    QTest::addColumn<int>("fill");
    QTest::newRow("bar's left end") << QByteArray("picprog") << 8 << false << 0.0 << 8;
    QTest::newRow("bar's right end") << QByteArray("picprog") << 149 << false << 141.0 << 149;
    // 80 pixels on the fill are 1200 twips: the fill ends at 80, the position is 80 - 8 of 141.
    QTest::newRow("on the fill") << QByteArray("imgprog") << 80 << false << 72.0 << 80;
    QTest::newRow("paused: ignored") << QByteArray("picprog") << 149 << true << 0.0 << -1;
  }

  void clicksOnTheBarSeek() {
    QFETCH(QByteArray, bar);
    QFETCH(int, x);
    QFETCH(bool, paused);
    QFETCH(double, position);
    QFETCH(int, fill);
    Started t(kThree);
    startPlaying(t, 0, 141);
    if (paused) click(t.forms().main(), "cmdpause");
    QWidget* imgprog = child(t.forms().main(), "imgprog");
    const int before = imgprog->width();
    QTest::mouseRelease(child(t.forms().main(), bar), Qt::LeftButton, {}, QPoint(x, 5));
    QCOMPARE(t.engine().positionValue, position);
    QCOMPARE(imgprog->width(), fill < 0 ? before : fill);
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
