// Small helpers shared by the media and permission-set readers and writers.
#pragma once

#include <string_view>

#include "devseries/field_io.h"
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

// A real read and narrowed to the nearest float, as for every other record
// (field_io.h): a text just above the largest float, such as
// "3.40282347E+38", reads as that float, not as an infinity.
using devseries::readFloat;

// A float field widened to double and written with 3 decimals.
inline xml::Node createFloatElement(const xml::Document& document, std::string_view name,
                                    float value) {
  return xml::createRealElement(document, name, static_cast<double>(value), kDecimals);
}

}  // namespace devseries::media_io
