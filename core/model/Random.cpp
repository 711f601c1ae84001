#include "core/model/Random.h"

#include <cmath>
#include <random>

namespace sonavex {

std::int32_t RandomSource::below(std::int32_t k) {
  if (k <= 0) return 0;
  // uniform() < 1, and k times the largest double below 1 still rounds to below k.
  return static_cast<std::int32_t>(std::floor(static_cast<double>(k) * uniform()));
}

namespace {
std::uint64_t splitmix(std::uint64_t& x) {
  std::uint64_t z = (x += 0x9e3779b97f4a7c15ULL);
  z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
  z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
  return z ^ (z >> 31);
}
std::uint64_t rotl(std::uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }
}  // namespace

SeededRandom::SeededRandom() {
  std::random_device device;
  const std::uint64_t seed = (static_cast<std::uint64_t>(device()) << 32) ^ device();
  *this = SeededRandom(seed);
}

SeededRandom::SeededRandom(std::uint64_t seed) {
  for (auto& word : s_) word = splitmix(seed);
}

double SeededRandom::uniform() {
  const std::uint64_t result = rotl(s_[1] * 5, 7) * 9;
  const std::uint64_t t = s_[1] << 17;
  s_[2] ^= s_[0];
  s_[3] ^= s_[1];
  s_[1] ^= s_[2];
  s_[0] ^= s_[3];
  s_[2] ^= t;
  s_[3] = rotl(s_[3], 45);
  return static_cast<double>(result >> 11) * 0x1.0p-53;  // 53 random bits
}

}  // namespace sonavex
