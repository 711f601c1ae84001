#pragma once
// The Balance and Pitch items of the main popup menu: each writes one engine property and moves
// its group's check mark to itself. A rate is only set while an ".mp3" or ".wav" file is open.
#include <array>

#include "core/Core.h"

namespace sonavex {

struct BalanceItem {
  const char* name;
  const char* caption;
  long value;
};
inline constexpr std::array<BalanceItem, 3> kBalanceItems{{
    {"Mnuleftbal", "Left", kBalanceLeft},
    {"mnumiddle", "Middle", 0},
    {"mnuright", "Right", kBalanceRight},
}};

struct RateItem {
  const char* name;
  const char* caption;
  double value;
};
inline constexpr std::array<RateItem, 10> kRateItems{{
    {"mnu25", ".25", 0.25}, {"mnu5", ".5", 0.5},     {"mnu75", ".75", 0.75}, {"mnu9", ".9", 0.9},
    {"mnu1", "1", 1.0},     {"mnu11", "1.1", 1.1},   {"mnu125", "1.25", 1.25},
    {"mnu15", "1.5", 1.5},  {"mnu175", "1.75", 1.75}, {"mnu2", "2", 2.0},
}};

void balanceItem_Click(Core& core, int item);
void rateItem_Click(Core& core, int item);
// The last four characters of the open file are exactly ".mp3" or ".wav" (letter case counts).
bool rateCanBeSet(const std::string& fileName);

}  // namespace sonavex
