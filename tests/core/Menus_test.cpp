// The volume popup's arithmetic, the audio and popup menu handlers, the track search and the
// system-information lookup.
#include <gtest/gtest.h>
#include <sys/stat.h>

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

TEST(VolumePopup, CrescentAndClicksAtTheDesignSizeAndPeakAndMuteMoveTheFillButNotTheRememberedLevel) {
  const CrescentFigures f = crescentFigures(312, 213);
  EXPECT_EQ(std::tuple(f.A, f.B, f.R), std::tuple(Box{0, 0, 246, 213}, Box{0, 19, 213, 213}, Box{0, 0, 191, 52}));
  // Bounds that fall on a half round to the even neighbour: 52.5 to 52, 53.5 to 54.
  EXPECT_EQ(crescentFigures(313, 215).R, (Box{0, 0, 192, 52}));
  EXPECT_EQ(crescentFigures(313, 217).R, (Box{0, 0, 192, 54}));
  // The region is the upper left of the crescent: on the arc, not inside the inner ellipse nor
  // outside the outer one.
  const PixelRegion crescent = crescentRegion(312, 213);
  EXPECT_EQ(std::tuple(crescent.bounds().right, crescent.contains(100, 3), crescent.contains(100, 40),
                       crescent.contains(10, 10)),
            std::tuple(191, true, false, false));

  // x: pixels on the body, twips on the fill.
  const struct { bool onFill; double x; int level; double fill; } rows[] = {
      {false, 0, 0, 0}, {false, 95, 4974, 95}, {false, 191, 10000, 191}, {true, 1500, 5236, 100}};
  for (const auto& r : rows) {
    Scene s;
    r.onFill ? Image1_MouseUp(s.core, 312, r.x) : frmvol_MouseUp(s.core, 312, r.x);
    EXPECT_EQ(std::tuple(s.core.vol.level, s.engine.volume, s.core.vol.fillWidth),
              std::tuple(r.level, r.level - 10000L, r.fill)) << r.x;
  }
  Scene s;
  frmvol_Load(s.core);
  EXPECT_EQ(s.engine.volume, 0);
  frmvol_MouseUp(s.core, 312, 95);
  mnumute_Click(s.core);
  EXPECT_EQ(std::pair(s.engine.volume, s.core.vol.fillWidth), std::pair(kVolumeSilent, 0.0));
  mnupeakvol_Click(s.core, 312);
  EXPECT_EQ(std::tuple(s.engine.volume, s.core.vol.fillWidth, s.core.vol.level), std::tuple(0L, 191.0, 4974));
  // A volume key moves a tenth of the arc from the nearest tenth, never past silent or full.
  const struct { double fill; int steps, level; } keys[] = {
      {294, -1, 9000}, {95, 1, 6000}, {100, -2, 3000}, {0, -1, 0}, {191, 1, 10000}};
  for (const auto& k : keys) {
    s.core.vol.fillWidth = k.fill;
    volumeKey(s.core, 312, k.steps);
    EXPECT_EQ(std::pair(s.core.vol.level, s.engine.volume), std::pair(k.level, k.level - 10000L)) << k.fill;
  }
}

TEST(AudioMenus, RateOnlyForMp3AndWavWithItsCheckMarkBalanceAlwaysAndPopupItemsActOnTheChosenEntryOnly) {
  const struct { const char* open; bool rateSet; } rows[] = {
      {"/m/a.mp3", true}, {"/m/b.wav", true}, {".mp3", true},  // the shortest name that takes one
      {"/m/a.wma", false}, {"/m/a.MP3", false}, {"mp3", false}, {"", false}};
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

  // Play and Playlistentry of the song menu act on the chosen entry only.
  Scene menu;
  menu.add({"/m/a.mp3", "/m/b.mp3", "/m/c.mp3"});
  mnuplay_Click(menu.core);
  mnuplaylistentry_Click(menu.core);
  EXPECT_TRUE(menu.engine.opened.empty() && menu.messages.shown.empty()) << "no entry chosen";
  menu.core.list.markEntry(2);
  mnuplay_Click(menu.core);
  EXPECT_EQ(menu.engine.opened, std::vector<std::string>{"/m/c.mp3"});
  EXPECT_FALSE(menu.core.shared.tracknumber.has_value()) << "Play leaves the track number";
  mnuplaylistentry_Click(menu.core);
  EXPECT_EQ(menu.messages.shown, Texts{"path of selected song : /m/c.mp3|Sonavax|Ok|Information"});
}

TEST(TrackSearch, MatchesAnywhereInTheDisplayTextWhateverTheCaseAndGotoPlaysANumberInTheList) {
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
  EXPECT_EQ(searchCountText(0) + searchCountText(12), "[ 0 items are found ][ 12 items are found ]");
  for (Index number : {0, 11, -5}) gotoEntry(s.core, number);
  EXPECT_TRUE(s.engine.opened.empty());
  gotoEntry(s.core, 10);
  const PlaylistModel& l = s.core.list;
  EXPECT_EQ(std::tuple(s.engine.opened, l.listIndex1(), l.listIndex2(), l.isSelected(9)),
            std::tuple(Texts{"/m/t.mp3"}, 9, 9, true));
}

TEST(SystemInfo, FirstKnownToolOnPathIsStartedElseTheNotice) {
  kit::TempTree t;
  for (const char* tool : {"a/hardinfo", "b/kinfocenter", "b/gnome-control-center"}) t.write(tool, "#!/bin/sh\n");
  for (const char* tool : {"a/hardinfo", "b/gnome-control-center"}) ::chmod(t.path(tool).c_str(), 0755);
  const std::string path = "relative:" + t.path("a") + "::" + t.path("b");  // kinfocenter cannot run
  EXPECT_EQ(findSystemInfoProgram(path), (ProgramCommand{t.path("b/gnome-control-center"), {"info-overview"}}));
  EXPECT_EQ(findSystemInfoProgram(t.path("a"))->program, t.path("a/hardinfo"));
  for (const auto& [pathVariable, startWorks] : {std::pair<std::string, bool>{"", true}, {t.path("a"), false}}) {
    Scene s;
    s.programs.works = startWorks;
    StartSysInfo(s.core, pathVariable);
    EXPECT_EQ(s.messages.shown, Texts{std::string(kSystemInfoUnavailable) + "|Sonavex|Ok|None"});
  }
  Scene s;
  StartSysInfo(s.core, t.path("a"));
  EXPECT_EQ(std::pair(s.programs.started.size(), s.messages.shown.size()), std::pair(std::size_t{1}, std::size_t{0}));
}

}  // namespace
}  // namespace sonavex
