// A named pipe among the entries would hold its opening until someone writes to it. However a
// track starts, the player refuses the pipe at once as not a regular file, goes on with the next
// entry, and its own thread never stops answering.
#include <sys/stat.h>

#include <QAbstractItemView>
#include <QPushButton>
#include <QUrl>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

#include "Kit.h"
#include "windows/frmMain.h"
#include "windows/PlaylistView.h"
#include "windows/frmplaylist.h"

namespace sonavex::e2e {
namespace {

using Clock = std::chrono::steady_clock;
constexpr std::chrono::nanoseconds kGiveUp = std::chrono::seconds(10);

// Beats on the program's thread and measures the longest pause between beats. When the beat stops
// for good, a thread of its own ends the run with a message rather than letting it hang.
class Heartbeat {
 public:
  Heartbeat() {
    QObject::connect(&beat_, &QTimer::timeout, [this] {
      const auto now = Clock::now().time_since_epoch().count();
      longest_ = std::max(longest_.load(), now - last_.exchange(now));
    });
    beat_.start(10);
    watch_ = std::thread([this] {
      while (!done_) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        if (Clock::now().time_since_epoch().count() - last_ > kGiveUp.count()) {
          std::fprintf(stderr, "the program's thread has not answered for 10 s\n");
          std::_Exit(1);
        }
      }
    });
  }
  ~Heartbeat() {
    done_ = true;
    watch_.join();
  }
  std::chrono::milliseconds longest() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::nanoseconds(longest_));
  }

 private:
  QTimer beat_;
  std::atomic<Clock::rep> last_{Clock::now().time_since_epoch().count()};
  std::atomic<Clock::rep> longest_{0};
  std::atomic<bool> done_{false};
  std::thread watch_;
};

using NamedPipe = PlayerTest;

TEST_F(NamedPipe, EveryWayATrackStartsRefusesItAtOnceAndGoesOn) {
  const std::string pipe = dir + "pipe.mp3";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  const std::string a = tone("a.wav", 441, 0.6), b = tone("b.wav", 661.5, 0.6);
  startPlayer({pipe, a, b});  // the loop box is ticked
  auto button = [&](const char* name) { return forms->main().findChild<QPushButton*>(name); };
  auto playB = [&] {
    core().list.markEntry(2);
    button("cmdplay")->click();
    ASSERT_TRUE(waitFor([&] { return core().mp1.fileName() == b && core().mp1.playState() == kPlaying; }));
  };
  const std::pair<const char*, std::function<void()>> ways[] = {
      {"the play button, nothing chosen", [&] { button("cmdplay")->click(); }},
      {"a double click on its row",
       [&] {
         PlaylistView* list = forms->playlist().list();
         const QRect row = list->visualRect(list->model()->index(0, 0));
         // As the window system sends one: press, release, double click, release.
         QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row.center());
         QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, row.center());
         QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, row.center());
       }},
      {"Play of the media controls", [&] { playerctl({"play"}); }},
      {"Next onto it",
       [&] {
         playB();
         button("cmdnext")->click();
       }},
      {"a looped list reaching it", [&] { playB(); }},  // b ends, the list wraps round
      {"OpenUri of the media controls",
       [&] { playerctl({"open", QUrl::fromLocalFile(QString::fromStdString(pipe)).toString()}); }},
  };
  Heartbeat heartbeat;
  for (const auto& [way, start] : ways) {
    SCOPED_TRACE(way);
    button("cmdstop")->click();
    core().list.markEntry(kNone);
    start();
    // Refused, then on to entry 1 (`a`), which plays.
    EXPECT_TRUE(waitFor([&] {
      return core().mp1.fileName() == a && core().mp1.playState() == kPlaying &&
             core().currenttrack == 1;
    })) << "now at " << core().mp1.fileName();
    EXPECT_EQ(core().mp1.lastError().text, "not a regular file");
  }
  EXPECT_LT(heartbeat.longest().count(), 1000);
}

}  // namespace
}  // namespace sonavex::e2e
