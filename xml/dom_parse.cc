// Well-formedness checks and reference resolution after pugixml has parsed a
// document. pugixml is lenient where a conforming parser must refuse (several
// top-level elements, duplicate attributes, unknown entities kept as text),
// and it would expand nothing but the predefined entities anyway; so the
// document is parsed with reference expansion off and every reference is
// resolved here, where an unknown one can fail the load.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "xml/dom_internal.h"

namespace xml::detail {
namespace {

void appendUtf8(std::uint32_t code, std::string& out) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

int digitValue(char c, int base) {
  int value = -1;
  if (c >= '0' && c <= '9') value = c - '0';
  if (c >= 'a' && c <= 'f') value = c - 'a' + 10;
  if (c >= 'A' && c <= 'F') value = c - 'A' + 10;
  return value < base ? value : -1;
}

// True for a character XML 1.0 allows (Char): tab, line feed, carriage
// return, U+0020 to U+D7FF, U+E000 to U+FFFD and U+10000 to U+10FFFF.
bool isXmlChar(std::uint32_t code) {
  if (code < 0x20) return code == '\t' || code == '\n' || code == '\r';
  return code <= 0xD7FF || (code >= 0xE000 && code <= 0xFFFD) ||
         (code >= 0x10000 && code <= 0x10FFFF);
}

// Appends the character |reference| (the text between '&' and ';') stands
// for; false when it is no reference or refers to a character XML does not
// allow. A loaded document so never holds such a character, and neither does
// one written from it.
bool appendReference(std::string_view reference, std::string& out) {
  static constexpr std::pair<std::string_view, char> kEntities[] = {
      {"lt", '<'}, {"gt", '>'}, {"amp", '&'}, {"apos", '\''}, {"quot", '"'}};
  for (const auto& [name, character] : kEntities) {
    if (reference == name) {
      out += character;
      return true;
    }
  }
  if (reference.size() < 2 || reference[0] != '#') return false;
  int base = 10;
  std::string_view digits = reference.substr(1);
  if (digits[0] == 'x') {
    base = 16;
    digits.remove_prefix(1);
  }
  if (digits.empty()) return false;
  std::uint32_t code = 0;
  for (char c : digits) {
    int digit = digitValue(c, base);
    if (digit < 0) return false;
    code = code * static_cast<std::uint32_t>(base) + static_cast<std::uint32_t>(digit);
    if (code > 0x10FFFF) return false;
  }
  if (!isXmlChar(code)) return false;
  appendUtf8(code, out);
  return true;
}

// True for the text of an entity reference to a named entity: a name free
// of white space and markup.
bool isEntityName(std::string_view reference) {
  return reference.find('#') == std::string_view::npos && isWritableName(reference);
}

// Resolves the references of |text| into |out|. False for a '&' that starts
// no valid reference; with |keepNamed|, a reference to an unknown named
// entity is copied as it stands.
bool resolveReferences(std::string_view text, std::string& out, bool keepNamed) {
  out.clear();
  out.reserve(text.size());
  std::size_t position = 0;
  for (;;) {
    std::size_t ampersand = text.find('&', position);
    out.append(text.substr(position, ampersand - position));
    if (ampersand == std::string_view::npos) return true;
    std::size_t semicolon = text.find(';', ampersand + 1);
    if (semicolon == std::string_view::npos) return false;
    const std::string_view reference = text.substr(ampersand + 1, semicolon - ampersand - 1);
    if (!appendReference(reference, out)) {
      if (!keepNamed || !isEntityName(reference)) return false;
      out.append(text.substr(ampersand, semicolon - ampersand + 1));
    }
    position = semicolon + 1;
  }
}

bool hasDuplicateAttribute(pugi::xml_node element) {
  std::vector<std::string_view> names;
  for (pugi::xml_attribute a = element.first_attribute(); a; a = a.next_attribute()) {
    names.emplace_back(a.name());
  }
  if (names.size() < 2) return false;
  std::sort(names.begin(), names.end());
  return std::adjacent_find(names.begin(), names.end()) != names.end();
}

bool checkElement(pugi::xml_node element, std::string& scratch, bool keepNamed,
                  NamespaceScope& scope) {
  if (!isXmlName(element.name())) return false;
  if (element.first_attribute() && element.first_attribute().next_attribute() &&
      hasDuplicateAttribute(element)) {
    return false;
  }
  for (pugi::xml_attribute a = element.first_attribute(); a; a = a.next_attribute()) {
    if (!isXmlName(a.name())) return false;
    std::string_view value = a.value();
    if (value.find('<') != std::string_view::npos) return false;
    if (value.find('&') == std::string_view::npos) continue;
    if (!resolveReferences(value, scratch, keepNamed)) return false;
    a.set_value(scratch.data(), scratch.size());
  }
  return scope.enter(element);
}

// Checks a node other than an element: a comment's text, a processing
// instruction's target, text (whose references it resolves).
bool checkOtherNode(pugi::xml_node node, std::string& scratch, bool keepNamed) {
  switch (node.type()) {
    case pugi::node_comment:
      return isWellFormedComment(node.value());
    case pugi::node_pi: {
      const std::string_view target = node.name();
      return isXmlName(target) && target.find(':') == std::string_view::npos;
    }
    case pugi::node_pcdata: {
      const std::string_view value = node.value();
      if (value.find("]]>") != std::string_view::npos) return false;
      if (value.find('&') == std::string_view::npos) return true;
      if (!resolveReferences(value, scratch, keepNamed)) return false;
      node.set_value(scratch.data(), scratch.size());
      return true;
    }
    default:
      return true;
  }
}

}  // namespace

bool declaresAnything(std::string_view doctype) {
  auto skipSpace = [&doctype] {
    while (!doctype.empty() &&
           std::string_view(" \t\r\n").find(doctype[0]) != std::string_view::npos) {
      doctype.remove_prefix(1);
    }
  };
  skipSpace();
  while (!doctype.empty() &&
         std::string_view(" \t\r\n[").find(doctype[0]) == std::string_view::npos) {
    doctype.remove_prefix(1);
  }
  skipSpace();
  if (!doctype.empty() && doctype[0] == '[') {
    doctype.remove_prefix(1);
    skipSpace();
    if (doctype.empty() || doctype[0] != ']') return true;
    doctype.remove_prefix(1);
    skipSpace();
  }
  return !doctype.empty();
}

namespace {

bool checkTopLevel(Tree& tree) {
  int elements = 0;
  pugi::xml_node doctype;
  for (pugi::xml_node node = tree.document.first_child(); node; node = node.next_sibling()) {
    switch (node.type()) {
      case pugi::node_element:
        ++elements;
        break;
      case pugi::node_doctype:
        if (doctype || elements != 0) return false;
        doctype = node;
        break;
      case pugi::node_pcdata:
      case pugi::node_cdata:
        return false;
      case pugi::node_declaration:
        if (node != tree.document.first_child() || !isWellFormedDeclaration(tree, node)) {
          return false;
        }
        break;
      default:
        break;
    }
  }
  if (doctype) {
    tree.dependsOnDtd = declaresAnything(doctype.value());
    tree.document.remove_child(doctype);
  }
  return elements == 1;
}

}  // namespace

namespace {

// Tab, line feed, carriage return and U+0020 to U+007F.
constexpr auto kAllowedAscii = [] {
  std::array<bool, 256> allowed{};
  for (int byte = 0x20; byte < 0x80; ++byte) allowed[static_cast<std::size_t>(byte)] = true;
  allowed['\t'] = allowed['\n'] = allowed['\r'] = true;
  return allowed;
}();

}  // namespace

std::size_t findNonXmlCharacter(std::string_view bytes) {
  const auto* begin = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* end = begin + bytes.size();
  const auto* p = begin;
  while (p != end) {
    // The usual long runs of ASCII characters XML allows, four at a time.
    while (end - p >= 4 && kAllowedAscii[p[0]] && kAllowedAscii[p[1]] && kAllowedAscii[p[2]] &&
           kAllowedAscii[p[3]]) {
      p += 4;
    }
    while (p != end && kAllowedAscii[*p]) ++p;
    if (p == end) break;
    const auto* start = p;
    const auto bad = static_cast<std::size_t>(start - begin);
    std::uint32_t code = *p++;
    if (code < 0x80) {
      if (code < 0x20 && code != '\t' && code != '\n' && code != '\r') return bad;
      continue;
    }
    std::ptrdiff_t more = 0;
    std::uint32_t lowest = 0;
    if (code >= 0xC2 && code <= 0xDF) {
      more = 1;
      code &= 0x1F;
      lowest = 0x80;
    } else if (code >= 0xE0 && code <= 0xEF) {
      more = 2;
      code &= 0x0F;
      lowest = 0x800;
    } else if (code >= 0xF0 && code <= 0xF4) {
      more = 3;
      code &= 0x07;
      lowest = 0x10000;
    } else {
      return bad;
    }
    if (end - p < more) return bad;
    for (; more > 0; --more, ++p) {
      if ((*p & 0xC0) != 0x80) return bad;
      code = (code << 6) | (*p & 0x3Fu);
    }
    if (code < lowest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF) || code == 0xFFFE ||
        code == 0xFFFF) {
      return bad;
    }
  }
  return std::string_view::npos;
}

