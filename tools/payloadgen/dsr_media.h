// The media presets (MediaInfo) of a payload document.
#pragma once

#include "devseries/growable_array.h"
#include "devseries/media_info.h"
#include "tools/payloadgen/dsr_variant.h"

namespace dsr {

// The variant's media: Generic Vinyl, Generic Banner (wide models
// only), Generic Paper, Generic Backlit and Generic Heat Transfer Sheet.
// Each media offers two or three quality levels; level n lists the
// permission sets 10 (n + 1) and 10 (n + 1) + 1 where the media has them.
// Every permission set names the variant's output profile for its medium
// and resolution.
devseries::GrowableArray<devseries::MediaInfo> mediaInfos(const Variant& v);

}  // namespace dsr
