#include "devseries/field_io.h"

#include <cmath>
#include <limits>
#include <string>

#include "xml/com_error.h"

namespace devseries {

// IEEE floats give every double a nearest float or an infinity, so the
// narrowing below is defined for every value a text can produce.
static_assert(std::numeric_limits<float>::is_iec559 && std::numeric_limits<double>::is_iec559);

float readFloat(const xml::Node& node) { return static_cast<float>(xml::readReal(node)); }

int readTruncatedInt(const xml::Node& node) {
  const double value = std::trunc(xml::readReal(node));
  if (std::isnan(value)) return 0;
  if (value >= 2147483648.0) return std::numeric_limits<int>::max();
  if (value <= -2147483648.0) return std::numeric_limits<int>::min();
  return static_cast<int>(value);
}

void readIntSlots(const xml::Node& node, IntSlots& slots) {
  if (node.isNull()) throw xml::_com_error(xml::kEPointer);
  xml::NodeList children = node.childNodes();
  for (int& slot : slots) slot = xml::readInt(children.nextNode());
}

xml::Node createIntSlotsElement(const xml::Document& document, std::string_view name,
                                const IntSlots& slots, std::string_view childName) {
  xml::Node element = document.createElement(name);
  for (int slot = 0; slot < kIntSlotCount; ++slot) {
    const std::string ownName =
        childName.empty() ? "value" + std::to_string(slot) : std::string(childName);
    element.appendChild(xml::createIntElement(document, ownName, slots[slot]));
  }
  return element;
}

}  // namespace devseries
