#include "devseries/output_table_codec.h"

#include <vector>

namespace devseries {

namespace {

constexpr int kKnots = kOutputTableSamples;
constexpr double kFullScale = 65535.0;

// Second derivatives of the natural cubic spline through (x, y): zero at both
// ends, the inner ones from the tridiagonal system, solved by forward
// elimination and back substitution.
std::vector<double> splineSecondDerivatives(const double* x, const double* y, int n) {
  std::vector<double> m(static_cast<std::size_t>(n), 0.0);
  std::vector<double> u(static_cast<std::size_t>(n), 0.0);
  for (int i = 1; i < n - 1; ++i) {
    const double sig = (x[i] - x[i - 1]) / (x[i + 1] - x[i - 1]);
    const double p = sig * m[i - 1] + 2.0;
    m[i] = (sig - 1.0) / p;
    const double slopeDiff =
        (y[i + 1] - y[i]) / (x[i + 1] - x[i]) - (y[i] - y[i - 1]) / (x[i] - x[i - 1]);
    u[i] = (6.0 * slopeDiff / (x[i + 1] - x[i - 1]) - sig * u[i - 1]) / p;
  }
  m[n - 1] = 0.0;
  for (int i = n - 2; i >= 0; --i) m[i] = m[i] * m[i + 1] + u[i];
  return m;
}

// The first knot index j in 0..254 with x[j] >= w, or 255 when there is none.
int firstKnotAtOrAbove(const double* x, double w) {
  int lo = 0;
  int hi = kKnots - 1;  // one past the searched range 0..254
  while (lo < hi) {
    const int mid = (lo + hi) / 2;
    if (x[mid] >= w) {
      hi = mid;
    } else {
      lo = mid + 1;
    }
  }
  return lo;
}

}  // namespace

// Sample positions, accumulated exactly as the stored tables were made:
// repeated addition of 4095 / 255 in double precision, then rounding.
static const std::array<int, kOutputTableSamples>& samplePositions() {
  static const std::array<int, kOutputTableSamples> positions = [] {
    std::array<int, kOutputTableSamples> p{};
    double t = 0.0;
    for (int i = 0; i < kOutputTableSamples; ++i, t += 16.058823529411764) {
      // Half-up rounding by truncation, as the tables were made.
      p[static_cast<std::size_t>(i)] =
          static_cast<int>(t + 0.5);  // NOLINT(bugprone-incorrect-roundings)
    }
    return p;
  }();
  return positions;
}

int outputTableSamplePosition(int i) { return samplePositions()[static_cast<std::size_t>(i)]; }

std::array<std::uint8_t, kOutputTableSampleBytes> sampleOutputTable(const OutputTable& table) {
  std::array<std::uint8_t, kOutputTableSampleBytes> bytes{};
  for (int i = 0; i < kOutputTableSamples; ++i) {
    const std::uint16_t value = table[static_cast<std::size_t>(outputTableSamplePosition(i))];
    bytes[2 * static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> 8);
    bytes[2 * static_cast<std::size_t>(i) + 1] = static_cast<std::uint8_t>(value & 0xFF);
  }
  return bytes;
}

bool rebuildOutputTable(const std::uint8_t* bytes, std::size_t size, OutputTable& table) {
  if (bytes == nullptr || size < kOutputTableSampleBytes) return false;

  std::uint16_t samples[kKnots];
  double x[kKnots];
  double y[kKnots];
  for (int i = 0; i < kKnots; ++i) {
    samples[i] = static_cast<std::uint16_t>((bytes[2 * i] << 8) | bytes[2 * i + 1]);
    x[i] = kFullScale * i / 256.0;
    y[i] = kFullScale * samples[i] / 4096.0;
  }
  const std::vector<double> m = splineSecondDerivatives(x, y, kKnots);

  const int lowest = static_cast<int>(x[0]);
  const int highest = static_cast<int>(x[kKnots - 1]);
  for (int k = 0; k < kOutputTableSize; ++k) {
    int w = 65535 * k / 4095;
    if (w < lowest) w = lowest;
    if (w > highest) w = highest;
    const int j = firstKnotAtOrAbove(x, w);
    const int lo = j == 0 ? 0 : j - 1;
    const int hi = lo + 1;
    const double h = x[hi] - x[lo];
    const double a = (x[hi] - w) / h;
    const double b = (w - x[lo]) / h;
    const double c =
        a * y[lo] + b * y[hi] + ((a * a * a - a) * m[lo] + (b * b * b - b) * m[hi]) * (h * h) / 6.0;
    int value;
    if (c >= 65535.0) {
      value = 65535;
    } else if (c < 0.0) {
      value = 0;
    } else {
      value = static_cast<int>(c);
    }
    table[static_cast<std::size_t>(k)] = static_cast<std::uint16_t>(value >> 4);
  }

  for (int i = 0; i < kKnots; ++i) {
    table[static_cast<std::size_t>(outputTableSamplePosition(i))] = samples[i];
  }
  return true;
}

}  // namespace devseries
