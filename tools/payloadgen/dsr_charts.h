// Print-chart file sets (PrintChartFileInfoSet) and ink volumes
// (InkVolumeInfo) of a payload document.
#pragma once

#include "devseries/growable_array.h"
#include "devseries/newer_lists.h"
#include "tools/payloadgen/dsr_variant.h"

namespace dsr {

inline constexpr int kInkVolumeCount = 42;

// The print-chart file sets 0 (the four-channel separations) and 1 (the
// separations with doubled heads).
devseries::GrowableArray<devseries::PrintChartFileInfoSet> printChartFileInfoSets();

// The ink volumes: entries 1, 1001 to 1020 and 2001
// to 2021, each with four to eight drop-volume texts of one to three
// comma-separated picolitre figures (small, medium, large dot).
devseries::GrowableArray<devseries::InkVolumeInfo> inkVolumeInfos(const Variant& v);

}  // namespace dsr
