#include "commands/core/AddCommands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "commands/core/SelectionText.h"
#include "tests/core/CommandTestKit.h"

namespace sonavex {
namespace {

using testkit::TempTree;
using testkit::TestCore;

std::string multi(std::initializer_list<std::string> parts) {
  std::string s;
  for (const auto& p : parts) {
    if (!s.empty() || &p != parts.begin()) s.push_back('\0');
    s += p;
  }
  return s;
}

bool isPermutationOfEntries(const Core& core) {
  std::vector<Index> order = core.List5.entries();
  std::sort(order.begin(), order.end());
  for (Index i = 0; i < static_cast<Index>(order.size()); ++i)
    if (order[static_cast<std::size_t>(i)] != i) return false;
  return static_cast<Index>(order.size()) == core.list.count();
}

TEST(SelectionText, OnePathSeveralNamesAndNothing) {
  EXPECT_TRUE(pathsOfSelection("").empty());
  EXPECT_EQ(pathsOfSelection("/m/a.mp3"), std::vector<std::string>{"/m/a.mp3"});
  EXPECT_EQ(pathsOfSelection(multi({"/m", "b.mp3", "a.mp3"})),
            (std::vector<std::string>{"/m/b.mp3", "/m/a.mp3"}));
  EXPECT_EQ(pathsOfSelection(multi({"/m", "b.mp3", "", "a.mp3", ""})),
            (std::vector<std::string>{"/m/b.mp3", "/m/a.mp3"}));
  EXPECT_EQ(pathsOfSelection(multi({"/", "a.mp3"})), std::vector<std::string>{"//a.mp3"});
  EXPECT_TRUE(pathsOfSelection(multi({"/m", ""})).empty());
}

TEST(SelectionText, ArbitraryBytesGiveFolderSlashNamePaths) {
  testkit::CountingRandom rng(3);
  for (int round = 0; round < 2000; ++round) {
    std::string sel;
    const int len = rng.below(40);
    for (int i = 0; i < len; ++i) sel.push_back(rng.below(4) == 0 ? '\0' : static_cast<char>(rng.below(256)));
    const auto paths = pathsOfSelection(sel);
    const auto nul = sel.find('\0');
    if (nul == std::string::npos) {
      EXPECT_EQ(paths.size(), sel.empty() ? 0u : 1u);
      continue;
    }
    const std::string folder = sel.substr(0, nul) + "/";
    std::size_t names = 0;
    for (std::size_t i = nul; i < sel.size(); ++i)
      if (sel[i] == '\0' && i + 1 < sel.size() && sel[i + 1] != '\0') ++names;
    ASSERT_EQ(paths.size(), names);
    for (const auto& p : paths) {
      EXPECT_EQ(p.compare(0, folder.size(), folder), 0);
      EXPECT_GT(p.size(), folder.size());
      EXPECT_EQ(p.find('\0'), std::string::npos);
    }
  }
}

TEST(AddFiles, SetsTheDialogUpAsTheCommandNeeds) {
  TestCore c;
  cmdfile_Click(c.core);
  EXPECT_EQ(c.dialog.opened, 1);
  EXPECT_EQ(c.dialog.Filter,
            "all supported files *.mp3;*.wma;*.mid;*.wav;*.cda;*.asf|*.mp3;*.wma;*.mid;*.wav;*.cda;*.asf|*.mp3|*.mp3|"
            "*.wma|*.wma|*.cda|*.cda|*.mid|*.mid|*.wav|*.wav|*.asf|*.asf|*.dat|*.dat|*.*|*.*");
  EXPECT_EQ(c.dialog.Flags, 0x80200);
  EXPECT_EQ(c.dialog.MaxFileSize, 32767);
}

TEST(AddFiles, AppendsInTheDialogsOrderNumberedAfterTheExistingEntries) {
  TestCore c;
  c.add({"/x/old.mp3", "/x/old.mp3"});
  c.dialog.selection = multi({"/Music", "b.mp3", "", "a.mp3", "b.mp3"});
  cmdfile_Click(c.core);
  EXPECT_EQ(c.paths(), (std::vector<std::string>{"/x/old.mp3", "/x/old.mp3", "/Music/b.mp3", "/Music/a.mp3",
                                                 "/Music/b.mp3"}));
  EXPECT_EQ(c.names()[2], "3   b.mp3");
  EXPECT_EQ(c.names()[4], "5   b.mp3");
}

TEST(AddFiles, OneChosenFileAndAFileInTheRootFolder) {
  TestCore c;
  c.dialog.selection = "/Music/Best Of/a b.mp3";
  cmdfile_Click(c.core);
  c.dialog.selection = multi({"/", "r.mp3", "s.mp3"});
  cmdfile_Click(c.core);
  EXPECT_EQ(c.paths(), (std::vector<std::string>{"/Music/Best Of/a b.mp3", "//r.mp3", "//s.mp3"}));
  EXPECT_EQ(c.names()[0], "1   a b.mp3");
  EXPECT_EQ(c.names()[1], "2   r.mp3");
}

TEST(AddFiles, ASelectionLongerThanTheOldLimitIsAddedWhole) {
  TestCore c;
  std::string sel = "/very/long/folder";
  for (int i = 0; i < 3000; ++i) sel += std::string(1, '\0') + "track number " + std::to_string(i) + ".mp3";
  ASSERT_GT(sel.size(), 32767u);
  c.dialog.selection = sel;
  cmdfile_Click(c.core);
  EXPECT_EQ(c.core.list.count(), 3000);
  EXPECT_EQ(c.core.list.path(2999), "/very/long/folder/track number 2999.mp3");
  EXPECT_TRUE(c.messages.shown.empty());
}

TEST(AddFiles, RebuildsTheShuffleOrderEvenWhenNothingWasChosen) {
  TestCore c;
  c.add({"/a.mp3", "/b.mp3", "/c.mp3"});
  c.core.chkshuffle = 1;
  c.core.List5.append(0);  // stale order
  c.core.List5.setListIndex(0);
  cmdfile_Click(c.core);
  EXPECT_TRUE(isPermutationOfEntries(c.core));
  EXPECT_EQ(c.core.List5.listIndex(), kNone);
  c.dialog.selection = multi({"/n", "d.mp3", "e.mp3"});
  cmdfile_Click(c.core);
  EXPECT_EQ(c.core.List5.count(), 5);
  EXPECT_TRUE(isPermutationOfEntries(c.core));
}

TEST(AddFiles, WithoutADialogNothingIsAddedAndNothingBreaks) {
  TestCore c;
  c.core.platform = Platform{};
  cmdfile_Click(c.core);
  cmddir_Click(c.core);
  EXPECT_EQ(c.core.list.count(), 0);
}

TEST(AddFolder, AsksForAFolderWhileBusyAndAppendsTheWholeTreeByType) {
  TempTree t;
  t.file("x.mp3");
  t.file("sub/y.mp3");
  t.file("z.wav");
  t.file("sub/w.cda");
  t.file("sub/v.FLAC");
  TestCore c;
  c.folders.folder = t.root();
  cmddir_Click(c.core);
  EXPECT_EQ(c.folders.titles, std::vector<std::string>{"Select a directory"});
  EXPECT_TRUE(c.folders.wasBusy);
  EXPECT_EQ(c.busy.changes, (std::vector<bool>{true, false}));
  EXPECT_EQ(c.paths(), (std::vector<std::string>{t.path("x.mp3"), t.path("sub/y.mp3"), t.path("z.wav"),
                                                 t.path("sub/w.cda"), t.path("sub/v.FLAC")}));
  EXPECT_EQ(c.names()[4], "5   v.FLAC");
}

TEST(AddFolder, CancelAddsNothingButRebuildsTheShuffleOrder) {
  TestCore c;
  c.add({"/a.mp3", "/b.mp3"});
  c.core.chkshuffle = 1;
  c.folders.folder = "";
  cmddir_Click(c.core);
  EXPECT_EQ(c.core.list.count(), 2);
  EXPECT_TRUE(isPermutationOfEntries(c.core));
  EXPECT_FALSE(c.busy.busy);
  EXPECT_TRUE(c.messages.shown.empty());
}

}  // namespace
}  // namespace sonavex
