// The playlist plays through by itself on the real engine: the core's sequencing, clock and marquee
// driven by timers as the windows drive them, and the engine's notifications through the event
// loop.
#include <cmath>

#include "Kit.h"
#include "core/Transport.h"

namespace sonavex::e2e {
namespace {

using PlaylistPlayback = EngineTest;

TEST_F(PlaylistPlayback, PlaysInOrderSkipsWhatCannotPlayLoopsAndEndsAfterTheLast) {
  const std::vector<double> tones{441, 661.5};
  const std::vector<std::string> paths{tone("first.wav", tones[0]), tone("second.mp3", tones[1])};
  std::vector<std::string> started;  // the engine's file at each new stream
  PlayingList list(engine, listener, [&] {
    started.push_back(engine.fileName());
    if (started.size() == 3) list.core.chkloop = 0;  // once round the loop, then to the end
  });
  Core& core = list.core;
  for (const std::string& path : std::vector{paths[0], dir + "gone.mp3", paths[1]})
    core.list.appendEntry(path);

  core.chkloop = 1;
  core.list.setListIndex2(0);
  cmdplay_Click(core);
  ASSERT_TRUE(runUntil([&] { return started.size() == 4 && core.shared.currenttrack == -1; }))
      << "the playlist did not play through; started " << started.size();
  runFor(1000);  // nothing more may start

  EXPECT_EQ(started, (std::vector<std::string>{paths[0], paths[1], paths[0], paths[1]}));
  EXPECT_EQ(engine.fileName(), "");
  EXPECT_EQ(core.shared.tracknumber, 0);
  EXPECT_EQ(tonesHeard(take(), tones),
            (std::vector<double>{tones[0], tones[1], tones[0], tones[1]}));
}

}  // namespace
}  // namespace sonavex::e2e
