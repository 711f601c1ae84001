// Internet radio against a station on this machine (tests/e2e/radio_server.py): what the sink
// plays, what the player and the desktop's media controls show, and what the user is told when a
// station fails; after each, the list goes on.
#include <QApplication>
#include <QMessageBox>
#include <QProcess>
#include <fstream>

#include "Kit.h"
#include "core/AddCommands.h"
#include "core/Clock.h"
#include "core/Command.h"
#include "core/CurrentTrack.h"

namespace sonavex::e2e {
namespace {

constexpr double kStation = 441, kNext = 661.5;

class Radio : public PlayerTest {
 protected:
  void SetUp() override {
    PlayerTest::SetUp();
    if (IsSkipped()) return;
    const std::string mp3 = tone("station.mp3", kStation, 4.3);
    server.start("python3", {SONAVEX_RADIO_SERVER, QString::fromStdString(mp3), QString::fromStdString(dir + "port")});
    ASSERT_TRUE(waitFor([&] { return std::filesystem::exists(dir + "port"); }));
    std::ifstream(dir + "port") >> port;
  }
  void TearDown() override {
    server.kill();
    server.waitForFinished();
    PlayerTest::TearDown();
  }
  std::string at(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port) + path; }

  // Whether the sink plays `pitch` in some 0.6 s before the deadline.
  bool hears(double pitch, int deadlineMs = 20000) {
    QElapsedTimer clock;
    for (clock.start(); clock.elapsed() < deadlineMs;) {
      take();
      QTest::qWait(600);
      const Recording r = take();
      const Span loud = soundSpan(r, 0.002);
      if (loud.count > kRate / 5 && std::abs(toneFrequency(r, loud) - pitch) < pitch * 0.03) return true;
    }
    return false;
  }
  // The text of the notice shown, closed once read ("" when none is up).
  std::string notice() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
      if (auto* box = qobject_cast<QMessageBox*>(window); box && box->isVisible() && box->close())
        return box->text().toStdString();
    }
    return {};
  }
  int connections(const std::string& path) {
    requests += server.readAllStandardOutput().toStdString();
    int count = 0;
    for (std::size_t at = 0; (at = requests.find(path + "\n", at)) != std::string::npos; ++at) ++count;
    return count;
  }

  QProcess server;
  int port = 0;
  std::string requests;
};

TEST_F(Radio, AStationAddedByItsPlaylistPlaysWithItsSongTitlesInThePlayerAndOnTheDesktop) {
  startPlayer({});
  perform(core(), cmdurl_Click, at("/station.pls"));
  ASSERT_TRUE(waitFor([&] { return core().list.count() == 1; }));
  EXPECT_EQ(std::pair(core().list.path(0), core().list.displayName(0)), std::pair(at("/live.mp3"), std::string("1   Test Radio")));
  perform(core(), [&](Core& c) { c.list.appendEntry(tone("next.mp3", kNext, 10)); });
  QProcess follow;
  follow.start("playerctl", {"-p", "sonavex", "metadata", "--follow", "--format", "{{xesam:title}}|{{xesam:album}}"});
  ASSERT_TRUE(follow.waitForStarted());
  playerctl({"play"});
  ASSERT_TRUE(hears(kStation));
  ASSERT_TRUE(waitFor([&] { return core().shared.marqueetext.starts_with("Song 2"); }));
  // A live stream: the time runs, the total shows nothing, and a seek changes nothing.
  perform(core(), clockTick);
  EXPECT_EQ(core().face.lblttime, "");
  EXPECT_GT(core().mp1.position(), 1.0);
  perform(core(), picprog_MouseUp, 20.0);
  EXPECT_GT(core().mp1.position(), 1.0);
  EXPECT_EQ(playerctl({"metadata", "--format", "{{status}} {{mpris:length}}"}), "Playing");
  EXPECT_TRUE(hears(kStation));
  std::string told;
  ASSERT_TRUE(waitFor([&] { return (told += follow.readAllStandardOutput().toStdString()).find("Song 2|Test Radio") != std::string::npos; }));
  EXPECT_NE(told.find("Song 1|Test Radio"), std::string::npos) << told;
  follow.kill();
  playerctl({"next"});
  EXPECT_TRUE(hears(kNext));
  EXPECT_EQ(notice(), "");
}

// Each address before a local track: what is heard of it, what the user is told, and that the
// track after it plays.
TEST_F(Radio, EveryFailureIsToldOnceAndTheListGoesOn) {
  struct Row {
    std::string address;
    bool heardFirst;      // the station's sound is heard before it fails or ends
    std::string told;     // in the notice; "" for none
    int connections = 1;  // to the address's path
  };
  const Row rows[] = {
      {at("/file.mp3"), true, ""},
      {at("/redirect/3"), true, ""},
      {at("/missing"), false, "the server answered 404 (Not Found)"},
      {at("/page.html"), false, "the address gives no sound (it sends text/html)"},
      {"http://127.0.0.1:9/radio.mp3", false, "the server refused the connection", 0},  // nothing listens
      {at("/redirect/7"), false, "the address redirects more than 5 times"},
      {at("/cut.mp3"), true, "the connection to the station was lost", 4},
      {at("/hang"), false, "the server sent nothing for 10 s"},
  };
  startPlayer({tone("next.mp3", kNext, 30)});
  for (const Row& row : rows) {
    SCOPED_TRACE(row.address);
    const std::string path = row.address.substr(row.address.find('/', 8));
    const int before = connections(path);
    perform(core(), [&](Core& c) {
      c.list.assign({row.address, dir + "next.mp3"}, {"1   " + row.address, "2   next.mp3"});
      openAndMark(c, 0);
    });
    EXPECT_TRUE(!row.heardFirst || hears(kStation));
    ASSERT_TRUE(hears(kNext, 40000));
    EXPECT_EQ(connections(path) - before, row.connections);
    EXPECT_EQ(notice(), row.told.empty() ? "" : "Cannot play " + row.address + ": " + row.told);
    playerctl({"stop"});
  }
}

}  // namespace
}  // namespace sonavex::e2e
