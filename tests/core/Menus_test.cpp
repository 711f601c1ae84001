// The volume popup's arithmetic, the audio and popup menu handlers, the track search and the
// system-information lookup.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "core/AudioMenus.h"
#include "core/PopupMenus.h"
#include "core/SystemInfo.h"
#include "core/TrackSearch.h"
#include "core/VolumePopup.h"
#include "tests/core/Kit.h"

namespace sonavex {
namespace {

using kit::Scene;
using Texts = std::vector<std::string>;

TEST(VolumePopup, CrescentAndClicksAtTheDesignSize) {
  const CrescentFigures f = crescentFigures(312, 213);
  EXPECT_EQ(f.A, (Box{0, 0, 246, 213}));
  EXPECT_EQ(f.B, (Box{0, 19, 213, 213}));
  EXPECT_EQ(f.R, (Box{0, 0, 191, 52}));
  // Bounds that fall on a half round to the even neighbour: 52.5 to 52, 53.5 to 54.
  EXPECT_EQ(crescentFigures(313, 215).R, (Box{0, 0, 192, 52}));
  EXPECT_EQ(crescentFigures(313, 217).R, (Box{0, 0, 192, 54}));
  // The region is the upper left of the crescent: on the arc, not inside the inner ellipse nor
  // outside the outer one.
  const PixelRegion crescent = crescentRegion(312, 213);
  EXPECT_EQ(crescent.bounds().right, 191);
  EXPECT_EQ(std::tuple(crescent.contains(100, 3), crescent.contains(100, 40), crescent.contains(10, 10)),
            std::tuple(true, false, false));

  // x: pixels on the body, twips on the fill.
  const struct { bool onFill; double x; int level; double fill; } rows[] = {
      {false, 0, 0, 0}, {false, 95, 4974, 95}, {false, 191, 10000, 191}, {true, 1500, 5236, 100}};
  for (const auto& r : rows) {
    Scene s;
    r.onFill ? Image1_MouseUp(s.core, 312, r.x) : frmvol_MouseUp(s.core, 312, r.x);
    EXPECT_EQ(s.core.vol.level, r.level) << r.x;
    EXPECT_EQ(s.engine.volume, r.level - 10000) << r.x;
    EXPECT_EQ(s.core.vol.fillWidth, r.fill) << r.x;
  }
}

TEST(VolumeMenu, PeakAndMuteMoveTheFillButNotTheRememberedLevel) {
  Scene s;
  frmvol_Load(s.core);
  EXPECT_EQ(s.engine.volume, 0);
  frmvol_MouseUp(s.core, 312, 95);
  mnumute_Click(s.core);
  EXPECT_EQ(s.engine.volume, kVolumeSilent);
  EXPECT_EQ(s.core.vol.fillWidth, 0);
  mnupeakvol_Click(s.core, 312);
  EXPECT_EQ(s.engine.volume, 0);
  EXPECT_EQ(s.core.vol.fillWidth, 191);
  EXPECT_EQ(s.core.vol.level, 4974);
}

TEST(AudioMenus, RateOnlyForMp3AndWavWithItsCheckMarkBalanceAlways) {
  const struct { const char* open; bool rateSet; } rows[] = {
      {"/m/a.mp3", true}, {"/m/b.wav", true}, {"/m/a.wma", false}, {"/m/a.MP3", false}, {"mp3", false}, {"", false}};
  for (const auto& r : rows) {
    Scene s;
    s.engine.open(r.open);
    rateItem_Click(s.core, 1);  // ".5"
    EXPECT_EQ(s.engine.rate, r.rateSet ? 0.5 : 1.0) << r.open;
    EXPECT_EQ(s.core.checks.rate, r.rateSet ? 1 : 4) << r.open;
  }
  Scene s;
  for (int item : {2, 2, 0}) {
    balanceItem_Click(s.core, item);
    EXPECT_EQ(s.engine.balance, kBalanceItems[static_cast<std::size_t>(item)].value);
    EXPECT_EQ(s.core.checks.balance, item);
  }
}

TEST(PopupMenus, PlayAndPlaylistentryActOnTheChosenEntryOnly) {
  Scene s;
  s.add({"/m/a.mp3", "/m/b.mp3", "/m/c.mp3"});
  mnuplay_Click(s.core);
  mnuplaylistentry_Click(s.core);
  EXPECT_TRUE(s.engine.opened.empty() && s.messages.shown.empty()) << "no entry chosen";
  s.core.list.markEntry(2);
  mnuplay_Click(s.core);
  EXPECT_EQ(s.engine.opened, std::vector<std::string>{"/m/c.mp3"});
  EXPECT_FALSE(s.core.shared.tracknumber.has_value()) << "Play leaves the track number";
  mnuplaylistentry_Click(s.core);
  EXPECT_EQ(s.messages.shown, Texts{"path of selected song : /m/c.mp3|Sonavax|Ok|Information"});
}

TEST(TrackSearch, MatchesAnywhereInTheDisplayTextWhateverTheCase) {
  Scene s;
  s.add({"/m/Abba - Waterloo.mp3", "/m/\xC3\x84rzte.mp3", "/m/b\xFF" "Ab.mp3", "/m/x.mp3",
           "/m/y.mp3", "/m/z.mp3", "/m/\xE2\x85\xA7.mp3", "/m/r.mp3", "/m/s.mp3", "/m/t.mp3"});
  const struct { std::string text; std::vector<Index> numbers; } rows[] = {{"", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
              {"ab", {1, 3}},                 // ASCII folds in names that are not UTF-8 too
              {"WATERLOO", {1}},
              {"\xC3\xA4rzte", {2}},          // Unicode case: ä finds Ä
              {"\xE2\x85\xB7", {7}},             // and the three-byte small roman eight its capital
              {"1", {1, 10}},                 // the entry number is part of the text
              {"   ", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
              {"nothing", {}}};
  for (const auto& r : rows) EXPECT_EQ(searchEntries(s.core.list, r.text), r.numbers) << r.text;
  EXPECT_EQ(searchCountText(0), "[ 0 items are found ]");
  EXPECT_EQ(searchCountText(12), "[ 12 items are found ]");
}

TEST(TrackSearch, GotoOpensAndMarksAndIgnoresNumbersBeyondTheList) {
  Scene s;
  s.add({"/m/a.mp3", "/m/b.mp3"});
  for (Index number : {0, 3, -5}) gotoEntry(s.core, number);
  EXPECT_TRUE(s.engine.opened.empty());
  gotoEntry(s.core, 2);
  EXPECT_EQ(s.engine.opened, std::vector<std::string>{"/m/b.mp3"});
  EXPECT_EQ(s.core.list.listIndex1(), 1);
  EXPECT_EQ(s.core.list.listIndex2(), 1);
  EXPECT_TRUE(s.core.list.isSelected(1));
}

TEST(SystemInfo, FirstKnownToolOnPathIsStartedElseTheNotice) {
  const std::filesystem::path root =
      std::filesystem::temp_directory_path() / ("sonavex-sysinfo-" + std::to_string(::getpid()));
  std::filesystem::create_directories(root / "a");
  std::filesystem::create_directories(root / "b");
  const auto tool = [&](const std::string& rel, bool executable) {
    std::ofstream(root / rel) << "#!/bin/sh\n";
    ::chmod((root / rel).c_str(), executable ? 0755 : 0644);
  };
  tool("a/hardinfo", true);
  tool("b/kinfocenter", false);  // not executable: skipped
  tool("b/gnome-control-center", true);
  const std::string path = "relative:" + (root / "a").string() + "::" + (root / "b").string();
  EXPECT_EQ(findSystemInfoProgram(path),
            (ProgramCommand{(root / "b/gnome-control-center").string(), {"info-overview"}}));
  EXPECT_EQ(findSystemInfoProgram((root / "a").string())->program, (root / "a/hardinfo").string());

  for (const auto& [pathVariable, startWorks] :
       {std::pair<std::string, bool>{"", true}, {(root / "a").string(), false}}) {
    Scene s;
    s.programs.works = startWorks;
    StartSysInfo(s.core, pathVariable);
    EXPECT_EQ(s.messages.shown, Texts{std::string(kSystemInfoUnavailable) + "|Sonavex|Ok|None"});
  }
  Scene s;
  StartSysInfo(s.core, (root / "a").string());
  EXPECT_EQ(s.programs.started.size(), 1u);
  EXPECT_TRUE(s.messages.shown.empty());
  std::filesystem::remove_all(root);
}

}  // namespace
}  // namespace sonavex
