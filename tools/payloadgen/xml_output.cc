#include "tools/payloadgen/xml_output.h"

#include <sstream>

#include "xml/number_text.h"
#include "xml/save_format.h"

namespace payloadgen {

void startDocument(pugi::xml_document& document) {
  document.reset();
  pugi::xml_node declaration = document.append_child(pugi::node_declaration);
  declaration.append_attribute("version") = "1.0";
  declaration.append_attribute("encoding") = "UTF-8";
}

pugi::xml_node appendText(pugi::xml_node parent, const char* name, const std::string& text) {
  pugi::xml_node node = parent.append_child(name);
  node.text().set(text.c_str());
  return node;
}

pugi::xml_node appendInt(pugi::xml_node parent, const char* name, int value) {
  return appendText(parent, name, xml::formatInt(value));
}

pugi::xml_node appendReal(pugi::xml_node parent, const char* name, double value) {
  return appendText(parent, name, xml::formatReal(value, 3));
}

pugi::xml_node appendBool(pugi::xml_node parent, const char* name, bool value) {
  return appendText(parent, name, value ? "true" : "false");
}

std::string saveDocument(const pugi::xml_document& document) {
  std::ostringstream out;
  document.save(out, xml::kSaveIndent, xml::kSaveFlags, xml::kSaveEncoding);
  return out.str();
}

}  // namespace payloadgen
