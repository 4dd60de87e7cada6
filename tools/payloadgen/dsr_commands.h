// The printer command strings (commandSet) of a payload document.
#pragma once

#include <pugixml.hpp>

#include "tools/payloadgen/dsr_variant.h"

namespace dsr {

// Appends the commandSet element with its nine command strings in escaped
// form: job language sequences for printing, plotter sequences for cutting,
// placeholders ?NAME? that the host fills in; strCutTailer is empty.
void appendCommandSet(pugi::xml_node root, const Variant& v);

}  // namespace dsr
