// The playlist plays through by itself on the real engine: the core's sequencing, clock and marquee
// driven by timers as the windows drive them, and the engine's notifications through the event
// loop.
#include <cmath>

#include "Kit.h"
#include "core/Transport.h"

namespace sonavex::e2e {
namespace {

// The tones in the order of play, read from the recording in 100 ms windows: each window that is
// loud all through is matched by its pitch to the nearest expected tone, and repeats are merged.
// (A window half tone, half silence would count half the crossings.)
std::vector<double> tonesHeard(const Recording& r, const std::vector<double>& tones) {
  std::vector<double> heard;
  const std::size_t window = 10 * kBlock;
  for (std::size_t first = window; 2 * (first + 2 * window) <= r.size(); first += window) {
    bool loud = true;
    for (std::size_t b = first; b < first + window; b += kBlock)
      loud = loud && rms(r, {b, kBlock}, 0) >= 0.1;
    // toneFrequency measures the middle half of the span it is given: exactly this window.
    const double f = loud ? toneFrequency(r, {first - window / 2, 2 * window}) : 0;
    for (double tone : tones) {
      if (std::abs(f - tone) < tone * 0.03 && (heard.empty() || heard.back() != tone))
        heard.push_back(tone);
    }
  }
  return heard;
}

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
