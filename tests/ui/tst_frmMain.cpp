// The player window: its controls, the transport buttons, the engine's notifications as the player
// shows them, seeking on the bar and the keys released over the window.
#include <QLabel>
#include <QTimer>
#include <cmath>

#include "support/TestForms.h"

using namespace sonavex;
using namespace sonavex::testing;

namespace {
const std::vector<std::string> kThree = {"/music/one.mp3", "/music/two.mp3", "/music/three.mp3"};

QString text(TestForms& t, const char* label) {
  return child<QLabel>(t.forms().main(), label)->text();
}
void click(TestForms& t, const char* button) {
  QTest::mouseClick(child<QPushButton>(t.forms().main(), button), Qt::LeftButton);
}
bool marqueeRunning(TestForms& t) { return child<QTimer>(t.forms().main(), "Timer2")->isActive(); }
bool clockRunning(TestForms& t) {
  return child<QTimer>(t.forms().playlist(), "Timer2")->isActive();
}

// Opens entry i as if the user had played it, and lets the engine announce the stream.
void startPlaying(TestForms& t, Index i, double duration) {
  t.core().list.markEntry(i);
  t.forms().main().cmdplay_Click();
  t.engine().durationValue = duration;
  t.engine().raiseNewStream();
}

void releaseOn(TestForms& t, const char* bar, int x) {
  QTest::mouseRelease(child(t.forms().main(), bar), Qt::LeftButton, {}, QPoint(x, 5));
}
}  // namespace

class FrmMainTest : public QObject {
  Q_OBJECT

 private slots:
  void controlsAreNamedAndPlaced() {
    Started t;
    frmMain& w = t.forms().main();
    QCOMPARE(w.windowTitle(), QStringLiteral("Sonavex"));
    QCOMPARE(w.size(), QSize(244, 249));
    for (const char* name : {"play", "stop", "pause", "next", "prev"}) {
      auto* b = child<QPushButton>(w, ("cmd" + std::string(name)).c_str());
      QCOMPARE(b->text(), QLatin1String(name));
      QCOMPARE(b->size(), QSize(33, 25));
    }
    QCOMPARE(child(w, "lblsongname")->geometry(), QRect(40, 72, 373, 15));
    QCOMPARE(child(w, "picprog")->geometry(), QRect(41, 144, 161, 41));
    QVERIFY(child(w, "lbltmp")->isHidden() && child(w, "lbltmp1")->isHidden());
    QCOMPARE(child<QTimer>(w, "Timer2")->interval(), 222);
    QVERIFY(!marqueeRunning(t));
    QVERIFY(w.changeshape());
  }

  void playStartsTheFocusedEntryOrTheFirst_data() {
    QTest::addColumn<int>("focused");
    QTest::addColumn<int>("played");
    QTest::newRow("nothing focused") << -1 << 0;
    QTest::newRow("third focused") << 2 << 2;
  }

  void playStartsTheFocusedEntryOrTheFirst() {
    QFETCH(int, focused);
    QFETCH(int, played);
    Started t(kThree);
    if (focused >= 0) t.core().list.markEntry(focused);
    click(t, "cmdplay");
    QCOMPARE(t.engine().lastOpened(), kThree[played]);
    QCOMPARE(t.core().shared.tracknumber, std::optional<Index>(played + 1));
  }

  void newStreamFillsTheTitleAndStartsBothTimers_data() {
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QString>("title");
    QTest::newRow("plain") << QByteArray("two.mp3") << QStringLiteral("two.mp3  ");
    QTest::newRow("not UTF-8") << QByteArray(
                                      "bad\xff"
                                      "name.mp3")
                               << QStringLiteral("bad") + QChar(0xFFFD) +
                                      QStringLiteral("name.mp3  ");
  }

  void newStreamFillsTheTitleAndStartsBothTimers() {
    QFETCH(QByteArray, name);
    QFETCH(QString, title);
    Started t({"/music/" + name.toStdString()});
    startPlaying(t, 0, 185);
    QCOMPARE(text(t, "lblsongname"), title);
    QCOMPARE(text(t, "lbltmp1"), title);
    QVERIFY(marqueeRunning(t) && clockRunning(t));
    QVERIFY(child(t.forms().main(), "picprog")->isVisible());
  }

  void stopEmptiesTheLabelsAndDoesNotAdvance() {
    Started t(kThree);
    startPlaying(t, 0, 185);
    t.engine().positionValue = 90;
    click(t, "cmdstop");
    for (const char* label : {"lblsongname", "lblctime", "lblttime"})
      QCOMPARE(text(t, label), QString());
    QVERIFY(!marqueeRunning(t) && !clockRunning(t));
    QCOMPARE(t.engine().opened.size(), std::size_t{1});
    QCOMPARE(t.engine().state, kStopped);
  }

  void streamEndAdvancesOnceAndClearsTheLabels() {
    Started t(kThree);
    startPlaying(t, 0, 185);
    t.engine().raiseStreamEnded();
    QCOMPARE(t.engine().opened, (std::vector<std::string>{kThree[0], kThree[1]}));
    QCOMPARE(t.core().shared.tracknumber, std::optional<Index>(2));
    QCOMPARE(text(t, "lblsongname"), QString());
    QCOMPARE(text(t, "lblctime"), QString());
    QVERIFY(child(t.forms().main(), "picprog")->isHidden());
  }

