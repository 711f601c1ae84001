// The mapping of the program's volume, balance and rate values onto the pipeline's settings.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "engine/core/MediaEngine.h"
#include "engine/gst/AudioSettings.h"

namespace sonavex {
namespace {

TEST(VolumeToGain, RunsFromSilenceToFullOnACubicCurve) {
  EXPECT_EQ(volumeToGain(kVolumeSilent), 0.0);
  EXPECT_DOUBLE_EQ(volumeToGain(0), 1.0);
  EXPECT_NEAR(volumeToGain(-5000), 0.125, 1e-9);
  EXPECT_NEAR(volumeToGain(-1000), 0.729, 1e-9);
}

TEST(VolumeToGain, ClampsValuesOutsideTheRange) {
  EXPECT_DOUBLE_EQ(volumeToGain(500), 1.0);
  EXPECT_EQ(volumeToGain(std::numeric_limits<long>::min()), 0.0);
}

TEST(BalanceToPanorama, CoversBothEndsAndClamps) {
  EXPECT_EQ(balanceToPanorama(kBalanceLeft), -1.0f);
  EXPECT_EQ(balanceToPanorama(0), 0.0f);
  EXPECT_EQ(balanceToPanorama(2500), 0.25f);
  EXPECT_EQ(balanceToPanorama(std::numeric_limits<long>::max()), 1.0f);
}

TEST(ClampRate, KeepsTheMenuRangeAndRejectsNonsense) {
  EXPECT_EQ(clampRate(0.25), 0.25);
  EXPECT_EQ(clampRate(2.0), 2.0);
  EXPECT_EQ(clampRate(0.0), kMinRate);
  EXPECT_EQ(clampRate(-1.0), kMinRate);
  EXPECT_EQ(clampRate(100.0), kMaxRate);
  EXPECT_EQ(clampRate(std::nan("")), 1.0);
  EXPECT_EQ(clampRate(std::numeric_limits<double>::infinity()), 1.0);
}

}  // namespace
}  // namespace sonavex
