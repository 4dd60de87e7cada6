// Values as elements: the writers and readers through which every record
// field of a document passes.
//
// Writers create a new node through the document and return it unattached;
// the caller appends it (or, for an attribute, sets it on its element). Their
// append twins build the same element in place as the last child of an
// element, which costs no move (Node::appendElement).
// Readers take the node to read, which may be null because the caller's
// walk over positional children ran out: a null node raises `_com_error`
// with kEPointer, which ends the reading of the document. Reading never
// fails on a value's content: numbers that do not parse read as 0, any
// boolean text other than "true" reads false.
//
// Text forms (number_text.h for the number rules):
//   int       decimal digits, "-" for negatives        read as C atoi
//   real      printf "%.*f" with the caller's decimals  read as C atof
//   bool      "true" / "false"                         true only for "true"
//   text      the string as it is                      the element's text
#pragma once

#include <string>
#include <string_view>

#include "xml/dom.h"
#include "xml/language_table.h"

namespace xml {

Node createTextElement(const Document& document, std::string_view name, std::string_view text);
Node createIntElement(const Document& document, std::string_view name, int value);
// Every real of the documents is written with 3 decimals: 1346.2 gives
// "1346.200".
Node createRealElement(const Document& document, std::string_view name, double value, int decimals);
Node createBoolElement(const Document& document, std::string_view name, bool value);

// An element with 13 children, one per language slot in slot order, each
// named by languageName and holding the slot's text, or the English text
// when the slot is empty.
Node createLocalizedTextElement(const Document& document, std::string_view name,
                                const LocalizedText& text);

// The writers above, building in place under |parent|.
void appendTextElement(const Node& parent, ElementName name, std::string_view text);
void appendIntElement(const Node& parent, ElementName name, int value);
void appendRealElement(const Node& parent, ElementName name, double value, int decimals);
void appendBoolElement(const Node& parent, ElementName name, bool value);
void appendLocalizedTextElement(const Node& parent, ElementName name, const LocalizedText& text);

// An attribute whose value is the decimal text of |value|, to be set on its
// element with Node::setAttributeNode.
Attribute createIntAttribute(const Document& document, std::string_view name, int value);

std::string readText(const Node& node);
int readInt(const Node& node);
double readReal(const Node& node);
bool readBool(const Node& node);

// Fills the slots of |text| whose language child |node| holds: every child
// whose name equals a language name exactly gives that slot its text (a
// later duplicate wins); other children, text and comments are ignored;
// slots without a child keep their value. Returns true.
bool readLocalizedText(const Node& node, LocalizedText& text);

// atoi of the value of the attribute |name| of |element|; -1 when the
// element is null, has no attribute map or no such attribute.
int readIntAttribute(const Node& element, std::string_view name);

}  // namespace xml
