// The inks (InkInfo) and the ink configuration (InkConfigInfo) of a payload
// document.
#pragma once

#include <pugixml.hpp>

#include "tools/payloadgen/dsr_variant.h"

namespace dsr {

// Appends the four process inks K, C, M, Y (ink indices 4096 to 4099).
void appendInkInfos(pugi::xml_node list);

// Appends the one ink configuration (index 0): cyan, magenta, yellow, black
// in the first four slots, -1 in the others; its folder name is the
// variant's profile folder.
void appendInkConfigInfos(pugi::xml_node list, const Variant& v);

}  // namespace dsr
