// The output table of a separation table: 4096 entries in memory, 256
// samples in the document.
//
// Writing stores the entries at the 256 sample positions (i * 4095 / 255,
// rounded), two bytes each, high byte first. Reading rebuilds all 4096
// entries from the samples with a natural cubic spline whose knots lie at
// i / 256 of the 16-bit range, then puts the samples back exactly at their
// sample positions, so a table read and written again keeps its samples.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "devseries/separation_info.h"

namespace devseries {

inline constexpr int kOutputTableSamples = 256;
inline constexpr std::size_t kOutputTableSampleBytes = 2 * kOutputTableSamples;

using OutputTable = std::array<std::uint16_t, kOutputTableSize>;

// The entry index of sample |i| (0..255): 0, 16, 32, ..., 4079, 4095.
int outputTableSamplePosition(int i);

// The 512 sample bytes of |table|, each sample high byte first.
std::array<std::uint8_t, kOutputTableSampleBytes> sampleOutputTable(const OutputTable& table);

// Rebuilds |table| from decoded sample bytes. Only the first 512 bytes are
// used. A block shorter than 512 bytes does not hold a whole table: it is
// rejected (false) and |table| is left untouched.
bool rebuildOutputTable(const std::uint8_t* bytes, std::size_t size, OutputTable& table);

}  // namespace devseries
