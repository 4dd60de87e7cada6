// Small helpers shared by the media and permission-set readers and writers.
#pragma once

#include <limits>
#include <string_view>

#include "xml/dom.h"
#include "xml/value_codec.h"

namespace devseries::media_io {

// Every real of a media entry is written with 3 decimals.
inline constexpr int kDecimals = 3;

// Calls |read| for every child node of |node| in document order, whatever
// its name or type. A null |node| (a positional child that is missing)
// raises `_com_error` kEPointer.
template <class Read>
void forEachChild(const xml::Node& node, Read read) {
  xml::NodeList items = node.childNodes();
  for (xml::Node item = items.nextNode(); item; item = items.nextNode()) read(item);
}

// A real read and narrowed to float; magnitudes beyond the float range give
// an infinity of that sign rather than an undefined conversion.
inline float readFloat(const xml::Node& node) {
  const double value = xml::readReal(node);
  constexpr double kMax = std::numeric_limits<float>::max();
  if (value > kMax) return std::numeric_limits<float>::infinity();
  if (value < -kMax) return -std::numeric_limits<float>::infinity();
  return static_cast<float>(value);
}

// A float field widened to double and written with 3 decimals.
inline xml::Node createFloatElement(const xml::Document& document, std::string_view name,
                                    float value) {
  return xml::createRealElement(document, name, static_cast<double>(value), kDecimals);
}

}  // namespace devseries::media_io
