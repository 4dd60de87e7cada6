// The printer command strings (commandSet) of a payload document.
#pragma once

#include "devseries/device_series.h"
#include "tools/payloadgen/dsr_variant.h"

namespace dsr {

// The nine command strings: job language sequences for printing, plotter
// sequences for cutting, placeholders ?NAME? that the host fills in;
// strCutTailer is empty.
devseries::CommandSet commandSet(const Variant& v);

}  // namespace dsr
