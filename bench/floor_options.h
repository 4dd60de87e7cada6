// What the floor programs of the whole-process benchmark share: the parse
// options of the DOM (dom_document.cc) and the saved form (save_format.h).
#pragma once

#include <pugixml.hpp>

#include "xml/save_format.h"

namespace bench {

inline constexpr unsigned int kFloorParseOptions =
    (pugi::parse_default & ~pugi::parse_escapes) | pugi::parse_comments | pugi::parse_pi |
    pugi::parse_declaration | pugi::parse_doctype | pugi::parse_fragment;

inline bool saveFloor(const pugi::xml_document& document, const char* path) {
  return document.save_file(path, xml::kSaveIndent, xml::kSaveFlags, xml::kSaveEncoding);
}

}  // namespace bench
