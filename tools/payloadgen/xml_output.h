// Building the payload's other XML files (media files, pass-mask tables):
// value elements in the text forms of the system's documents (ints and
// reals as xml/number_text.h writes them, reals with 3 decimals, booleans as
// "true" / "false") and saving in the system's byte form
// (xml/save_format.h).
#pragma once

#include <pugixml.hpp>

#include <string>

namespace payloadgen {

// A new document holding only the declaration
// <?xml version="1.0" encoding="UTF-8"?>.
void startDocument(pugi::xml_document& document);

pugi::xml_node appendText(pugi::xml_node parent, const char* name, const std::string& text);
pugi::xml_node appendInt(pugi::xml_node parent, const char* name, int value);
pugi::xml_node appendReal(pugi::xml_node parent, const char* name, double value);
pugi::xml_node appendBool(pugi::xml_node parent, const char* name, bool value);

// The document's bytes: UTF-8, tab-indented, one element per line.
std::string saveDocument(const pugi::xml_document& document);

}  // namespace payloadgen
