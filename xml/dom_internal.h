// Internals shared by the DOM implementation files; not for callers.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include <pugixml.hpp>

#include "xml/dom.h"

namespace xml::detail {

// One pugixml tree. Nodes that belong to the document but are not attached
// (made by a create call and not yet appended, or children replaced by a new
// text) live under |holder|, a hidden element that is always the last
// top-level child. pugixml cannot keep a node outside the tree, and moving
// nodes within one tree keeps every handle valid; so the holder is skipped
// wherever top-level nodes are walked, listed or saved.
struct Tree : Counted {
  // The UTF-8 text of a loaded document, parsed in place: the names and
  // values pugixml read point into it, so it lives as long as the tree.
  std::string source;
  pugi::xml_document document;
  pugi::xml_node holder;  // null until first needed
  // The loaded document has a DTD with declarations or an external subset.
  bool dependsOnDtd = false;
  // Where readers report findings (Document::collectFindings), the loaded
  // text as it was before the parse, and the offsets where its lines start
  // (made on the first finding).
  std::vector<Finding>* findings = nullptr;
  std::string original;
  std::vector<std::size_t> lineStarts;

  pugi::xml_node holderNode() {
    if (!holder) {
      holder = document.append_child(pugi::node_element);
      holder.set_name("unattached");
    }
    return holder;
  }

  // True for the node that stands for the XML declaration: the parsed
  // declaration or a processing instruction named "xml".
  static bool isDeclaration(pugi::xml_node node) {
    return node.type() == pugi::node_declaration ||
           (node.type() == pugi::node_pi && std::string_view(node.name()) == "xml");
  }
};

inline Tree* TreeRef::operator->() const { return static_cast<Tree*>(counted_); }
inline Tree& TreeRef::operator*() const { return *static_cast<Tree*>(counted_); }

// An attribute made by Document::createAttribute before it is set on an
// element.
struct DetachedAttribute {
  std::string name;
  std::string value;
};

// True when |bytes| is UTF-8 without malformed or overlong sequences,
// surrogates or code points above U+10FFFF, and holds only characters an XML
// document may contain: tab, line feed, carriage return, U+0020 to U+D7FF,
// U+E000 to U+FFFD and U+10000 to U+10FFFF. pugixml reads any byte.
bool isXmlCharacters(std::string_view bytes);

// The offset of the first character of |bytes| that makes isXmlCharacters
// false (the first byte of a malformed sequence), or npos when none does.
std::size_t findNonXmlCharacter(std::string_view bytes);

// Sets |line| and |column| (both from 1) of the byte at |offset| in the
// UTF-8 |text|: lines end at "\n", "\r\n" or a lone "\r"; columns count
// characters (a byte that starts no UTF-8 sequence counts as one). An offset
// past the end stands for the end of the text.
void locate(std::string_view text, std::size_t offset, int& line, int& column);

// Checks the well-formedness rules pugixml leaves to its caller and
// replaces references in text and attribute values: the document must hold
// exactly one element and no text at top level, a well-formed declaration
// only as its first node, at most one document type before the element, no
// duplicate attribute on an element and no '<' in an attribute value; '&'
// must start one of the five predefined entity references or a character
// reference to a character XML allows; names must be XML names, comments
// well-formed, text free of "]]>", processing instruction targets free of
// ':', and namespaces used as NamespaceScope says. Returns false when a
// rule is broken.
//
// The document type node is removed; when it holds more than the root's
// name (declarations, an external subset) |tree|.dependsOnDtd is set, and a
// reference to any other entity, which such a DTD may declare, is kept as
// it stands instead of failing the load. Nothing of the DTD is read.
bool checkAndResolveReferences(Tree& tree);

// True when |declaration|, the declaration node of the parsed |tree|, is an
// XML declaration: "<?xml" in lower case at the very start of the text, then
// version ("1." and digits), an optional encoding (a Latin letter, then
// letters, digits, '.', '_', '-') and an optional standalone ("yes" or "no"),
// in this order and nothing else.
bool isWellFormedDeclaration(const Tree& tree, pugi::xml_node declaration);

// True when the name pugixml read (valid UTF-8, its ASCII characters
// already checked) is an XML name: its characters outside ASCII are name
// characters of XML 1.0 (fifth edition), the first one a name start
// character (not a combining mark or U+00B7).
bool isXmlName(std::string_view name);

// True for the text of a comment: no "--" inside, and no '-' before its
// closing "-->".
bool isWellFormedComment(std::string_view text);

// True for a name of Namespaces in XML 1.0: no colon, or one colon between
// a prefix and a local part that starts with a name start character.
bool isQualifiedName(std::string_view name);

// The namespace prefixes bound at an element, for the namespace rules a
// conforming parser applies: element and attribute names are qualified
// names, every prefix used is bound ("xml" always is), no prefix is
// undeclared (xmlns:p=""), "xml" is bound to its namespace alone, "xmlns"
// is never declared and neither namespace is the default, and no two
// attributes of an element have the same namespace and local name. The
// views point into the tree, whose names and resolved values stay in place.
class NamespaceScope {
 public:
  // With |prefixesFromDtd|, for a document that depends on its DTD, a
  // prefix bound nowhere in the document is taken as bound by a default
  // attribute the DTD may declare: such a document loads, unread, instead
  // of failing.
  explicit NamespaceScope(bool prefixesFromDtd) : prefixesFromDtd_(prefixesFromDtd) {}

  // Takes the declarations of |element| (whose attribute values hold their
  // references resolved) into scope; false when it breaks a rule.
  bool enter(pugi::xml_node element);
  // Drops the declarations of |element|; elements are left in the reverse
  // order of entering.
  void leave(pugi::xml_node element);

 private:
  bool isBound(std::string_view prefix) const;
  std::string_view namespaceOf(std::string_view prefix) const;

  bool prefixesFromDtd_;
  std::unordered_map<std::string_view, std::vector<std::string_view>> bound_;
  std::vector<std::pair<pugi::xml_node, std::string_view>> declared_;
  std::vector<std::pair<std::string_view, std::string_view>> expanded_;
};

// True when the value of a document type node (what follows "<!DOCTYPE")
// holds more than the root's name and an empty internal subset.
bool declaresAnything(std::string_view doctype);

// Where the head of a document ends: the prolog (white space, the
// declaration, comments, processing instructions and a document type that
// declares nothing) and the start tag of the first element.
struct Head {
  enum Status {
    kComplete,    // |length| bytes hold the head
    kIncomplete,  // the text ends inside the head
    kUnusable,    // the prolog holds anything else (text, CDATA, a DTD that declares anything)
  };
  Status status = kIncomplete;
  std::size_t length = 0;
  std::string_view rootName;  // the first element's name
  bool rootIsEmpty = false;   // its start tag closes itself ("<a/>")
};

// Finds the head of the UTF-8 |text|. The markup is only delimited here;
// whether it is well-formed is for the parser to tell.
Head findHead(std::string_view text);

}  // namespace xml::detail