  void timersShowTheTimeTheFillAndScrollTheTitle() {
    Started t(kThree);
    startPlaying(t, 1, 185);
    t.engine().positionValue = 90;
    // The clock ticks every second, the marquee ("two.mp3" and four spaces) one character a tick.
    // The times use the user's decimal separator: the test runs once more in a German locale.
    const QString separator = qEnvironmentVariable("SONAVEX_EXPECT_DECIMAL", QStringLiteral("."));
    QTRY_COMPARE(text(t, "lblctime"), QStringLiteral("1") + separator + QStringLiteral("5"));
    QCOMPARE(text(t, "lblttime"), QStringLiteral("3") + separator + QStringLiteral("08"));
    QCOMPARE(child(t.forms().main(), "imgprog")->width(), int(std::lround(8 + 90.0 * 141 / 185)));
    QTRY_COMPARE(text(t, "lblsongname"), QStringLiteral("wo.mp3    t"));
  }

  void clicksOnTheBarSeek_data() {
    QTest::addColumn<QByteArray>("bar");
    QTest::addColumn<int>("x");
    QTest::addColumn<double>("position");
    QTest::addColumn<int>("fill");
    QTest::newRow("bar's left end") << QByteArray("picprog") << 8 << 0.0 << 8;
    QTest::newRow("bar's right end") << QByteArray("picprog") << 149 << 141.0 << 149;
    // 80 pixels on the fill are 1200 twips: the fill ends at 80, the position is 80 - 8 of 141.
    QTest::newRow("on the fill") << QByteArray("imgprog") << 80 << 72.0 << 80;
  }

  void clicksOnTheBarSeek() {
    QFETCH(QByteArray, bar);
    QFETCH(int, x);
    QFETCH(double, position);
    QFETCH(int, fill);
    Started t(kThree);
    startPlaying(t, 0, 141);
    QWidget* imgprog = child(t.forms().main(), "imgprog");
    imgprog->resize(120, imgprog->height());
    releaseOn(t, bar.constData(), x);
    QCOMPARE(t.engine().positionValue, position);
    QCOMPARE(imgprog->width(), fill);
  }

  void seekClicksAreIgnoredWhilePaused() {
    Started t(kThree);
    startPlaying(t, 0, 141);
    t.engine().positionValue = 50;
    click(t, "cmdpause");
    QCOMPARE(t.engine().state, kPaused);
    QVERIFY(!marqueeRunning(t));
    releaseOn(t, "picprog", 8);
    QCOMPARE(t.engine().positionValue, 50.0);

    click(t, "cmdpause");
    QCOMPARE(t.engine().state, kPlaying);
    QVERIFY(marqueeRunning(t) && clockRunning(t));
    releaseOn(t, "picprog", 8);
    QCOMPARE(t.engine().positionValue, 0.0);
  }

  void nextAndPreviousStepThroughTheList() {
    Started t(kThree);
    startPlaying(t, 0, 100);
    click(t, "cmdnext");
    QCOMPARE(t.engine().lastOpened(), kThree[1]);
    QVERIFY(t.core().list.isSelected(1));
    click(t, "cmdprev");
    QCOMPARE(t.engine().lastOpened(), kThree[0]);
    QCOMPARE(t.core().shared.tracknumber, std::optional<Index>(1));
  }

  void mediaErrorSkipsToTheNextEntryOnTheNextMarqueeTick() {
    Started t(kThree);
    startPlaying(t, 0, 100);
    t.engine().raiseError();
    QTRY_COMPARE(t.engine().lastOpened(), kThree[1]);
    QCOMPARE(text(t, "lbltmp"), QString());
  }

  void releasedKeysSetLastkey_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("code");
    QTest::newRow("A") << int(Qt::Key_A) << 65;
    QTest::newRow("Enter") << int(Qt::Key_Return) << 13;
    QTest::newRow("Up") << int(Qt::Key_Up) << 38;
    QTest::newRow("Delete") << int(Qt::Key_Delete) << 46;
  }

  void releasedKeysSetLastkey() {
    QFETCH(int, key);
    QFETCH(int, code);
    Started t(kThree);
    // A release whose press went to another window (a dialog's Enter) does nothing.
    QTest::keyRelease(&t.forms().main(), static_cast<Qt::Key>(key));
    QCOMPARE(t.core().shared.lastkey, 0);
    QTest::keyClick(&t.forms().main(), static_cast<Qt::Key>(key));
    QCOMPARE(t.core().shared.lastkey, code);
    QCOMPARE(t.quitCalls(), 0);
  }

  void rightArrowOverThePlayerSeeksForward() {
    Started t(kThree);
    startPlaying(t, 1, 250);
    t.engine().positionValue = 100;
    QTest::keyClick(&t.forms().main(), Qt::Key_Right);
    QCOMPARE(t.core().shared.lastkey, 39);
    QCOMPARE(t.engine().positionValue, 110.0);
  }
};

QTEST_MAIN(FrmMainTest)
#include "tst_frmMain.moc"
