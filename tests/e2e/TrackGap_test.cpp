// One track follows another at the sink with hardly a pause, as the playlist plays through on the
// real engine: each heard whole and in order, the old stream's end never cutting into the next.
#include <cmath>

#include "Kit.h"
#include "core/Transport.h"

namespace sonavex::e2e {
namespace {

using TrackGap = EngineTest;

TEST_F(TrackGap, TracksFollowWholeAndInOrderWithUnderAFifthOfASecondBetween) {
  const std::vector<double> tones{441, 661.5, 882};
  PlayingList list(engine, listener);
  Core& core = list.core;
  for (std::size_t i = 0; i < tones.size(); ++i)
    core.list.appendEntry(tone(std::to_string(i) + ".mp3", tones[i], 1.0));
  core.chkloop = 0;
  core.list.setListIndex2(0);
  cmdplay_Click(core);
  ASSERT_TRUE(runUntil([&] { return core.shared.currenttrack == -1; })) << "never reached the end";
  settle();
  const Recording r = take();

  // From the first sound to the last, 10 ms blocks in runs: -1 quiet, the index of the tone a block
  // is (within 5 %), or -2 loud but no tone (a block across an edge).
  std::vector<std::pair<int, std::size_t>> runs;  // label, blocks
  const Span sound = soundSpan(r);
  for (auto b = sound.first; b < sound.first + sound.count; b += kBlock) {
    int label = std::max(rms(r, {b, kBlock}, 0), rms(r, {b, kBlock}, 1)) < 0.02 ? -1 : -2;
    // The pitch of the 20 ms around the block: the middle half of the span toneFrequency takes.
    const double f = toneFrequency(r, {b - std::min(b, 3 * kBlock / 2), 4 * kBlock});
    for (std::size_t i = 0; label == -2 && i < tones.size(); ++i)
      if (std::abs(f - tones[i]) < tones[i] * 0.05) label = static_cast<int>(i);
    if (runs.empty() || runs.back().first != label) runs.push_back({label, 0});
    runs.back().second++;
  }
  // Each run of a tone over 50 ms, its length, and the quiet time since the tone before.
  std::vector<int> heard;
  std::vector<double> lengths, gaps;
  double quiet = 0;
  for (const auto& [label, blocks] : runs) {
    if (label == -1) quiet += static_cast<double>(blocks) / 100;
    if (label < 0 || blocks < 5) continue;
    if (!heard.empty()) gaps.push_back(quiet);
    heard.push_back(label);
    lengths.push_back(static_cast<double>(blocks) / 100);
    quiet = 0;
  }
  const std::string measured = "gaps (s) " + testing::PrintToString(gaps) + ", tones heard (s) " +
                               testing::PrintToString(lengths);
  EXPECT_EQ(heard, (std::vector<int>{0, 1, 2})) << measured;
  for (double length : lengths) EXPECT_NEAR(length, 1.0, 0.1) << "not heard whole; " << measured;
  for (double gap : gaps) EXPECT_LT(gap, 0.2) << measured;
}

}  // namespace
}  // namespace sonavex::e2e
