// The player window: its controls, the transport buttons, the engine's notifications as the player
// shows them, seeking on the bar and the keys released over the window.
#include <cmath>

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "player/frmMain.h"
#include "playlist/PlaylistView.h"
#include "playlist/frmplaylist.h"
#include "support/TestForms.h"

using namespace sonavex;
using sonavex::testing::TestForms;

namespace {
const std::vector<std::string> kThree = {"/music/one.mp3", "/music/two.mp3", "/music/three.mp3"};

template <typename T>
T* child(QWidget& window, const char* name) {
  T* found = window.findChild<T*>(QLatin1String(name));
  if (!found) qFatal("no control named %s", name);
  return found;
}

QString labelText(frmMain& w, const char* name) { return child<QLabel>(w, name)->text(); }

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

void releaseOn(QWidget* w, int x) { QTest::mouseRelease(w, Qt::LeftButton, {}, QPoint(x, 5)); }
}  // namespace

class FrmMainTest : public QObject {
  Q_OBJECT

 private slots:
  void controlsAreNamedAndPlaced() {
    TestForms t;
    t.forms().start();
    frmMain& w = t.forms().main();
    QCOMPARE(w.windowTitle(), QStringLiteral("Sonavex"));
    QCOMPARE(w.size(), QSize(244, 249));
    const std::pair<const char*, const char*> buttons[] = {
        {"cmdplay", "play"}, {"cmdstop", "stop"}, {"cmdpause", "pause"},
        {"cmdnext", "next"}, {"cmdprev", "prev"}};
    for (const auto& [name, caption] : buttons) {
      auto* b = child<QPushButton>(w, name);
      QCOMPARE(b->text(), QLatin1String(caption));
      QCOMPARE(b->size(), QSize(33, 25));
    }
    QCOMPARE(child<QLabel>(w, "lblsongname")->geometry(), QRect(40, 72, 373, 15));
    QCOMPARE(child<QWidget>(w, "picprog")->geometry(), QRect(41, 144, 161, 41));
    QCOMPARE(child<QWidget>(w, "imgprog")->height(), 37);
    QVERIFY(child<QLabel>(w, "lbltmp")->isHidden());
    QVERIFY(child<QLabel>(w, "lbltmp1")->isHidden());
    QCOMPARE(child<QTimer>(w, "Timer2")->interval(), 222);
    QVERIFY(!marqueeRunning(t));
    QVERIFY(w.changeshape());
  }

  void playWithNothingSelectedPlaysTheFirstEntry() {
    TestForms t(kThree);
    t.forms().start();
    QTest::mouseClick(child<QPushButton>(t.forms().main(), "cmdplay"), Qt::LeftButton);
    QCOMPARE(t.engine().lastOpened(), kThree[0]);
    QCOMPARE(t.core().shared.tracknumber, std::optional<Index>(1));
  }

  void playWithTheThirdEntryFocusedPlaysIt() {
    TestForms t(kThree);
    t.forms().start();
    t.core().list.markEntry(2);
    QTest::mouseClick(child<QPushButton>(t.forms().main(), "cmdplay"), Qt::LeftButton);
    QCOMPARE(t.engine().lastOpened(), kThree[2]);
    QCOMPARE(t.core().shared.tracknumber, std::optional<Index>(3));
  }

  void newStreamFillsTheTitleAndStartsBothTimers() {
    TestForms t(kThree);
    t.forms().start();
    startPlaying(t, 1, 185);
    QCOMPARE(labelText(t.forms().main(), "lblsongname"), QStringLiteral("two.mp3  "));
    QCOMPARE(labelText(t.forms().main(), "lbltmp1"), QStringLiteral("two.mp3  "));
    QVERIFY(marqueeRunning(t));
    QVERIFY(clockRunning(t));
    QVERIFY(child<QWidget>(t.forms().main(), "picprog")->isVisible());
  }

