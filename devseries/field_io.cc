#include "devseries/field_io.h"

#include <cmath>
#include <exception>
#include <limits>
#include <string>

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

std::string_view itemName(const Items& items, std::size_t position, std::string& buffer) {
  if (!items.indexed) return items.name;
  buffer.assign(items.name);
  buffer += std::to_string(position);
  return buffer;
}

void rethrowInItem(std::string_view parentPath, const xml::Node& list, const xml::Node& item,
                   int position) {
  std::string path(parentPath);
  path += '/';
  path += list.nodeName();
  path += '/';
  path += item.nodeName();
  path += '[';
  path += std::to_string(position);
  path += ']';
  std::throw_with_nested(ElementError(path));
}

}  // namespace devseries
