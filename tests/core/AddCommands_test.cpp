#include "commands/core/AddCommands.h"

#include <gtest/gtest.h>

#include "commands/core/SelectionText.h"
#include "tests/core/CommandTestKit.h"

namespace sonavex {
namespace {

using testkit::TempTree;
using testkit::TestCore;
using Paths = std::vector<std::string>;

// The dialog's multi-selection text: the folder, then each name, NUL-separated.
std::string multi(const Paths& parts) {
  std::string s;
  for (std::size_t i = 0; i < parts.size(); ++i) s += (i ? std::string(1, '\0') : "") + parts[i];
  return s;
}

TEST(SelectionText, SplitsIntoFolderSlashNamePaths) {
  const struct {
    std::string selection;
    Paths paths;
  } rows[] = {
      {"", {}},
      {"/m/a.mp3", {"/m/a.mp3"}},
      {multi({"/m", "b.mp3", "a.mp3"}), {"/m/b.mp3", "/m/a.mp3"}},
      {multi({"/m", "b.mp3", "", "a.mp3", ""}), {"/m/b.mp3", "/m/a.mp3"}},
      {multi({"/", "a.mp3"}), {"//a.mp3"}},
      {multi({"/m", ""}), {}},
  };
  for (const auto& row : rows) EXPECT_EQ(pathsOfSelection(row.selection), row.paths) << row.selection;
}

TEST(SelectionText, ArbitraryBytesGiveFolderSlashNamePaths) {
  testkit::CountingRandom rng(3);
  for (int round = 0; round < 2000; ++round) {
    std::string sel;
    for (int i = rng.below(40); i > 0; --i) sel.push_back(rng.below(4) == 0 ? '\0' : static_cast<char>(rng.below(256)));
    const auto paths = pathsOfSelection(sel);
    const auto nul = sel.find('\0');
    if (nul == std::string::npos) {
      EXPECT_EQ(paths.size(), sel.empty() ? 0u : 1u);
      continue;
    }
    const std::string folder = sel.substr(0, nul) + "/";
    std::size_t names = 0;
    for (std::size_t i = nul; i + 1 < sel.size(); ++i) names += sel[i] == '\0' && sel[i + 1] != '\0';
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
  c.add({"/x/old.mp3"});
  c.dialog.selection = multi({"/Music", "b.mp3", "", "a.mp3", "b.mp3"});
  cmdfile_Click(c.core);
  c.dialog.selection = "/Music/Best Of/a b.mp3";
  cmdfile_Click(c.core);
  c.dialog.selection = multi({"/", "r.mp3"});
  cmdfile_Click(c.core);
  EXPECT_EQ(c.paths(),
            (Paths{"/x/old.mp3", "/Music/b.mp3", "/Music/a.mp3", "/Music/b.mp3", "/Music/Best Of/a b.mp3", "//r.mp3"}));
  EXPECT_EQ(c.names()[3], "4   b.mp3");
  EXPECT_EQ(c.names()[4], "5   a b.mp3");
  EXPECT_EQ(c.names()[5], "6   r.mp3");
}

TEST(AddFiles, ASelectionLongerThanTheOldLimitIsAddedWhole) {
  TestCore c;
  Paths parts{"/very/long/folder"};
  for (int i = 0; i < 3000; ++i) parts.push_back("track number " + std::to_string(i) + ".mp3");
  c.dialog.selection = multi(parts);
  ASSERT_GT(c.dialog.selection.size(), 32767u);
  cmdfile_Click(c.core);
  EXPECT_EQ(c.core.list.count(), 3000);
  EXPECT_EQ(c.core.list.path(2999), "/very/long/folder/track number 2999.mp3");
  EXPECT_TRUE(c.messages.shown.empty());
}

TEST(AddCommands, RebuildTheShuffleOrderWhetherOrNotAnythingWasChosen) {
  for (const bool folderCommand : {false, true}) {
    SCOPED_TRACE(folderCommand ? "add folder" : "add files");
    TempTree t;
    t.file("d.mp3");
    t.file("e.mp3");
    TestCore c;
    c.add({"/a.mp3", "/b.mp3", "/c.mp3"});
    c.core.chkshuffle = 1;
    c.core.List5.append(0);  // stale order
    c.core.List5.setListIndex(0);
    const auto run = folderCommand ? &cmddir_Click : &cmdfile_Click;
    run(c.core);  // cancelled
    EXPECT_EQ(c.core.list.count(), 3);
    EXPECT_TRUE(c.shuffleCoversList());
    EXPECT_EQ(c.core.List5.listIndex(), kNone);
    EXPECT_FALSE(c.busy.busy);
    c.dialog.selection = multi({t.root(), "d.mp3", "e.mp3"});
    c.folders.folder = t.root();
    run(c.core);
    EXPECT_EQ(c.core.List5.count(), 5);
    EXPECT_TRUE(c.shuffleCoversList());
    EXPECT_TRUE(c.messages.shown.empty());
  }
}

TEST(AddCommands, WithoutADialogNothingIsAddedAndNothingBreaks) {
  TestCore c;
  c.core.platform = Platform{};
  cmdfile_Click(c.core);
  cmddir_Click(c.core);
  EXPECT_EQ(c.core.list.count(), 0);
}

TEST(AddFolder, AsksForAFolderWhileBusyAndAppendsTheWholeTreeByType) {
  TempTree t;
  for (const char* f : {"x.mp3", "sub/y.mp3", "z.wav", "sub/w.cda", "sub/v.FLAC"}) t.file(f);
  TestCore c;
  c.folders.folder = t.root();
  cmddir_Click(c.core);
  EXPECT_EQ(c.folders.titles, Paths{"Select a directory"});
  EXPECT_TRUE(c.folders.wasBusy);
  EXPECT_EQ(c.busy.changes, (std::vector<bool>{true, false}));
  EXPECT_EQ(c.paths(),
            (Paths{t.path("x.mp3"), t.path("sub/y.mp3"), t.path("z.wav"), t.path("sub/w.cda"), t.path("sub/v.FLAC")}));
  EXPECT_EQ(c.names()[4], "5   v.FLAC");
}

}  // namespace
}  // namespace sonavex
