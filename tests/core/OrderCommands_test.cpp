#include "commands/core/OrderCommands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>

#include "commands/core/RandomOrder.h"
#include "commands/core/Sorting.h"
#include "tests/core/CommandTestKit.h"

namespace sonavex {
namespace {

using testkit::TestCore;

// Sets the collation and character locale for one test and puts the old one back.
class LocaleScope {
 public:
  explicit LocaleScope(const char* name) : old_(std::setlocale(LC_ALL, nullptr)) {
    ok_ = std::setlocale(LC_ALL, name) != nullptr;
  }
  ~LocaleScope() { std::setlocale(LC_ALL, old_.c_str()); }
  bool ok() const { return ok_; }

 private:
  std::string old_;
  bool ok_ = false;
};

using Paths = std::vector<std::string>;

TEST(SortByName, ComparesTheFileNamesCaseBlindByTextKeepingEqualNamesInOrder) {
  const struct {
    const char* rule;
    Paths before, after;
  } rows[] = {
      {"case and folder ignored", {"/y/b.mp3", "/z/A.mp3", "/a/C.mp3"}, {"/z/A.mp3", "/y/b.mp3", "/a/C.mp3"}},
      {"not numeric", {"/9 a.mp3", "/10 b.mp3", "/2.mp3"}, {"/10 b.mp3", "/2.mp3", "/9 a.mp3"}},
      {"stable",
       {"/1/Song.mp3", "/2/a.mp3", "/3/SONG.mp3", "/4/song.mp3", "/5/Song.mp3"},
       {"/2/a.mp3", "/1/Song.mp3", "/3/SONG.mp3", "/4/song.mp3", "/5/Song.mp3"}},
      // In the "C" locale the order is the bytes of the lower-cased names.
      {"odd bytes",
       {"/\xff\xfe.mp3", "/-dash.mp3", "/new\nline.mp3", "/" + std::string(255, 'z'), "/a.b.c.mp3", "/with space.mp3"},
       {"/-dash.mp3", "/a.b.c.mp3", "/new\nline.mp3", "/with space.mp3", "/" + std::string(255, 'z'), "/\xff\xfe.mp3"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.rule);
    TestCore c;
    c.add(row.before);
    cmdname_Click(c.core);
    EXPECT_EQ(c.paths(), row.after);
    EXPECT_EQ(c.names()[0], "1   " + std::string(fileNameOf(row.after[0])));
    EXPECT_EQ(c.names()[2], "3   " + std::string(fileNameOf(row.after[2])));
  }
}

TEST(SortByName, UsesTheDisplayedNameAndKeepsEachPathWithItsName) {
  TestCore c;
  c.core.list.appendRaw("/p/zzz.mp3", "1   aaa shown");
  c.add({"/p/mmm.mp3", "/p/bbb.mp3"});
  cmdname_Click(c.core);
  EXPECT_EQ(c.paths(), (Paths{"/p/zzz.mp3", "/p/bbb.mp3", "/p/mmm.mp3"}));
  EXPECT_EQ(c.names()[0], "1   aaa shown");
}

TEST(SortByName, ClearsSelectionAndLeavesShuffleOrderAndCurrentTrack) {
  TestCore c;
  c.add({"/b", "/a", "/c"});
  c.core.list.markEntry(1);
  for (const Index i : {2, 0, 1}) c.core.List5.append(i);
  c.core.shared.currenttrack = 2;
  cmdname_Click(c.core);
  EXPECT_EQ(c.core.list.selectedCount(), 0);
  EXPECT_EQ(c.core.list.listIndex1(), kNone);
  EXPECT_EQ(c.core.list.listIndex2(), kNone);
  EXPECT_EQ(c.core.List5.entries(), (std::vector<Index>{2, 0, 1}));
  EXPECT_EQ(c.core.shared.currenttrack, 2);
}

TEST(OrderCommands, EmptyAndSingleEntryLists) {
  TestCore c;
  cmdname_Click(c.core);
  cmdrnd_Click(c.core);
  EXPECT_EQ(c.core.list.count(), 0);
  c.core.list.appendRaw("/only.mp3", "5   only.mp3");
  for (const auto command : {&cmdname_Click, &cmdrnd_Click}) {
    command(c.core);
    EXPECT_EQ(c.names(), Paths{"1   only.mp3"});
  }
}

TEST(SortKeys, FoldCaseOfNonAsciiLettersInAUtf8Locale) {
  LocaleScope utf8("C.UTF-8");
  if (!utf8.ok()) GTEST_SKIP() << "C.UTF-8 locale not installed";
  EXPECT_EQ(foldCase("\xc3\x89T\xc3\x89.mp3"), "\xc3\xa9t\xc3\xa9.mp3");  // ÉTÉ -> été
  EXPECT_EQ(foldCase("A\xff\xc3"), "a\xff\xc3");                         // broken bytes stay
  const std::vector<std::string_view> names{"\xc3\xa9t\xc3\xa9", "Zed", "\xc3\x89T\xc3\x89", "alpha", "\xff"};
  EXPECT_EQ(sortedOrder(names), (std::vector<Index>{3, 1, 0, 2, 4}));
}

TEST(SortKeys, CollationKeysKeepTheWholeText) {
  // In the "C" locale a collation key is the text itself, whatever its length.
  for (const std::string& text : {std::string(), std::string("a"), std::string(5000, 'k') + "\xff"})
    EXPECT_EQ(collationKey(text), text);
}

// The moves of the random order done the plain way, one entry at a time.
std::vector<Index> movedPlainly(const std::vector<Index>& draws, Index n) {
  std::vector<Index> list(static_cast<std::size_t>(n));
  for (Index i = 0; i < n; ++i) list[static_cast<std::size_t>(i)] = i;
  for (Index i = 0; i < static_cast<Index>(draws.size()); ++i) {
    const Index moved = list[static_cast<std::size_t>(i)];
    list.erase(list.begin() + i);
    list.insert(list.begin() + draws[static_cast<std::size_t>(i)], moved);
  }
  return list;
}

TEST(RandomOrder, MovesAtMost555EntriesAndMatchesOneByOneMoves) {
  for (const Index n : {2, 7, 555, 600}) {
    testkit::CountingRandom rng(static_cast<std::uint64_t>(n));
    std::vector<Index> draws;
    testkit::CountingRandom replay(static_cast<std::uint64_t>(n));
    const auto order = randomOrderMoves(rng, n);
    EXPECT_EQ(rng.draws, std::min<Index>(n, 555));
    for (long d = 0; d < rng.draws; ++d) draws.push_back(replay.below(n));
    EXPECT_EQ(order, movedPlainly(draws, n)) << n;
  }
}

TEST(RandomOrder, AlwaysDrawingZeroReversesTheFirst555) {
  testkit::CountingRandom rng;
  rng.script = [](long) { return 0.0; };
  const auto order = randomOrderMoves(rng, 600);
  for (Index i = 0; i < 555; ++i) EXPECT_EQ(order[static_cast<std::size_t>(i)], 554 - i);
  for (Index i = 555; i < 600; ++i) EXPECT_EQ(order[static_cast<std::size_t>(i)], i);
}

TEST(RandomOrder, RenumbersAndKeepsPathsWithNamesWhileBusy) {
  TestCore c;
  for (int i = 0; i < 50; ++i) c.core.list.appendEntry("/d" + std::to_string(i) + "/t" + std::to_string(i) + ".mp3");
  c.core.List5.append(3);
  cmdrnd_Click(c.core);
  EXPECT_EQ(c.busy.changes, (std::vector<bool>{true, false}));
  EXPECT_EQ(c.rng.draws, 50);
  EXPECT_EQ(c.core.List5.entries(), std::vector<Index>{3});
  Paths seen = c.paths();
  for (Index i = 0; i < 50; ++i) {
    const std::string& p = seen[static_cast<std::size_t>(i)];
    EXPECT_EQ(c.core.list.displayName(i), makeDisplayName(i + 1, fileNameOf(p)));
  }
  std::sort(seen.begin(), seen.end());
  EXPECT_EQ(std::unique(seen.begin(), seen.end()), seen.end());
}

TEST(FreshShuffleIndex, DrawsOnlyIndexesNotYetInTheOrderAndNoneWhenAllAre) {
  TestCore c;
  c.add({"/a", "/b", "/c", "/d", "/e"});
  for (int i = 0; i < 5; ++i) c.core.List5.append(rndnumb1(c.core));
  EXPECT_TRUE(c.shuffleCoversList());
  EXPECT_EQ(rndnumb1(c.core), kNone);  // nothing left: does not loop for ever
  c.core.List5.clear();
  for (const Index i : {0, 1, 3, 4}) c.core.List5.append(i);
  EXPECT_EQ(rndnumb1(c.core), 2);
  TestCore empty;
  EXPECT_EQ(rndnumb1(empty.core), kNone);
}

}  // namespace
}  // namespace sonavex
