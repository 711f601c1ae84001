#include "playlist/core/Shuffle.h"

#include <algorithm>
#include <array>
#include <numeric>

#include <gtest/gtest.h>

#include "tests/core/PlaybackFixture.h"

namespace sonavex {
namespace {

using testing::Playback;

bool isPermutation(std::vector<Index> order, Index n) {
  std::vector<Index> all(static_cast<std::size_t>(n));
  std::iota(all.begin(), all.end(), 0);
  std::sort(order.begin(), order.end());
  return order == all;
}

TEST(DrawFreshIndex, DrawsAgainUntilTheIndexIsNewAndStaysInRange) {
  Playback p;
  p.random.script({0.5, 0.5, 0.55, 0.0, 0.99, 0.9999999999999999});  // 1, 1, 1, 0, 2 | 6
  std::vector<bool> taken;
  EXPECT_EQ(drawFreshIndex(p.random, 3, taken), 1);
  EXPECT_EQ(drawFreshIndex(p.random, 3, taken), 0);
  EXPECT_EQ(drawFreshIndex(p.random, 3, taken), 2);
  EXPECT_EQ(taken, (std::vector<bool>{true, true, true}));
  std::vector<bool> fresh;
  EXPECT_EQ(drawFreshIndex(p.random, 7, fresh), 6);
  EXPECT_EQ(drawFreshIndex(p.random, 0, fresh), kNone);
  EXPECT_EQ(drawFreshIndex(p.random, -3, fresh), kNone);
}

TEST(ShuffleOrder, SwitchingOnFillsAFreshPermutationOfEveryEntry) {
  for (Index n : {0, 1, 2, 17, 40000}) {
    SCOPED_TRACE(::testing::Message() << n << " entries");
    Playback p(n, 0, /*shuffle=*/1);
    chkshuffle_Click(p.core);
    EXPECT_TRUE(isPermutation(p.core.List5.entries(), n));
    EXPECT_EQ(p.core.List5.listIndex(), kNone);
  }
}

TEST(ShuffleOrder, ChangedEntriesRebuildItFreshAndSwitchingOffEmptiesIt) {
  Playback p(3, 0, 1);
  chkshuffle_Click(p.core);
  p.core.List5.setListIndex(2);
  p.core.list.appendEntry("/music/new.mp3");
  rebuildShuffleOrder(p.core);
  EXPECT_TRUE(isPermutation(p.core.List5.entries(), 4));
  EXPECT_EQ(p.core.List5.listIndex(), kNone);

  p.core.List5.setListIndex(3);
  p.core.chkshuffle = 0;
  chkshuffle_Click(p.core);
  EXPECT_TRUE(p.core.List5.empty());
  EXPECT_EQ(p.core.List5.listIndex(), kNone);
  p.core.List5.append(1);
  rebuildShuffleOrder(p.core);
  EXPECT_TRUE(p.core.List5.empty());
}

TEST(ShuffleOrder, NonreprandnumbAppendsToWhatIsThere) {
  Playback p(3, 0, 1);
  p.core.List5.append(9);
  nonreprandnumb(p.core);
  const std::vector<Index>& order = p.core.List5.entries();
  ASSERT_EQ(order.size(), 4u);
  EXPECT_EQ(order[0], 9);
  EXPECT_TRUE(isPermutation({order.begin() + 1, order.end()}, 3));
}

TEST(ShuffleOrder, EveryEntryIsEquallyLikelyToComeFirst) {
  // The fixed seed keeps this repeatable; the bounds are wide (about six standard deviations).
  Playback p(4, 0, 1);
  std::array<int, 4> first{};
  constexpr int kRounds = 4000;
  for (int round = 0; round < kRounds; ++round) {
    rebuildShuffleOrder(p.core);
    ++first[static_cast<std::size_t>(p.core.List5.at(0))];
  }
  for (int count : first) {
    EXPECT_GT(count, kRounds / 4 - 170);
    EXPECT_LT(count, kRounds / 4 + 170);
  }
}

}  // namespace
}  // namespace sonavex
