#include "tools/payloadgen/dsr_xml.h"

#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace dsr {

Localized sameInAllLanguages(std::string_view text) {
  Localized out;
  out.fill(std::string(text));
  return out;
}

double milli(double value) {
  // Adding 0.0 turns a rounded -0.0 into +0.0, which prints without a sign.
  return std::round(value * 1000.0) / 1000.0 + 0.0;
}

std::string formatReal(double value) {
  char buffer[64];
  const int n = std::snprintf(buffer, sizeof buffer, "%.3f", value);
  if (n < 0 || n >= static_cast<int>(sizeof buffer)) {
    throw std::runtime_error("real value out of range");
  }
  return std::string(buffer, static_cast<size_t>(n));
}

std::string escapeCommand(std::string_view bytes) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(bytes.size() * 2);
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    const bool markup = c == '"' || c == '&' || c == '\'' || c == '<' || c == '>' || c == '\\';
    if (byte >= 0x20 && byte <= 0x7E && !markup) {
      out.push_back(c);
    } else {
      out += "\\x";
      out.push_back(kHex[byte >> 4]);
      out.push_back(kHex[byte & 0x0F]);
    }
  }
  return out;
}

pugi::xml_node addElement(pugi::xml_node parent, const char* name) {
  pugi::xml_node node = parent.append_child(name);
  if (!node) throw std::runtime_error(std::string("cannot append element ") + name);
  return node;
}

void addText(pugi::xml_node parent, const char* name, std::string_view text) {
  // A loader drops whitespace-only text, so such a value would not survive.
  if (!text.empty() && text.find_first_not_of(" \t\r\n") == std::string_view::npos) {
    throw std::logic_error(std::string("whitespace-only text in ") + name);
  }
  pugi::xml_node node = addElement(parent, name);
  // An empty text has no text node at all, so the element saves as <name />
  // exactly as the writer produces it.
  if (!text.empty()) {
    node.append_child(pugi::node_pcdata).set_value(std::string(text).c_str());
  }
}

void addInt(pugi::xml_node parent, const char* name, long long value) {
  addText(parent, name, std::to_string(value));
}

void addBool(pugi::xml_node parent, const char* name, bool value) {
  addText(parent, name, value ? "true" : "false");
}

void addDouble(pugi::xml_node parent, const char* name, double value) {
  addText(parent, name, formatReal(value));
}

void addFloat(pugi::xml_node parent, const char* name, double value) {
  addText(parent, name, formatReal(static_cast<double>(static_cast<float>(value))));
}

void addLocalized(pugi::xml_node parent, const char* name, const Localized& text) {
  // The writer fills an empty slot with the English text, so a partly empty
  // name would change on its first read and write: all slots are filled, or
  // all are empty.
  const bool english = !text[0].empty();
  for (const std::string& slot : text) {
    if (slot.empty() == english) {
      throw std::logic_error(std::string("partly empty localized text ") + name);
    }
  }
  pugi::xml_node node = addElement(parent, name);
  for (int slot = 0; slot < kLanguageCount; ++slot) {
    addText(node, kLanguageNames[static_cast<size_t>(slot)], text[static_cast<size_t>(slot)]);
  }
}

void addCommand(pugi::xml_node parent, const char* name, std::string_view bytes) {
  // A command string in memory ends at its first zero byte; one inside the
  // data would be dropped by the next read.
  if (bytes.find('\0') != std::string_view::npos) {
    throw std::logic_error(std::string("zero byte in command string ") + name);
  }
  addText(parent, name, escapeCommand(bytes));
}

void addValueArray(pugi::xml_node parent, const char* name, const std::array<int, 24>& slots) {
  pugi::xml_node node = addElement(parent, name);
  for (size_t i = 0; i < slots.size(); ++i) {
    addInt(node, ("value" + std::to_string(i)).c_str(), slots[i]);
  }
}

}  // namespace dsr
