// The player goes on while a long scan fills its list (its directory reads slowed down, as on a
// network share): engine events, the media controls, clicks and joins act at once on what they
// belong to, while the scan still runs.
#include <QAbstractItemView>
#include <QSessionManager>
#include <QUrl>

#include "Kit.h"
#include "app/SessionEnd.h"
#include "core/Command.h"
#include "core/LastPlaylist.h"
#include "core/FileDrop.h"
#include "core/ListWork.h"
#include "core/Transport.h"
#include "windows/frmplaylist.h"

extern "C" void slowDirectories(int ms);

namespace sonavex::e2e {
namespace {

class LiveList : public PlayerTest {
 protected:
  void TearDown() override {
    slowDirectories(0);
    PlayerTest::TearDown();
  }
  // Hands over a tree of 300 folders, one track in each, whose scan takes about 20 s.
  void startLongScan() {
    for (int i = 0; i < 300; ++i) {
      const std::string folder = dir + "tree/f" + std::to_string(i);
      std::filesystem::create_directories(folder);
      std::ofstream(folder + "/t.mp3");
    }
    slowDirectories(20);
    perform(core(), openCommandLinePaths, std::vector<std::string>{dir + "tree"});
  }
  static QString uri(const std::string& path) { return QUrl::fromLocalFile(QString::fromStdString(path)).toString(); }
};

TEST_F(LiveList, EngineEventsAndTheMediaControlsActAtOnceOnTheTrackTheyBelongTo) {
  startPlayer({dir + "missing0.mp3", dir + "missing1.mp3"});
  const std::string a = tone("a.wav", kPitch, 4), b = tone("b.wav", 661.5, 4);
  startLongScan();
  playerctl({"next"});
  playerctl({"open", uri(a)});
  playerctl({"open", uri(b)});
  ASSERT_TRUE(waitFor([&] { return core().mp1.fileName() == b && core().mp1.playState() == kPlaying; }))
      << "now at " << core().mp1.fileName();
  playerctl({"volume", "0.25"});
  EXPECT_EQ(core().vol.level, 2500);
  playerctl({"play-pause"});
  EXPECT_EQ(core().mp1.playState(), kPaused);
  EXPECT_TRUE(listBusy(core())) << "the scan was over before the checks";
}

TEST_F(LiveList, AJoinDuringALongScanIsAsGaplessAsWithoutIt) {
  writeSinePart(dir + "p1.wav", 0, kRate);
  writeSinePart(dir + "p2.wav", kRate, kRate);
  startPlayer({dir + "p1.wav", dir + "p2.wav"});
  core().chkloop = 0;
  startLongScan();
  take();
  perform(core(), cmdplay_Click);
  ASSERT_TRUE(waitFor([&] { return core().mp1.fileName() == dir + "p2.wav"; }));
  ASSERT_TRUE(waitFor([&] { return core().mp1.fileName() != dir + "p2.wav"; }));
  settle();
  const Joins joins = measure(take());
  EXPECT_EQ(joins.quietMs, 0.0);
  EXPECT_LT(joins.step, 0.01);
  EXPECT_TRUE(listBusy(core()));
}

// A click and Delete remove the row clicked; the session's end saves the list as it stands.
TEST_F(LiveList, AClickAndDeleteAndTheSessionsEndActAtOnceDuringALongScan) {
  startPlayer({"/m/a.mp3", "/m/b.mp3", "/m/c.mp3", "/m/d.mp3", "/m/e.mp3"});
  startLongScan();
  ASSERT_TRUE(waitFor([&] { return core().list.count() > 5; }));
  auto* view = forms->playlist().findChild<QAbstractItemView*>(QStringLiteral("cpvcoollist2"));
  ASSERT_NE(view, nullptr);
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(view->model()->index(2, 0)).center());
  QTest::keyClick(view, Qt::Key_Delete);
  ASSERT_TRUE(waitFor([&] { return core().list.path(2) == "/m/d.mp3" && core().list.path(1) == "/m/b.mp3"; }));
  ASSERT_TRUE(listBusy(core()));
  QObject context;
  runOnSessionEnd(*qApp, &context, [&] { savelastplaylist(core()); }, [] {});
  QElapsedTimer took;
  took.start();
  alignas(QSessionManager) char manager[sizeof(QSessionManager)];  // never touched by the handler
  emit qApp->commitDataRequest(*reinterpret_cast<QSessionManager*>(manager));
  perform(core(), mnuexit_Click);  // the session then ends the program
  EXPECT_LT(took.elapsed(), 3000) << "the end waited for the scan";
  std::string saved;
  ASSERT_TRUE(readWholeFile(dir + "lastplaylist.txt", saved));
  EXPECT_EQ(saved, serializePlaylist(core().list.paths()));
}

}  // namespace
}  // namespace sonavex::e2e
