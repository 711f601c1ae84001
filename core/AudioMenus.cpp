#include "core/AudioMenus.h"

#include <string_view>

namespace sonavex {

void balanceItem_Click(Core& core, int item) {
  if (item < 0 || item >= static_cast<int>(kBalanceItems.size())) return;
  core.mp1.setBalance(kBalanceItems[static_cast<std::size_t>(item)].value);
  core.checks.balance = item;
}

bool rateCanBeSet(const std::string& fileName) {
  if (fileName.size() < 4) return false;
  const std::string_view last4 = std::string_view(fileName).substr(fileName.size() - 4);
  return last4 == ".mp3" || last4 == ".wav";
}

void rateItem_Click(Core& core, int item) {
  if (item < 0 || item >= static_cast<int>(kRateItems.size())) return;
  if (!rateCanBeSet(core.mp1.fileName())) return;
  core.mp1.setRate(kRateItems[static_cast<std::size_t>(item)].value);
  core.checks.rate = item;
}

}  // namespace sonavex
