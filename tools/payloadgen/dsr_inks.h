// The inks (InkInfo) and the ink configuration (InkConfigInfo) of a payload
// document.
#pragma once

#include "devseries/growable_array.h"
#include "devseries/ink_info.h"
#include "tools/payloadgen/dsr_variant.h"

namespace dsr {

// The four process inks K, C, M, Y (ink indices 4096 to 4099).
devseries::GrowableArray<devseries::InkInfo> inkInfos();

// The one ink configuration (index 0): cyan, magenta, yellow, black
// in the first four slots, -1 in the others; its folder name is the
// variant's profile folder.
devseries::InkConfigInfo inkConfigInfo(const Variant& v);

}  // namespace dsr