  void invalidUtf8InAFileNameShowsReplacementCharacters() {
    TestForms t({"/music/bad\xff" "name.mp3"});
    t.forms().start();
    startPlaying(t, 0, 10);
    QCOMPARE(labelText(t.forms().main(), "lblsongname"),
             QStringLiteral("bad") + QChar(0xFFFD) + QStringLiteral("name.mp3  "));
  }

  void stopEmptiesTheLabelsAndDoesNotAdvance() {
    TestForms t(kThree);
    t.forms().start();
    startPlaying(t, 0, 185);
    t.engine().positionValue = 90;
    QTest::mouseClick(child<QPushButton>(t.forms().main(), "cmdstop"), Qt::LeftButton);
    frmMain& w = t.forms().main();
    QCOMPARE(labelText(w, "lblsongname"), QString());
    QCOMPARE(labelText(w, "lblctime"), QString());
    QCOMPARE(labelText(w, "lblttime"), QString());
    QVERIFY(!marqueeRunning(t));
    QVERIFY(!clockRunning(t));
    QCOMPARE(t.engine().opened.size(), std::size_t{1});
    QCOMPARE(t.engine().state, kStopped);
  }

  void streamEndAdvancesOnceAndClearsTheLabels() {
    TestForms t(kThree);
    t.forms().start();
    startPlaying(t, 0, 185);
    t.engine().raiseStreamEnded();
    QCOMPARE(t.engine().opened, (std::vector<std::string>{kThree[0], kThree[1]}));
    QCOMPARE(t.core().shared.tracknumber, std::optional<Index>(2));
    frmMain& w = t.forms().main();
    QCOMPARE(labelText(w, "lblsongname"), QString());
    QCOMPARE(labelText(w, "lblctime"), QString());
    QVERIFY(child<QWidget>(w, "picprog")->isHidden());
  }

  void clockTickShowsDecimalMinutesAndTheFill() {
    TestForms t(kThree);
    t.forms().start();
    startPlaying(t, 0, 185);
    t.engine().positionValue = 90;
    // The clock runs every second; wait for one tick to show the time.
    QTRY_COMPARE(labelText(t.forms().main(), "lblctime"), QStringLiteral("1.5"));
    QCOMPARE(labelText(t.forms().main(), "lblttime"), QStringLiteral("3.08"));
    QCOMPARE(child<QWidget>(t.forms().main(), "imgprog")->width(),
             static_cast<int>(std::lround(8 + 90.0 * 141 / 185)));
  }

  void marqueeScrollsTheTitle() {
    TestForms t(kThree);
    t.forms().start();
    startPlaying(t, 1, 185);
    // "two.mp3" and four spaces, rotated one character per tick.
    QTRY_COMPARE(labelText(t.forms().main(), "lblsongname"), QStringLiteral("wo.mp3    t"));
  }

  void clickOnTheBarSeeks() {
    TestForms t(kThree);
    t.forms().start();
    startPlaying(t, 0, 141);
    auto* picprog = child<QWidget>(t.forms().main(), "picprog");
    releaseOn(picprog, 8);
    QCOMPARE(t.engine().positionValue, 0.0);
    QCOMPARE(child<QWidget>(t.forms().main(), "imgprog")->width(), 8);
    releaseOn(picprog, 149);
    QCOMPARE(t.engine().positionValue, 141.0);
  }

  void clickOnTheFillSeeksInTwips() {
    TestForms t(kThree);
    t.forms().start();
    startPlaying(t, 0, 141);
    auto* imgprog = child<QWidget>(t.forms().main(), "imgprog");
    imgprog->resize(120, imgprog->height());
    releaseOn(imgprog, 80);
    // 80 pixels are 1200 twips: the fill ends at 80 and the position is 80 - 8 seconds of 141.
    QCOMPARE(t.engine().positionValue, 72.0);
    QCOMPARE(imgprog->width(), 80);
  }

