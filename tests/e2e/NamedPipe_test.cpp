// A named pipe among the entries would hold its opening until someone writes to it. However a
// track starts, the player refuses the pipe at once as not a regular file and goes on with the next
// entry. (Opened on the program's thread, the pipe would hang the test until its time-out.)
#include <sys/stat.h>

#include <QAbstractItemView>
#include <QPushButton>
#include <QUrl>

#include "Kit.h"
#include "windows/frmMain.h"
#include "windows/PlaylistView.h"
#include "windows/frmplaylist.h"

namespace sonavex::e2e {
namespace {

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
      {"Next onto it", [&] { playB(); button("cmdnext")->click(); }},
      {"a looped list reaching it", [&] { playB(); }},  // b ends, the list wraps round
      {"OpenUri of the media controls",
       [&] { playerctl({"open", QUrl::fromLocalFile(QString::fromStdString(pipe)).toString()}); }},
  };
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
}

}  // namespace
}  // namespace sonavex::e2e
