#include "tools/payloadgen/xml_output.h"

#include <cstdio>
#include <sstream>

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
  return appendText(parent, name, std::to_string(value));
}

pugi::xml_node appendReal(pugi::xml_node parent, const char* name, double value) {
  return appendText(parent, name, formatReal(value));
}

pugi::xml_node appendBool(pugi::xml_node parent, const char* name, bool value) {
  return appendText(parent, name, value ? "true" : "false");
}

std::string formatReal(double value) {
  // The generator never changes the locale, so the decimal point is ".".
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.3f", value);
  return buffer;
}

std::string saveDocument(const pugi::xml_document& document) {
  std::ostringstream out;
  document.save(out, xml::kSaveIndent, xml::kSaveFlags, xml::kSaveEncoding);
  return out.str();
}

}  // namespace payloadgen
