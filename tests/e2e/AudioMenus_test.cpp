// The audio menus on the real engine: Mute silences the sink and Peak brings the sound back; ".5"
// on an MP3 plays it at half speed, and so at half pitch.
#include "Kit.h"
#include "core/AudioMenus.h"
#include "core/VolumePopup.h"
#include "core/model/Random.h"

namespace sonavex::e2e {
namespace {

using AudioMenus = EngineTest;

TEST_F(AudioMenus, MuteAndPeakAtTheSinkAndHalfSpeedOnAnMp3) {
  SeededRandom random{1};
  Core core{engine, random};
  const std::string mp3 = tone("a.mp3", 441, 0.5);

  mnumute_Click(core);
  EXPECT_TRUE(silent(play(mp3)));
  mnupeakvol_Click(core, kVolumeClientWidth);
  const Recording full = play(mp3);
  EXPECT_NEAR(toneFrequency(full, soundSpan(full)), 441, 441 * 0.03);

  rateItem_Click(core, 1);  // ".5": the MP3 last opened qualifies
  const Recording half = play(mp3);
  EXPECT_NEAR(toneFrequency(half, soundSpan(half)), 220.5, 220.5 * 0.03);
  EXPECT_NEAR(seconds(soundSpan(half)), 2 * seconds(soundSpan(full)), 0.15);
}

}  // namespace
}  // namespace sonavex::e2e
