// The byte form of every XML document the system saves.
//
// UTF-8 without a byte order mark; first the declaration
// <?xml version="1.0" encoding="UTF-8"?>, then the one root element; one
// element per line, indented by one tab per level; lines end with "\n"; an
// element holding only text is written on one line (<a>text</a>); an element
// without content is written <a />. Documents that are generated elsewhere
// (the payload) use the same form, so a read and a write of them gives them
// back byte for byte.
#pragma once

#include <pugixml.hpp>

namespace xml {

inline constexpr const char* kSaveIndent = "\t";
inline constexpr unsigned int kSaveFlags = pugi::format_indent;
inline constexpr pugi::xml_encoding kSaveEncoding = pugi::encoding_utf8;

}  // namespace xml
