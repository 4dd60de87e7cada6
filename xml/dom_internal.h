// Internals shared by the DOM implementation files; not for callers.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
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

// True for a name the serialiser can write and the parser read back: not
// empty, not starting with a digit, '-' or '.', and free of white space,
// control bytes and markup characters.
bool isWritableName(std::string_view name);

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
// exactly one element and no text at top level, a declaration only as its
// first node, at most one document type before the element, no duplicate
// attribute on an element and no '<' in an attribute value; '&' must start
// one of the five predefined entity references or a character reference to
// a character other than U+0000. Returns false when a rule is broken.
//
// The document type node is removed; when it holds more than the root's
// name (declarations, an external subset) |tree|.dependsOnDtd is set, and a
// reference to any other entity, which such a DTD may declare, is kept as
// it stands instead of failing the load. Nothing of the DTD is read.
bool checkAndResolveReferences(Tree& tree);

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
