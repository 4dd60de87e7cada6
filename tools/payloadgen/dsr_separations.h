// Colour separations (SeparationInfo) and V-control points (VControlPoint)
// of a payload document.
#pragma once

#include "devseries/growable_array.h"
#include "devseries/separation_info.h"
#include "tools/payloadgen/dsr_variant.h"

namespace dsr {

// The separation every payload permission set uses: four output channels
// fed by the input channels cyan, magenta, yellow, black.
inline constexpr int kProcessSeparationIndex = 15;

inline constexpr int kVControlPointCount = 86;

// The separations: eight with 38 tables in all for the wide models,
// two with eight tables for the 300 models. Each has one table per output
// channel and the four process inks as input channels.
devseries::GrowableArray<devseries::SeparationInfo> separationInfos(const Variant& v);

// The V-control points, indices 0 to 85.
devseries::GrowableArray<devseries::VControlPoint> vControlPoints(const Variant& v);

}  // namespace dsr