bool isXmlCharacters(std::string_view bytes) {
  return findNonXmlCharacter(bytes) == std::string_view::npos;
}

void locate(std::string_view text, std::size_t offset, int& line, int& column) {
  offset = std::min(offset, text.size());
  line = 1;
  column = 1;
  for (std::size_t i = 0; i < offset; ++i) {
    const char c = text[i];
    if (c == '\n' || (c == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))) {
      ++line;
      column = 1;
    } else if ((static_cast<unsigned char>(c) & 0xC0) != 0x80 && c != '\r') {
      // Continuation bytes belong to the character their lead byte started.
      ++column;
    }
  }
}

bool checkAndResolveReferences(Tree& tree) {
  if (!checkTopLevel(tree)) return false;
  const bool keepNamed = tree.dependsOnDtd;
  const pugi::xml_node document = tree.document;
  std::string scratch;
  NamespaceScope scope(tree.dependsOnDtd);
  // A walk in document order without recursion, so that a deeply nested
  // document cannot exhaust the stack.
  pugi::xml_node node = document.first_child();
  while (node) {
    const bool checked = node.type() == pugi::node_element
                             ? checkElement(node, scratch, keepNamed, scope)
                             : checkOtherNode(node, scratch, keepNamed);
    if (!checked) return false;
    if (node.first_child()) {
      node = node.first_child();
      continue;
    }
    for (;;) {
      scope.leave(node);
      if (node.next_sibling()) break;
      node = node.parent();
      if (node == document) return true;
    }
    node = node.next_sibling();
  }
  return true;
}

}  // namespace xml::detail
