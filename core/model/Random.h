#pragma once
// Uniform pseudo-random numbers in [0, 1), injectable so that tests can fix the sequence.
#include <cstdint>

namespace sonavex {

class RandomSource {
 public:
  virtual ~RandomSource() = default;
  virtual double uniform() = 0;  // in [0, 1)
  // floor(k * r): an integer from 0 to k-1 (0 when k <= 0).
  std::int32_t below(std::int32_t k);
};

// xoshiro256** seeded once from the operating system's entropy, or from a given seed.
class SeededRandom : public RandomSource {
 public:
  SeededRandom();
  explicit SeededRandom(std::uint64_t seed);
  double uniform() override;

 private:
  std::uint64_t s_[4];
};

}  // namespace sonavex
