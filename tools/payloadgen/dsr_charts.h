// Print-chart file sets (PrintChartFileInfoSet) and ink volumes
// (InkVolumeInfo) of a payload document.
#pragma once

#include <pugixml.hpp>

#include "tools/payloadgen/dsr_variant.h"

namespace dsr {

inline constexpr int kInkVolumeCount = 42;

// Appends the aPrintChartFileInfoSetList element with the sets 0 (the
// four-channel separations) and 1 (the separations with doubled heads).
void appendPrintChartFileInfoSets(pugi::xml_node root);

// Appends the aInkVolumeInfoList element: entries 1, 1001 to 1020 and 2001
// to 2021, each with four to eight drop-volume texts of one to three
// comma-separated picolitre figures (small, medium, large dot).
void appendInkVolumeInfos(pugi::xml_node root, const Variant& v);

}  // namespace dsr