  void seekClicksAreIgnoredWhilePaused() {
    TestForms t(kThree);
    t.forms().start();
    startPlaying(t, 0, 141);
    t.engine().positionValue = 50;
    QTest::mouseClick(child<QPushButton>(t.forms().main(), "cmdpause"), Qt::LeftButton);
    QCOMPARE(t.engine().state, kPaused);
    QVERIFY(!marqueeRunning(t));
    releaseOn(child<QWidget>(t.forms().main(), "picprog"), 8);
    QCOMPARE(t.engine().positionValue, 50.0);

    QTest::mouseClick(child<QPushButton>(t.forms().main(), "cmdpause"), Qt::LeftButton);
    QCOMPARE(t.engine().state, kPlaying);
    QVERIFY(marqueeRunning(t));
    QVERIFY(clockRunning(t));
    releaseOn(child<QWidget>(t.forms().main(), "picprog"), 8);
    QCOMPARE(t.engine().positionValue, 0.0);
  }

  void nextAndPreviousStepThroughTheList() {
    TestForms t(kThree);
    t.forms().start();
    startPlaying(t, 0, 100);
    QTest::mouseClick(child<QPushButton>(t.forms().main(), "cmdnext"), Qt::LeftButton);
    QCOMPARE(t.engine().lastOpened(), kThree[1]);
    QVERIFY(t.core().list.isSelected(1));
    QTest::mouseClick(child<QPushButton>(t.forms().main(), "cmdprev"), Qt::LeftButton);
    QCOMPARE(t.engine().lastOpened(), kThree[0]);
    QCOMPARE(t.core().shared.tracknumber, std::optional<Index>(1));
  }

  void mediaErrorSkipsToTheNextEntryOnTheNextMarqueeTick() {
    TestForms t(kThree);
    t.forms().start();
    startPlaying(t, 0, 100);
    t.engine().raiseError();
    QTRY_COMPARE(t.engine().lastOpened(), kThree[1]);
    QCOMPARE(labelText(t.forms().main(), "lbltmp"), QString());
  }

  void escapeSavesAndEnds() {
    TestForms t(kThree);
    t.forms().start();
    t.core().list.appendEntry("/music/four.mp3");
    QTest::keyRelease(&t.forms().main(), Qt::Key_Escape);
    QCOMPARE(t.quitCalls(), 1);
    QCOMPARE(t.savedBytes(), std::string("/music/one.mp3\r\n/music/two.mp3\r\n"
                                         "/music/three.mp3\r\n/music/four.mp3\r\n"));
  }

  void otherKeysSetLastkey_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("code");
    QTest::newRow("A") << int(Qt::Key_A) << 65;
    QTest::newRow("Z") << int(Qt::Key_Z) << 90;
    QTest::newRow("7") << int(Qt::Key_7) << 55;
    QTest::newRow("Enter") << int(Qt::Key_Return) << 13;
    QTest::newRow("Up") << int(Qt::Key_Up) << 38;
    QTest::newRow("Delete") << int(Qt::Key_Delete) << 46;
  }

  void otherKeysSetLastkey() {
    QFETCH(int, key);
    QFETCH(int, code);
    TestForms t(kThree);
    t.forms().start();
    QTest::keyRelease(&t.forms().main(), static_cast<Qt::Key>(key));
    QCOMPARE(t.core().shared.lastkey, code);
    QCOMPARE(t.quitCalls(), 0);
  }

  void rightArrowOverThePlayerSeeksForward() {
    TestForms t(kThree);
    t.forms().start();
    startPlaying(t, 1, 250);
    t.engine().positionValue = 100;
    QTest::keyRelease(&t.forms().main(), Qt::Key_Right);
    QCOMPARE(t.core().shared.lastkey, 39);
    QCOMPARE(t.engine().positionValue, 110.0);
  }
};

QTEST_MAIN(FrmMainTest)
#include "tst_frmMain.moc"
