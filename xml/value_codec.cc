#include "xml/value_codec.h"

#include "xml/com_error.h"
#include "xml/number_text.h"

namespace xml {
namespace {

void requireNode(const Node& node) {
  if (node.isNull()) throw _com_error(kEPointer);
}

// One child per language slot: the slot's text, or the English one when
// the slot is empty.
void appendLanguageSlots(const Node& element, const LocalizedText& text) {
  for (int slot = 0; slot < kLanguageCount; ++slot) {
    const std::string& own = text[static_cast<std::size_t>(slot)];
    element.appendTextElement(ElementName::checked(languageName(slot)),
                              own.empty() ? text[kEnglish] : own);
  }
}

}  // namespace

Node createTextElement(const Document& document, std::string_view name, std::string_view text) {
  Node element = document.createElement(name);
  element.putNodeTypedValue(text);
  return element;
}

Node createIntElement(const Document& document, std::string_view name, int value) {
  return createTextElement(document, name, formatInt(value));
}

Node createRealElement(const Document& document, std::string_view name, double value,
                       int decimals) {
  return createTextElement(document, name, formatReal(value, decimals));
}

Node createBoolElement(const Document& document, std::string_view name, bool value) {
  return createTextElement(document, name, value ? "true" : "false");
}

Node createLocalizedTextElement(const Document& document, std::string_view name,
                                const LocalizedText& text) {
  Node element = document.createElement(name);
  appendLanguageSlots(element, text);
  return element;
}

void appendTextElement(const Node& parent, ElementName name, std::string_view text) {
  parent.appendTextElement(name, text);
}

void appendIntElement(const Node& parent, ElementName name, int value) {
  parent.appendTextElement(name, formatInt(value));
}

void appendRealElement(const Node& parent, ElementName name, double value, int decimals) {
  parent.appendTextElement(name, formatReal(value, decimals));
}

void appendBoolElement(const Node& parent, ElementName name, bool value) {
  parent.appendTextElement(name, value ? "true" : "false");
}

void appendLocalizedTextElement(const Node& parent, ElementName name, const LocalizedText& text) {
  appendLanguageSlots(parent.appendElement(name), text);
}

Attribute createIntAttribute(const Document& document, std::string_view name, int value) {
  Attribute attribute = document.createAttribute(name);
  attribute.putNodeTypedValue(formatInt(value));
  return attribute;
}

std::string readText(const Node& node) {
  requireNode(node);
  return node.nodeTypedValue();
}

int readInt(const Node& node) { return parseInt(readText(node)); }

double readReal(const Node& node) { return parseReal(readText(node)); }

bool readBool(const Node& node) { return readText(node) == "true"; }

bool readLocalizedText(const Node& node, LocalizedText& text) {
  requireNode(node);
  const std::string* names[kLanguageCount];
  for (int slot = 0; slot < kLanguageCount; ++slot) names[slot] = &languageName(slot);
  NodeList children = node.childNodes();
  for (Node child = children.nextNode(); child; child = children.nextNode()) {
    std::string_view name = child.nodeName();
    for (int slot = 0; slot < kLanguageCount; ++slot) {
      if (name == *names[slot]) {
        text[static_cast<std::size_t>(slot)] = readText(child);
        break;
      }
    }
  }
  return true;
}

int readIntAttribute(const Node& element, std::string_view name) {
  if (element.isNull()) return -1;
  NamedNodeMap attributes = element.attributes();
  if (attributes.isNull()) return -1;
  Attribute attribute = attributes.getNamedItem(name);
  if (attribute.isNull()) return -1;
  return parseInt(attribute.nodeTypedValue());
}

}  // namespace xml
