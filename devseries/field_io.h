// Field-level reading and writing shared by the record readers and writers.
//
// A record's element form is described once, as a table of its fields in
// document order: the element name and a pointer to the record member, whose
// type gives the value kind. The writer walks the whole table; the reader
// takes the leading fields by position (the next child node, whatever its
// name) and looks the rest up by exact name. Missing positional nodes raise
// `_com_error` with kEPointer, which ends the reading of the document.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>

#include "xml/dom.h"
#include "xml/value_codec.h"

namespace devseries {

// Every real of a record is written with this many decimals.
inline constexpr int kRealDecimals = 3;

// Slots of the fixed int arrays of records (head positions, default inks,
// ink indices of a mode or ink configuration).
inline constexpr int kIntSlotCount = 24;
using IntSlots = int[kIntSlotCount];

// A real read and narrowed to the nearest float; a magnitude beyond the
// float range gives an infinity of that sign.
float readFloat(const xml::Node& node);

// A real read and truncated toward zero ("2.9" gives 2, "-1.5" gives -1,
// "2e1" gives 20). Values beyond the int range saturate to INT_MIN or
// INT_MAX, and a text reading as NaN gives 0, so no text can make the
// conversion undefined.
int readTruncatedInt(const xml::Node& node);

// Reads the first 24 child nodes of |node|, whatever their names, as ints
// into |slots|; further children are ignored. Raises kEPointer when |node|
// is null or has fewer than 24 children.
void readIntSlots(const xml::Node& node, IntSlots& slots);

// An element |name| with 24 int children in slot order, named |childName|
// or, when |childName| is empty, "value0" to "value23".
xml::Node createIntSlotsElement(const xml::Document& document, std::string_view name,
                                const IntSlots& slots, std::string_view childName = {});

// An int member whose element is read as a real truncated toward zero.
template <class Record>
struct TruncatedIntMember {
  // Explicit, so that a plain int member pointer never converts to it.
  constexpr explicit TruncatedIntMember(int Record::*m) : member(m) {}
  int Record::*member;
};

// One field of a record's element form: its element name and its member.
template <class Record>
struct Field {
  std::string_view name;
  std::variant<std::string Record::*, int Record::*, TruncatedIntMember<Record>, double Record::*,
               float Record::*, bool Record::*, IntSlots Record::*>
      member;
};

// Reads |node| into the field's member of |record| by the member's kind.
// A null |node| raises kEPointer.
template <class Record>
void readField(const Field<Record>& field, const xml::Node& node, Record& record) {
  std::visit(
      [&](auto member) {
        using Member = decltype(member);
        if constexpr (std::is_same_v<Member, std::string Record::*>) {
          record.*member = xml::readText(node);
        } else if constexpr (std::is_same_v<Member, int Record::*>) {
          record.*member = xml::readInt(node);
        } else if constexpr (std::is_same_v<Member, TruncatedIntMember<Record>>) {
          record.*(member.member) = readTruncatedInt(node);
        } else if constexpr (std::is_same_v<Member, double Record::*>) {
          record.*member = xml::readReal(node);
        } else if constexpr (std::is_same_v<Member, float Record::*>) {
          record.*member = readFloat(node);
        } else if constexpr (std::is_same_v<Member, bool Record::*>) {
          record.*member = xml::readBool(node);
        } else {
          readIntSlots(node, record.*member);
        }
      },
      field.member);
}

// A new element holding the field's value; int slots as "value0" to
// "value23", reals with 3 decimals.
template <class Record>
xml::Node createFieldElement(const xml::Document& document, const Field<Record>& field,
                             const Record& record) {
  return std::visit(
      [&](auto member) -> xml::Node {
        using Member = decltype(member);
        if constexpr (std::is_same_v<Member, std::string Record::*>) {
          return xml::createTextElement(document, field.name, record.*member);
        } else if constexpr (std::is_same_v<Member, int Record::*>) {
          return xml::createIntElement(document, field.name, record.*member);
        } else if constexpr (std::is_same_v<Member, TruncatedIntMember<Record>>) {
          return xml::createIntElement(document, field.name, record.*(member.member));
        } else if constexpr (std::is_same_v<Member, double Record::*>) {
          return xml::createRealElement(document, field.name, record.*member, kRealDecimals);
        } else if constexpr (std::is_same_v<Member, float Record::*>) {
          return xml::createRealElement(document, field.name, static_cast<double>(record.*member),
                                        kRealDecimals);
        } else if constexpr (std::is_same_v<Member, bool Record::*>) {
          return xml::createBoolElement(document, field.name, record.*member);
        } else {
          return createIntSlotsElement(document, field.name, record.*member);
        }
      },
      field.member);
}

// Reads |fields| in order from the next child nodes of |children|, one node
// per field whatever its name. Raises kEPointer when the children run out.
template <class Record>
void readPositionalFields(xml::NodeList& children, std::span<const Field<Record>> fields,
                          Record& record) {
  for (const Field<Record>& field : fields) readField(field, children.nextNode(), record);
}

// The field of |fields| whose element name is exactly |name|, or null.
template <class Record>
const Field<Record>* findField(std::span<const Field<Record>> fields, std::string_view name) {
  for (const Field<Record>& field : fields) {
    if (field.name == name) return &field;
  }
  return nullptr;
}

// Reads every remaining child of |children| whose name is exactly one of
// |fields|; other nodes (other names, comments) are skipped, and of two
// elements with the same name the later one wins.
template <class Record>
void readNamedFields(xml::NodeList& children, std::span<const Field<Record>> fields,
                     Record& record) {
  for (xml::Node node = children.nextNode(); node; node = children.nextNode()) {
    if (const Field<Record>* field = findField(fields, node.nodeName())) {
      readField(*field, node, record);
    }
  }
}

// Appends one element per field of |fields|, in order, to |element|.
template <class Record>
void appendFields(const xml::Document& document, const xml::Node& element,
                  std::span<const Field<Record>> fields, const Record& record) {
  for (const Field<Record>& field : fields) {
    element.appendChild(createFieldElement(document, field, record));
  }
}

}  // namespace devseries
