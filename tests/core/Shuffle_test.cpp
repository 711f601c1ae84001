#include "playlist/core/Shuffle.h"

#include <algorithm>
#include <array>
#include <numeric>

#include <gtest/gtest.h>

#include "tests/core/PlaybackFixture.h"

namespace sonavex {
namespace {

using testing::Playback;

bool isPermutation(const std::vector<Index>& order, Index n) {
  std::vector<Index> sorted = order;
  std::sort(sorted.begin(), sorted.end());
  std::vector<Index> all(static_cast<std::size_t>(n));
  std::iota(all.begin(), all.end(), 0);
  return sorted == all;
}

TEST(DrawFreshIndex, DrawsAgainUntilTheIndexIsNew) {
  Playback p;
  p.random.script({0.5, 0.5, 0.55, 0.0, 0.99});  // 1, 1 again, 1 again, 0, 2
  std::vector<bool> taken;
  EXPECT_EQ(drawFreshIndex(p.random, 3, taken), 1);
  EXPECT_EQ(drawFreshIndex(p.random, 3, taken), 0);
  EXPECT_EQ(drawFreshIndex(p.random, 3, taken), 2);
  EXPECT_EQ(taken, (std::vector<bool>{true, true, true}));
}

TEST(DrawFreshIndex, NothingToDrawFromGivesNone) {
  Playback p;
  std::vector<bool> taken;
  EXPECT_EQ(drawFreshIndex(p.random, 0, taken), kNone);
  EXPECT_EQ(drawFreshIndex(p.random, -3, taken), kNone);
}

TEST(DrawFreshIndex, ANumberJustBelowOneStaysInRange) {
  Playback p;
  p.random.script({0.9999999999999999});
  std::vector<bool> taken;
  EXPECT_EQ(drawFreshIndex(p.random, 7, taken), 6);
}

TEST(ShuffleOrder, SwitchingOnFillsAFreshPermutationOfEveryEntry) {
  for (Index n : {0, 1, 2, 17, 40000}) {
    Playback p(n, 0, /*shuffle=*/1);
    chkshuffle_Click(p.core);
    EXPECT_EQ(p.core.List5.count(), n);
    EXPECT_TRUE(isPermutation(p.core.List5.entries(), n)) << n << " entries";
    EXPECT_EQ(p.core.List5.listIndex(), kNone);
  }
}

TEST(ShuffleOrder, SwitchingOffEmptiesIt) {
  Playback p(5, 0, 1);
  chkshuffle_Click(p.core);
  p.core.List5.setListIndex(3);
  p.core.chkshuffle = 0;
  chkshuffle_Click(p.core);
  EXPECT_TRUE(p.core.List5.empty());
  EXPECT_EQ(p.core.List5.listIndex(), kNone);
}

TEST(ShuffleOrder, RebuildAfterTheEntriesChangedStartsFresh) {
  Playback p(3, 0, 1);
  chkshuffle_Click(p.core);
  p.core.List5.setListIndex(2);
  p.core.list.appendEntry("/music/new.mp3");
  rebuildShuffleOrder(p.core);
  EXPECT_TRUE(isPermutation(p.core.List5.entries(), 4));
  EXPECT_EQ(p.core.List5.listIndex(), kNone);

  p.core.chkshuffle = 0;
  rebuildShuffleOrder(p.core);
  EXPECT_TRUE(p.core.List5.empty());
}

TEST(ShuffleOrder, NonreprandnumbAppendsToWhatIsThere) {
  Playback p(3, 0, 1);
  p.core.List5.append(9);
  nonreprandnumb(p.core);
  ASSERT_EQ(p.core.List5.count(), 4);
  EXPECT_EQ(p.core.List5.at(0), 9);
  EXPECT_TRUE(isPermutation({p.core.List5.entries().begin() + 1, p.core.List5.entries().end()}, 3));
}

TEST(ShuffleOrder, EveryEntryIsEquallyLikelyToComeFirst) {
  // A fixed seed keeps this repeatable; the bounds are wide (about six standard deviations).
  SeededRandom random(2024);
  FakeMediaEngine engine;
  Core core(engine, random);
  for (int i = 0; i < 4; ++i) core.list.appendEntry(Playback::pathOf(i));
  core.chkshuffle = 1;
  std::array<int, 4> first{};
  constexpr int kRounds = 4000;
  for (int round = 0; round < kRounds; ++round) {
    rebuildShuffleOrder(core);
    ++first[static_cast<std::size_t>(core.List5.at(0))];
  }
  for (int count : first) {
    EXPECT_GT(count, kRounds / 4 - 170);
    EXPECT_LT(count, kRounds / 4 + 170);
  }
}

}  // namespace
}  // namespace sonavex
