// Well-formedness rules of XML 1.0 and Namespaces in XML 1.0 that pugixml
// does not check, applied to the nodes it hands over: the XML declaration,
// names outside ASCII, comments, "]]>" in text and namespace prefixes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>

#include "xml/dom_internal.h"

namespace xml::detail {
namespace {

constexpr std::string_view kXmlNamespace = "http://www.w3.org/XML/1998/namespace";
constexpr std::string_view kXmlnsNamespace = "http://www.w3.org/2000/xmlns/";

bool isAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isAsciiDigit(char c) { return c >= '0' && c <= '9'; }

// The code point of the UTF-8 sequence at |at| of |text|, which is valid
// UTF-8 (the load checked it); |at| moves past it.
std::uint32_t decodeAt(std::string_view text, std::size_t& at) {
  const auto lead = static_cast<unsigned char>(text[at++]);
  if (lead < 0x80) return lead;
  int more = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : 1;
  std::uint32_t code = lead & (0x3Fu >> more);
  for (; more > 0 && at < text.size(); --more) {
    code = (code << 6) | (static_cast<unsigned char>(text[at++]) & 0x3Fu);
  }
  return code;
}

// NameStartChar of XML 1.0 (fifth edition) above U+007F.
bool isNameStartAbove127(std::uint32_t c) {
  return (c >= 0xC0 && c <= 0xD6) || (c >= 0xD8 && c <= 0xF6) || (c >= 0xF8 && c <= 0x2FF) ||
         (c >= 0x370 && c <= 0x37D) || (c >= 0x37F && c <= 0x1FFF) || c == 0x200C || c == 0x200D ||
         (c >= 0x2070 && c <= 0x218F) || (c >= 0x2C00 && c <= 0x2FEF) ||
         (c >= 0x3001 && c <= 0xD7FF) || (c >= 0xF900 && c <= 0xFDCF) ||
         (c >= 0xFDF0 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0xEFFFF);
}

// NameChar above U+007F.
bool isNameCharAbove127(std::uint32_t c) {
  return isNameStartAbove127(c) || c == 0xB7 || (c >= 0x300 && c <= 0x36F) ||
         (c >= 0x203F && c <= 0x2040);
}

// True when the character at |at| of |name| may start a name (without the
// colon, which a namespace-aware name never starts with).
bool startsName(std::string_view name, std::size_t at) {
  if (at >= name.size()) return false;
  const char c = name[at];
  if (static_cast<unsigned char>(c) < 0x80) return isAsciiLetter(c) || c == '_';
  return isNameStartAbove127(decodeAt(name, at));
}

// VersionNum: "1." and digits.
bool isVersionNumber(std::string_view value) {
  return value.size() > 2 && value.substr(0, 2) == "1." &&
         std::all_of(value.begin() + 2, value.end(), isAsciiDigit);
}

// EncName: a Latin letter, then Latin letters, digits, '.', '_' and '-'.
bool isEncodingName(std::string_view value) {
  return !value.empty() && isAsciiLetter(value[0]) &&
         std::all_of(value.begin(), value.end(), [](char c) {
           return isAsciiLetter(c) || isAsciiDigit(c) || c == '.' || c == '_' || c == '-';
         });
}

}  // namespace

bool isWellFormedDeclaration(const Tree& tree, pugi::xml_node declaration) {
  // pugixml takes "<?xml" in any case and after white space or a byte-order
  // mark; the declaration must open the text, in lower case.
  if (declaration.name() != tree.source.data() + 2 ||
      std::string_view(declaration.name()) != "xml") {
    return false;
  }
  pugi::xml_attribute pseudo = declaration.first_attribute();
  if (!pseudo || std::string_view(pseudo.name()) != "version" || !isVersionNumber(pseudo.value())) {
    return false;
  }
  pseudo = pseudo.next_attribute();
  if (pseudo && std::string_view(pseudo.name()) == "encoding") {
    if (!isEncodingName(pseudo.value())) return false;
    pseudo = pseudo.next_attribute();
  }
  if (pseudo && std::string_view(pseudo.name()) == "standalone") {
    const std::string_view value = pseudo.value();
    if (value != "yes" && value != "no") return false;
    pseudo = pseudo.next_attribute();
  }
  return !pseudo;
}

bool isXmlName(std::string_view name) {
  // pugixml checked the ASCII characters; it takes every byte above 0x7F.
  std::size_t at = 0;
  while (at < name.size() && static_cast<unsigned char>(name[at]) < 0x80) ++at;
  if (at == name.size()) return true;
  if (at == 0 && !isNameStartAbove127(decodeAt(name, at))) return false;
  while (at < name.size()) {
    if (static_cast<unsigned char>(name[at]) < 0x80) {
      ++at;
    } else if (!isNameCharAbove127(decodeAt(name, at))) {
      return false;
    }
  }
  return true;
}

bool isWellFormedComment(std::string_view text) {
  return text.find("--") == std::string_view::npos && (text.empty() || text.back() != '-');
}

bool isQualifiedName(std::string_view name) {
  const std::size_t colon = name.find(':');
  if (colon == std::string_view::npos) return true;
  return colon != 0 && name.find(':', colon + 1) == std::string_view::npos &&
         startsName(name, colon + 1);
}

bool NamespaceScope::enter(pugi::xml_node element) {
  const std::string_view elementName = element.name();
  if (!isQualifiedName(elementName)) return false;
  // The element's own declarations come first: they apply to its name and
  // attributes.
  std::size_t prefixed = 0;
  for (pugi::xml_attribute a = element.first_attribute(); a; a = a.next_attribute()) {
    const std::string_view name = a.name();
    if (!isQualifiedName(name)) return false;
    const std::string_view value = a.value();
    if (name == "xmlns") {
      if (value == kXmlNamespace || value == kXmlnsNamespace) return false;
    } else if (name.substr(0, 6) == "xmlns:") {
      const std::string_view prefix = name.substr(6);
      // Namespaces 1.0 cannot undeclare a prefix; "xml" is bound to its
      // namespace alone and "xmlns" never declared.
      if (value.empty() || prefix == "xmlns" || value == kXmlnsNamespace ||
          (prefix == "xml") != (value == kXmlNamespace)) {
        return false;
      }
      if (prefix != "xml") {
        bound_[prefix].push_back(value);
        declared_.emplace_back(element, prefix);
      }
    } else if (name.find(':') != std::string_view::npos) {
      ++prefixed;
    }
  }
  const std::size_t colon = elementName.find(':');
  if (colon != std::string_view::npos && !isBound(elementName.substr(0, colon)) &&
      !prefixesFromDtd_) {
    return false;
  }
  if (prefixed == 0) return true;

  // Every prefixed attribute's prefix is bound, and no two attributes share
  // a namespace and a local name.
  expanded_.clear();
  for (pugi::xml_attribute a = element.first_attribute(); a; a = a.next_attribute()) {
    const std::string_view name = a.name();
    const std::size_t at = name.find(':');
    if (at == std::string_view::npos || name.substr(0, at) == "xmlns") continue;
    const std::string_view prefix = name.substr(0, at);
    if (!isBound(prefix)) {
      if (prefixesFromDtd_) continue;
      return false;
    }
    expanded_.emplace_back(namespaceOf(prefix), name.substr(at + 1));
  }
  std::sort(expanded_.begin(), expanded_.end());
  return std::adjacent_find(expanded_.begin(), expanded_.end()) == expanded_.end();
}

void NamespaceScope::leave(pugi::xml_node element) {
  while (!declared_.empty() && declared_.back().first == element) {
    const auto found = bound_.find(declared_.back().second);
    declared_.pop_back();
    if (found == bound_.end()) continue;  // every declared prefix is bound
    if (found->second.size() > 1) {
      found->second.pop_back();
    } else {
      bound_.erase(found);
    }
  }
}

bool NamespaceScope::isBound(std::string_view prefix) const {
  return prefix == "xml" || bound_.count(prefix) != 0;
}

std::string_view NamespaceScope::namespaceOf(std::string_view prefix) const {
  if (prefix == "xml") return kXmlNamespace;
  return bound_.at(prefix).back();
}

}  // namespace xml::detail
