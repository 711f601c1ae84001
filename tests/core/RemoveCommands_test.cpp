#include "commands/core/RemoveCommands.h"

#include <gtest/gtest.h>

#include "tests/core/CommandTestKit.h"

namespace sonavex {
namespace {

using testkit::exists;
using testkit::TempTree;
using testkit::TestCore;
using Paths = std::vector<std::string>;

TEST(RemoveSelected, RenumbersTheKeptEntriesKeepingTheirShownNamesAndSelectsNothing) {
  TestCore c;
  c.core.list.appendRaw("/p/one.mp3", "7   shown   name");
  c.add({"/p/two.mp3", "/p/three.mp3", "/p/four.mp3", "/p/five.mp3"});
  c.core.list.setListIndex1(2);
  c.core.list.setListIndex2(1);
  c.select({1, 3});
  cmdsel_Click(c.core);
  EXPECT_EQ(c.names(), (Paths{"1   shown   name", "2   three.mp3", "3   five.mp3"}));
  EXPECT_EQ(c.paths(), (Paths{"/p/one.mp3", "/p/three.mp3", "/p/five.mp3"}));
  EXPECT_EQ(c.core.list.selectedCount(), 0);
  EXPECT_EQ(c.core.list.listIndex1(), kNone);
  EXPECT_EQ(c.core.list.listIndex2(), kNone);
}

TEST(RemoveSelected, NothingSelectedStillRenumbers) {
  TestCore c;
  c.core.list.appendRaw("/a.mp3", "4   a.mp3");
  c.core.list.appendRaw("/b.mp3", "9   b.mp3");
  cmdsel_Click(c.core);
  EXPECT_EQ(c.names(), (Paths{"1   a.mp3", "2   b.mp3"}));
}

TEST(RemoveAll, EmptiesPlaylistAndShuffleOrder) {
  TestCore c;
  c.add({"/a.mp3", "/b.mp3"});
  c.core.chkshuffle = 1;
  c.core.List5.append(1);
  c.core.List5.append(0);
  cmdall_Click(c.core);
  EXPECT_EQ(c.core.list.count(), 0);
  EXPECT_TRUE(c.core.List5.empty());
}

TEST(Crop, KeepsTheSelectedEntriesNamedFromTheirPaths) {
  TestCore c;
  c.add({"/1.mp3", "/2.mp3", "/3.mp3"});
  c.core.list.appendRaw("/dir/real name.mp3", "4   renamed");
  c.add({"/5.mp3"});
  c.select({3});
  mnucrop_Click(c.core);
  EXPECT_EQ(c.paths(), Paths{"/dir/real name.mp3"});
  EXPECT_EQ(c.names(), Paths{"1   real name.mp3"});
}

TEST(RemovalShuffle, EveryRemovalLeavesAnOrderOfTheRemainingEntries) {
  for (const auto& command : {&cmdsel_Click, &mnucrop_Click, &mnuinvalid_Click}) {
    TestCore c;
    c.core.chkshuffle = 1;
    for (int i = 0; i < 12; ++i) c.core.list.appendEntry(i % 3 ? "" : "/missing/" + std::to_string(i));
    for (Index i = 0; i < 12; ++i) c.core.List5.append(i);
    c.select({0, 4, 5, 11});
    command(c.core);
    EXPECT_LT(c.core.list.count(), 12);
    EXPECT_TRUE(c.shuffleCoversList());
  }
}

TEST(InvalidEntries, RemovesMissingFilesFoldersAndDanglingLinksAndReportsTheCount) {
  TempTree t;
  const std::string a = t.file("a.mp3");
  const std::string good = t.link(a, "good.mp3");
  TestCore c;
  c.add({a, t.path("gone1.mp3"), t.path("gone2.mp3"), t.dir("folder.mp3"), "", good,
         t.link(t.path("nowhere"), "dangling.mp3"), a});
  mnuinvalid_Click(c.core);
  EXPECT_EQ(c.paths(), (Paths{a, "", good, a}));
  EXPECT_EQ(c.names(), (Paths{"1   a.mp3", "2   ", "3   good.mp3", "4   a.mp3"}));
  mnuinvalid_Click(c.core);
  ASSERT_EQ(c.messages.shown.size(), 2u);
  EXPECT_EQ(c.messages.shown[0].text, "4 invalid track(s) are removed from your playlist");
  EXPECT_EQ(c.messages.shown[0].title, "Sonavex");
  EXPECT_EQ(c.messages.shown[0].buttons, MsgButtons::Ok);
  EXPECT_EQ(c.messages.shown[0].icon, MsgIcon::None);
  EXPECT_EQ(c.messages.shown[1].text, "No invalid files");
  EXPECT_EQ(c.core.list.count(), 4);
}

class DiskDeletion : public ::testing::Test {
 protected:
  void deleteSelected(const std::vector<Index>& rows) {
    c.core.list.listrefreshing();
    c.select(rows);
    c.messages.answer = MsgAnswer::Yes;
    mnudelfromdisk_Click(c.core);
  }
  TempTree t;
  TestCore c;
};

TEST_F(DiskDeletion, NoOrNobodyToAskDeletesNothing) {
  const std::string a = t.file("a.mp3");
  c.add({a});
  c.select({0});
  c.messages.answer = MsgAnswer::No;
  mnudelfromdisk_Click(c.core);
  mnudelfromharddisk_Click(c.core);
  ASSERT_EQ(c.messages.shown.size(), 2u);
  for (const auto& m : c.messages.shown) {
    EXPECT_EQ(m.text, "Are you sure to delete selected file(s) from harddisk");
    EXPECT_EQ(m.title, "Sonavax");
    EXPECT_EQ(m.buttons, MsgButtons::YesNo);
    EXPECT_EQ(m.icon, MsgIcon::None);
  }
  c.core.platform.messages = nullptr;
  mnudelfromdisk_Click(c.core);
  mnudelfromharddisk_Click(c.core);
  EXPECT_TRUE(exists(a));
  EXPECT_EQ(c.core.list.count(), 1);
}

TEST_F(DiskDeletion, YesDeletesExactlyTheSelectedFilesReadOnlyOnesToo) {
  const std::string a = t.file("a.mp3"), b = t.file("b.mp3"), d = t.file("d.mp3"), ro = t.file("readonly.mp3");
  chmod(ro.c_str(), 0444);
  const std::string neighbour = t.file("a.mp3.bak");
  c.add({a, b, ro, d});
  c.core.chkshuffle = 1;
  deleteSelected({0, 2});
  EXPECT_FALSE(exists(a));
  EXPECT_FALSE(exists(ro));
  EXPECT_TRUE(exists(b));
  EXPECT_TRUE(exists(d));
  EXPECT_TRUE(exists(neighbour));
  EXPECT_EQ(c.names(), (Paths{"1   b.mp3", "2   d.mp3"}));
  EXPECT_TRUE(c.shuffleCoversList());
}

TEST_F(DiskDeletion, FirstFailureStopsWithThePlaylistUnchanged) {
  const std::string a = t.file("a.mp3"), b = t.file("b.mp3");
  c.add({a, t.path("missing.mp3"), b});
  deleteSelected({0, 1, 2});
  EXPECT_FALSE(exists(a));  // deleted before the failure: stays deleted
  EXPECT_TRUE(exists(b));
  EXPECT_EQ(c.core.list.count(), 3);
  EXPECT_EQ(c.core.list.selectedCount(), 3);
}

TEST_F(DiskDeletion, NeverRemovesADirectoryAPathThroughAFileOrARelativePath) {
  const std::string inside = t.file("album.mp3/inside.mp3"), plain = t.file("plain.mp3"), rel = t.file("a.mp3");
  const std::string cwd = std::filesystem::current_path().string();
  ASSERT_EQ(chdir(t.root().c_str()), 0);
  c.add({t.path("album.mp3"), plain + "/child.mp3", "", "a.mp3"});
  // A NUL would cut the path short at plain.mp3; no intake lets it in, deletion refuses it anyway.
  c.core.list.appendRaw(plain + std::string("\0song.mp3", 9), "5   song.mp3");
  for (Index row = 0; row < 5; ++row) {
    SCOPED_TRACE(c.core.list.path(row));
    deleteSelected({row});
    EXPECT_EQ(c.core.list.count(), 5);
  }
  mnudelfromharddisk_Click(c.core);
  ASSERT_EQ(chdir(cwd.c_str()), 0);
  EXPECT_EQ(c.core.list.count(), 5);
  EXPECT_TRUE(exists(inside));
  EXPECT_TRUE(exists(plain));
  EXPECT_TRUE(exists(rel));
}

TEST_F(DiskDeletion, ALinkEntryRemovesTheLinkNotItsTarget) {
  const std::string target = t.file("keep/target.mp3");
  const std::string link = t.link(target, "link.mp3"), folderLink = t.link(t.path("keep"), "keeplink");
  c.add({link, folderLink});
  deleteSelected({0, 1});
  EXPECT_FALSE(exists(link));
  EXPECT_FALSE(exists(folderLink));
  EXPECT_TRUE(exists(target));
  EXPECT_EQ(c.core.list.count(), 0);
}

TEST_F(DiskDeletion, TheSameFileInTwoEntriesIsDeletedOnceAndBothEntriesGo) {
  const std::string a = t.file("a.mp3"), b = t.file("b.mp3");
  c.add({a, b, a});
  deleteSelected({0, 2});
  EXPECT_FALSE(exists(a));
  EXPECT_EQ(c.paths(), Paths{b});
}

TEST_F(DiskDeletion, AllFilesStopsAtAReadOnlyFile) {
  const std::string a = t.file("a.mp3"), ro = t.file("ro.mp3"), b = t.file("b.mp3");
  chmod(ro.c_str(), 0444);
  c.add({a, ro, b});
  c.messages.answer = MsgAnswer::Yes;
  mnudelfromharddisk_Click(c.core);
  EXPECT_FALSE(exists(a));
  EXPECT_TRUE(exists(ro));
  EXPECT_TRUE(exists(b));
  EXPECT_EQ(c.core.list.count(), 3);
  chmod(ro.c_str(), 0644);
  c.core.list.removeAt(0);
  mnudelfromharddisk_Click(c.core);
  EXPECT_FALSE(exists(ro));
  EXPECT_FALSE(exists(b));
  EXPECT_EQ(c.core.list.count(), 0);
}

TEST_F(DiskDeletion, AFileInAReadOnlyFolderFailsForAnUnprivilegedUser) {
  const std::string a = t.file("locked/a.mp3");
  chmod(t.path("locked").c_str(), 0555);
  const std::string out = testkit::runUnprivileged(t.root(), [&] {
    TestCore child;
    child.add({a});
    child.select({0});
    child.messages.answer = MsgAnswer::Yes;
    mnudelfromdisk_Click(child.core);
    return std::to_string(child.core.list.count());
  });
  if (out == testkit::kCannotDropRights) GTEST_SKIP() << "needs an unprivileged user";
  EXPECT_EQ(out, "1");
  EXPECT_TRUE(exists(a));
}

}  // namespace
}  // namespace sonavex
