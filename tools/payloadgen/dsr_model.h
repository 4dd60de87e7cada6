// The model description (ModelInfo) of a payload document.
#pragma once

#include "devseries/model_info.h"
#include "tools/payloadgen/dsr_variant.h"

namespace dsr {

// Ink indices of the family: black, cyan, magenta, yellow.
inline constexpr int kInkBlack = 4096;
inline constexpr int kInkCyan = 4097;
inline constexpr int kInkMagenta = 4098;
inline constexpr int kInkYellow = 4099;

// Heads of the variant: the wide models carry two more heads, doubling cyan
// and magenta.
int headCount(const Variant& v);

// The variant's one model.
devseries::ModelInfo modelInfo(const Variant& v);

}  // namespace dsr
