// The equalizer's commands and presets, the ReplayGain rule, and the sound settings file: what the
// engine is told, what is written, and what a damaged file leaves.
#include <gtest/gtest.h>

#include <cmath>

#include "core/EqualizerCommands.h"
#include "core/SoundSettings.h"
#include "tests/core/Kit.h"

namespace sonavex {
namespace {

using kit::Scene;

struct KeptWriter : BackgroundWriter {
  std::vector<std::string> written;  // path, then bytes
  void write(std::string path, std::function<std::string()> bytes, std::function<void(bool, const std::string&)>) override {
    written.push_back(path + "\n" + bytes());
  }
  void waitIdle() override {}
};

TEST(ReplayGain, TheModesTagChoiceFallbackAndPeakLimit) {
  using M = ReplayGainMode;
  const ReplayGainTags none, both{-6, 0.5, -3, 0.25}, trackOnly{-6, {}, {}, {}}, loud{10, {}, {}, {}};
  const struct { M mode; ReplayGainTags tags; double preamp, fallback, db; } rows[] = {
      {M::Off, both, 3, 0, 0},       {M::Track, both, 0, 0, -6},      {M::Album, both, 0, 0, -3},
      {M::Track, both, 2, 0, -4},    {M::Album, trackOnly, 0, 0, -6},  {M::Track, none, 0, -5, -5},
      // No clipping: a gain above the peak's headroom is cut to it; no peak counts as full scale.
      {M::Track, both, 20, 0, 20 * std::log10(2.0)}, {M::Track, loud, 0, 0, 0}, {M::Track, none, 0, 4, 0},
  };
  for (const auto& r : rows) {
    EXPECT_NEAR(replayGainDb({r.mode, r.preamp, r.fallback}, r.tags), r.db, 1e-9)
        << static_cast<int>(r.mode) << " " << r.preamp << " " << r.fallback;
  }
}

TEST(Equalizer, SlidersClampPresetsApplyAndUserPresetsAreSavedReplacedAndDeleted) {
  Scene s;
  KeptWriter writer;
  s.core.platform.writer = &writer;
  s.core.sound.settingsPath = "/cfg/sound.conf";
  eqOnOff_Click(s.core);
  eqSlider_Step(s.core, 3, 5 * kSliderPageDb);   // past the top
  eqSlider_Set(s.core, kPreampSlider, -4.3);      // onto the half-dB grid
  eqSlider_Set(s.core, 99, 3);                    // no such slider
  EXPECT_EQ(std::tuple(s.engine.equalizer.on, s.engine.equalizer.bandsDb[3], s.engine.equalizer.preampDb),
            std::tuple(true, kMaxBandDb, -4.5));
  EXPECT_EQ(matchingPreset(s.core), -1);

  const int rock = 11;
  ASSERT_EQ(presetAt(s.core, rock).name, "Rock");
  eqPreset_Choose(s.core, rock);
  EXPECT_EQ(s.engine.equalizer.bandsDb, builtInPresets()[rock].bandsDb);
  EXPECT_EQ(matchingPreset(s.core), rock);

  eqSlider_Set(s.core, 0, -12);
  EXPECT_FALSE(eqPreset_Save(s.core, "Rock"));   // a built-in name
  EXPECT_FALSE(eqPreset_Save(s.core, "  "));
  EXPECT_TRUE(eqPreset_Save(s.core, "Mine\n"));
  const int mine = presetCount(s.core) - 1;
  EXPECT_EQ(std::tuple(presetAt(s.core, mine).name, isUserPreset(s.core, mine), matchingPreset(s.core)),
            std::tuple("Mine", true, mine));
  eqSlider_Set(s.core, 0, 6);
  EXPECT_TRUE(eqPreset_Save(s.core, "Mine"));    // replaced, not added
  EXPECT_EQ(std::tuple(presetCount(s.core) - 1, presetAt(s.core, mine).bandsDb[0]), std::tuple(mine, 6.0));
  eqPreset_Delete(s.core, rock);                 // built-in: stays
  eqPreset_Delete(s.core, mine);
  EXPECT_EQ(presetCount(s.core), static_cast<int>(builtInPresets().size()));

  replayGainItem_Click(s.core, 2);
  replayGainPreamp_Click(s.core, 1);
  replayGainFallback_Click(s.core, 3);
  replayGainFallback_Click(s.core, 4);  // no such item
  EXPECT_EQ(s.engine.replayGain, (ReplayGainSettings{ReplayGainMode::Album, 3, -9}));
  EXPECT_EQ(checkedGainItem(kReplayGainPreampItems, 1.5), -1);
  // Every change is written whole; the last write holds the last state.
  ASSERT_FALSE(writer.written.empty());
  EXPECT_EQ(writer.written.back(), "/cfg/sound.conf\n" + serializeSoundSettings(s.core.sound));
}

TEST(SoundSettings, WhatIsWrittenReadsBackAndADamagedFileLeavesTheDefaults) {
  SoundState kept;
  kept.eq = {true, -2.5, {1, 2, 3, 4, 5, 6, 7, 8, 9, -12}};
  kept.replayGain = {ReplayGainMode::Track, 3, -7};
  kept.userPresets = {{"My #1 preset", {12, 0, 0, 0, 0, 0, 0, 0, 0, -0.5}}};
  SoundState read;
  ASSERT_TRUE(parseSoundSettings(serializeSoundSettings(kept), read, nullptr));
  EXPECT_EQ(std::tuple(read.eq, read.replayGain, read.userPresets),
            std::tuple(kept.eq, kept.replayGain, kept.userPresets));

  const std::string damaged[] = {
      "equalizer maybe\n", "bands 1 2 3\n", "bands 1 2 3 4 5 6 7 8 9 10 11\n", "preamp nan\n",
      "preamp 1e999\n", "replaygain loud\n", "preset 0 0 0 0 0 0 0 0 0 0\n", "preamp 3,5\n",
      std::string("preamp \0", 8), "replaygain-preamp\n",
  };
  for (const std::string& text : damaged) {
    SoundState sound;
    sound.eq.on = true;  // stays as it was
    std::string reason;
    EXPECT_FALSE(parseSoundSettings("equalizer off\n" + text, sound, &reason)) << text;
    EXPECT_EQ(std::tuple(sound.eq.on, reason), std::tuple(true, "line 2 is damaged")) << text;
  }
  // Out of range is pinned down; what a later version adds is passed over.
  SoundState sound;
  ASSERT_TRUE(parseSoundSettings("bands 99 -99 0 0 0 0 0 0 0 0\nloudness 3\n", sound, nullptr));
  EXPECT_EQ(std::pair(sound.eq.bandsDb[0], sound.eq.bandsDb[1]), std::pair(kMaxBandDb, -kMaxBandDb));
  kit::TempTree t;  // a named pipe in the file's place is passed over at once, never waited on
  ASSERT_EQ(mkfifo((t.root + "/sound.conf").c_str(), 0600), 0);
  kit::Scene s;
  loadSoundSettings(s.core, t.root + "/sound.conf");
  EXPECT_FALSE(s.core.sound.eq.on);
}

}  // namespace
}  // namespace sonavex
