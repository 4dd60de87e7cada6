// A small deterministic generator (SplitMix64) for the payload data.
//
// The payload must be identical on every build and platform, so the data do
// not use the standard distributions, whose results are left to the library.
#pragma once

#include <cmath>
#include <cstdint>

namespace dsr {

class Rng {
 public:
  explicit Rng(std::uint64_t seed) : state_(seed) {}

  std::uint64_t next() {
    state_ += 0x9E3779B97F4A7C15ULL;
    std::uint64_t z = state_;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }

  // Uniform in [lo, hi), from the top 53 bits (exact in a double).
  double uniform(double lo, double hi) {
    const double unit = static_cast<double>(next() >> 11) * 0x1.0p-53;
    return lo + (hi - lo) * unit;
  }

  // Uniform integer in [lo, hi].
  int between(int lo, int hi) {
    const auto span = static_cast<std::uint64_t>(hi - lo) + 1;
    return lo + static_cast<int>(next() % span);
  }

 private:
  std::uint64_t state_;
};

// Rounds to three decimals, the precision the documents keep; never yields
// negative zero.
inline double milli(double value) {
  // Adding 0.0 turns a rounded -0.0 into +0.0, which prints without a sign.
  return std::round(value * 1000.0) / 1000.0 + 0.0;
}

}  // namespace dsr
