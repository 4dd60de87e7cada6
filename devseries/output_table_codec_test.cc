#include "devseries/output_table_codec.h"

#include <gtest/gtest.h>

#include <cmath>

namespace devseries {
namespace {

std::array<std::uint8_t, kOutputTableSampleBytes> samplesOf(int (*f)(int)) {
  std::array<std::uint8_t, kOutputTableSampleBytes> bytes{};
  for (int i = 0; i < kOutputTableSamples; ++i) {
    const int v = f(i);
    bytes[2 * i] = static_cast<std::uint8_t>(v >> 8);
    bytes[2 * i + 1] = static_cast<std::uint8_t>(v & 0xFF);
  }
  return bytes;
}

TEST(OutputTableCodec, SamplePositionsSpanTheTable) {
  EXPECT_EQ(outputTableSamplePosition(0), 0);
  EXPECT_EQ(outputTableSamplePosition(1), 16);
  EXPECT_EQ(outputTableSamplePosition(2), 32);
  EXPECT_EQ(outputTableSamplePosition(8), 128);
  EXPECT_EQ(outputTableSamplePosition(9), 145);
  EXPECT_EQ(outputTableSamplePosition(254), 4079);
  EXPECT_EQ(outputTableSamplePosition(255), 4095);
  for (int i = 1; i < kOutputTableSamples; ++i) {
    EXPECT_GT(outputTableSamplePosition(i), outputTableSamplePosition(i - 1));
  }
}

TEST(OutputTableCodec, FullScaleSamplesRebuildBelowFullScaleBetweenSamples) {
  auto bytes = samplesOf([](int) { return 4095; });
  OutputTable table{};
  ASSERT_TRUE(rebuildOutputTable(bytes.data(), bytes.size(), table));
  std::array<bool, kOutputTableSize> isSample{};
  for (int i = 0; i < kOutputTableSamples; ++i) isSample[outputTableSamplePosition(i)] = true;
  for (int k = 0; k < kOutputTableSize; ++k) {
    // 65535 * 4095 / 4096 truncates to 65519, which shifts to 4094.
    EXPECT_EQ(table[k], isSample[k] ? 4095 : 4094) << "entry " << k;
  }
}

TEST(OutputTableCodec, ZeroSamplesRebuildAsZero) {
  auto bytes = samplesOf([](int) { return 0; });
  OutputTable table;
  table.fill(77);
  ASSERT_TRUE(rebuildOutputTable(bytes.data(), bytes.size(), table));
  for (int k = 0; k < kOutputTableSize; ++k) ASSERT_EQ(table[k], 0) << "entry " << k;
}

TEST(OutputTableCodec, IdentityRampRebuildsAsTheRamp) {
  auto bytes = samplesOf([](int i) { return static_cast<int>(std::lround(i * 4095.0 / 255.0)); });
  OutputTable table{};
  ASSERT_TRUE(rebuildOutputTable(bytes.data(), bytes.size(), table));
  for (int k = 0; k < 16; ++k) EXPECT_EQ(table[k], k) << "entry " << k;
  for (int k = 4080; k <= 4094; ++k) EXPECT_EQ(table[k], 4094) << "entry " << k;
  EXPECT_EQ(table[4095], 4095);
}

TEST(OutputTableCodec, SamplingARebuiltTableGivesTheSamplesBack) {
  auto bytes = samplesOf([](int i) { return (i * i * 4095) / (255 * 255); });
  OutputTable table{};
  ASSERT_TRUE(rebuildOutputTable(bytes.data(), bytes.size(), table));
  EXPECT_EQ(sampleOutputTable(table), bytes);
}

TEST(OutputTableCodec, ShortBlockIsRejectedAndLeavesTheTable) {
  auto bytes = samplesOf([](int) { return 1000; });
  OutputTable table;
  table.fill(5);
  EXPECT_FALSE(rebuildOutputTable(bytes.data(), kOutputTableSampleBytes - 1, table));
  EXPECT_FALSE(rebuildOutputTable(nullptr, 0, table));
  for (std::uint16_t v : table) ASSERT_EQ(v, 5);
}

TEST(OutputTableCodec, BytesBeyondTheSamplesAreIgnored) {
  auto bytes = samplesOf([](int i) { return 16 * i; });
  std::vector<std::uint8_t> longer(bytes.begin(), bytes.end());
  longer.resize(600, 0xFF);
  OutputTable a{}, b{};
  ASSERT_TRUE(rebuildOutputTable(bytes.data(), bytes.size(), a));
  ASSERT_TRUE(rebuildOutputTable(longer.data(), longer.size(), b));
  EXPECT_EQ(a, b);
}

}  // namespace
}  // namespace devseries
