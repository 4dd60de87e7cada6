// The element forms of the device-series records, described as tables.
//
// A record's element form is a table of its fields in document order
// (RecordForm). A field names its element and says how its value is read
// and written: by a codec, a type with
//   static void read(const xml::Node& node, T& value);
//   static void append(const xml::Node& parent, xml::ElementName name, const T& value);
// where append builds the element |name| holding the value in place, as the
// last child of |parent| (xml::Node::appendElement): a document is written
// top down, each element made once where it stays, and a name given as a
// string literal reaches pugixml (which keeps its own copy) with no check
// or copy on the way.
// Reader and writer walk the same table. The writer emits every field in
// table order (a field may leave itself out for a given record); the reader
// takes the leading fields by position (the next child node, whatever its
// name) and looks the rest up by exact name, skipping other nodes; of two
// elements with the same name the later one wins. Missing positional nodes
// raise `_com_error` with kEPointer, which ends the reading of the document.
#pragma once

#include <bitset>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>

#include "devseries/document_limits.h"
#include "devseries/growable_array.h"
#include "xml/dom.h"
#include "xml/language_table.h"
#include "xml/value_codec.h"

namespace devseries {

// Every real of a document is written with this many decimals.
inline constexpr int kRealDecimals = 3;

// A real read and narrowed to the nearest float; a magnitude beyond the
// float range gives an infinity of that sign.
float readFloat(const xml::Node& node);

// A real written with kRealDecimals decimals; a float is widened to double.
inline void appendRealElement(const xml::Node& parent, xml::ElementName name, double value) {
  xml::appendRealElement(parent, name, value, kRealDecimals);
}
inline void appendFloatElement(const xml::Node& parent, xml::ElementName name, float value) {
  appendRealElement(parent, name, static_cast<double>(value));
}

// A real read and truncated toward zero ("2.9" gives 2, "-1.5" gives -1,
// "2e1" gives 20). Values beyond the int range saturate to INT_MIN or
// INT_MAX, and a text reading as NaN gives 0, so no text can make the
// conversion undefined.
int readTruncatedInt(const xml::Node& node);

// --- Findings of a strict reading ----------------------------------------
//
// Where the document collects findings (xml::Document::collectFindings),
// the readers below report what they pass over or change: a value text
// that is coerced, an element skipped, a field given twice, a positional
// element missing or standing where another belongs. Otherwise they only
// ask whether findings are collected.

// How a value's text is read, for telling which texts it coerces.
enum class ValueKind {
  kText,          // any text
  kInt,           // decimal digits, "-" for negatives
  kIntAsReal,     // a real whose decimals are all zero
  kReal,          // a real
  kTruncatedInt,  // a real without decimals
  kBool,          // "true" or "false"
};

// Reports the text of |node| when reading it as |kind| into a value in
// [low, high] coerces it: text in a number field, a value out of range, a
// real truncated, a bad boolean.
void checkValueText(const xml::Node& node, ValueKind kind, double low, double high);

// How messages name |node|: "<name>" for an element, else "a comment",
// "a processing instruction" or "text".
std::string nodeLabel(const xml::Node& node);

// Reports |node|, which the reader of |parent| takes as its field |name| by
// position although it is named otherwise, or, when |node| is null, the
// missing element on |parent|.
void checkPositional(const xml::Node& parent, const xml::Node& node, std::string_view name);

// --- Codecs of single values ---------------------------------------------

// A value read by |Read| and converted to the member's type, written by
// |Append| (value_codec.h for the text forms); |kKind| tells the texts the
// read coerces.
template <auto Read, auto Append, ValueKind kKind = ValueKind::kText>
struct Scalar {
  template <class T>
  static void read(const xml::Node& node, T& value) {
    value = static_cast<T>(Read(node));
    if constexpr (kKind != ValueKind::kText) {
      if (node.collectsFindings()) {
        checkValueText(node, kKind, static_cast<double>(std::numeric_limits<T>::lowest()),
                       static_cast<double>(std::numeric_limits<T>::max()));
      }
    }
  }
  template <class T>
  static void append(const xml::Node& parent, xml::ElementName name, const T& value) {
    Append(parent, name, value);
  }
};

// The codec of each plain value kind.
template <class T>
struct Plain;
template <>
struct Plain<std::string> : Scalar<&xml::readText, &xml::appendTextElement> {};
template <>
struct Plain<int> : Scalar<&xml::readInt, &xml::appendIntElement, ValueKind::kInt> {};
// Small unsigned ints keep the low bits of the int read: "300" gives 44 as
// a u8, "-1" gives 255.
template <>
struct Plain<std::uint8_t> : Scalar<&xml::readInt, &xml::appendIntElement, ValueKind::kInt> {};
template <>
struct Plain<std::uint16_t> : Scalar<&xml::readInt, &xml::appendIntElement, ValueKind::kInt> {};
template <>
struct Plain<double> : Scalar<&xml::readReal, &appendRealElement, ValueKind::kReal> {};
template <>
struct Plain<float> : Scalar<&readFloat, &appendFloatElement, ValueKind::kReal> {};
template <>
struct Plain<bool> : Scalar<&xml::readBool, &xml::appendBoolElement, ValueKind::kBool> {};
// Slots without a language child keep their value.
template <>
struct Plain<xml::LocalizedText> {
  static void read(const xml::Node& node, xml::LocalizedText& value) {
    xml::readLocalizedText(node, value);
  }
  static void append(const xml::Node& parent, xml::ElementName name,
                     const xml::LocalizedText& value) {
    xml::appendLocalizedTextElement(parent, name, value);
  }
};

// An int read as a real truncated toward zero, written as an int.
using TruncatedInt = Scalar<&readTruncatedInt, &xml::appendIntElement, ValueKind::kTruncatedInt>;
// An int written as a real ("170.000") and read as an int, so the decimals
// are dropped.
using IntAsReal = Scalar<&xml::readInt, &appendRealElement, ValueKind::kIntAsReal>;
// A 32-bit truth value (1 true, 0 false) written and read as a bool.
struct Flag32 : Scalar<&xml::readBool, nullptr, ValueKind::kBool> {
  static void append(const xml::Node& parent, xml::ElementName name, int value) {
    xml::appendBoolElement(parent, name, value == 1);
  }
};

// --- Fields and record forms ---------------------------------------------

// One field of a record's element form.
template <class Record>
struct Field {
  xml::ElementName name = {};
  // Reads |node| into the record; a null |node| raises kEPointer.
  void (*read)(const xml::Node& node, Record& record);
  // Builds the element |name| holding the record's value as the last child
  // of |parent|.
  void (*append)(const xml::Node& parent, xml::ElementName name, const Record& record);
  // When set, the writer emits the field only for records it accepts.
  bool (*written)(const Record& record) = nullptr;
  // For a list member (GrowableArray): the number of its entries. Null for
  // every other field.
  std::size_t (*count)(const Record& record) = nullptr;
};

template <class T>
struct IsList : std::false_type {};
template <class T>
struct IsList<GrowableArray<T>> : std::true_type {};

template <class>
struct MemberOf;
template <class Record, class Value>
struct MemberOf<Value Record::*> {
  using RecordType = Record;
  using ValueType = Value;
};

// The entry count of |Member| when it is a list, else null.
template <auto Member, class Record = typename MemberOf<decltype(Member)>::RecordType>
constexpr std::size_t (*countOf())(const Record&) {
  if constexpr (IsList<typename MemberOf<decltype(Member)>::ValueType>::value) {
    return [](const Record& record) { return static_cast<std::size_t>((record.*Member).size()); };
  } else {
    return nullptr;
  }
}

// The field |name| for the record member |Member|, read and written by
// |Codec| (by default the plain codec of the member's type); |written|, when
// given, decides per record whether the writer emits it.
template <auto Member, class Codec = Plain<typename MemberOf<decltype(Member)>::ValueType>,
          class Record = typename MemberOf<decltype(Member)>::RecordType>
constexpr Field<Record> field(xml::ElementName name,
                              std::type_identity_t<bool (*)(const Record&)> written = nullptr) {
  return {name, [](const xml::Node& node, Record& record) { Codec::read(node, record.*Member); },
          [](const xml::Node& parent, xml::ElementName own, const Record& record) {
            Codec::append(parent, own, record.*Member);
          },
          written, countOf<Member>()};
}

// Which fields of a table a reader met, by their index in the table.
using FieldsSeen = std::bitset<64>;

// The index of the field |name| in |fields|; fields.size() when none.
template <class Record>
constexpr std::size_t fieldIndex(std::span<const Field<Record>> fields, std::string_view name) {
  std::size_t index = 0;
  while (index < fields.size() && fields[index].name.view() != name) ++index;
  return index;
}

// Reads |fields| in order from the next child nodes of |children|, one node
// per field whatever its name. Raises kEPointer when the children run out.
template <class Record>
void readPositionalFields(xml::NodeList& children, std::span<const Field<Record>> fields,
                          Record& record) {
  for (const Field<Record>& field : fields) {
    const xml::Node node = children.nextNode();
    if (node.isNull() || node.collectsFindings()) {
      checkPositional(children.parent(), node, field.name);
    }
    field.read(node, record);
  }
}

// Reads every remaining child of |children| whose name is exactly one of
// |fields|; other nodes (other names, comments) are skipped. Returns the
// fields met.
template <class Record>
FieldsSeen readNamedFields(xml::NodeList& children, std::span<const Field<Record>> fields,
                           Record& record) {
  FieldsSeen seen;
  if (fields.empty()) return seen;
  for (xml::Node node = children.nextNode(); node; node = children.nextNode()) {
    const std::size_t index = fieldIndex(fields, node.nodeName());
    if (node.collectsFindings() && node.nodeType() == xml::NodeType::kElement) {
      if (index == fields.size()) {
        node.report("element <" + std::string(node.nodeName()) +
                    "> skipped: no field of that name here");
      } else if (seen.test(index)) {
        node.report("<" + std::string(node.nodeName()) + "> given twice: this later one wins");
      }
    }
    if (index == fields.size()) continue;
    fields[index].read(node, record);
    seen.set(index);
  }
  return seen;
}

// Appends one element per field of |fields| the record has, in order, to
// |element|.
template <class Record>
void appendFields(const xml::Node& element, std::span<const Field<Record>> fields,
                  const Record& record) {
  for (const Field<Record>& field : fields) {
    if (field.written != nullptr && !field.written(record)) continue;
    field.append(element, field.name, record);
  }
}

// The element form of a record: its fields in document order, of which the
// first |positionalCount| are taken by position.
template <class Record>
struct RecordForm {
  std::span<const Field<Record>> fields;
  std::size_t positionalCount = 0;

  constexpr std::span<const Field<Record>> positional() const {
    return fields.first(positionalCount);
  }
  constexpr std::span<const Field<Record>> named() const { return fields.subspan(positionalCount); }
};

// Reads the children of |element| by |form|: the positional fields, then
// the named ones.
template <class Record>
FieldsSeen readRecord(const xml::Node& element, const RecordForm<Record>& form, Record& record) {
  xml::NodeList children = element.childNodes();
  readPositionalFields(children, form.positional(), record);
  return readNamedFields(children, form.named(), record);
}

// A new element |name| with one child per field of |form| the record has,
// not attached anywhere: the writers that hand an element to their caller.
// Its children are built in place below it.
template <class Record>
xml::Node writeRecord(const xml::Document& document, std::string_view name,
                      const RecordForm<Record>& form, const Record& record) {
  xml::Node element = document.createElement(name);
  appendFields(element, form.fields, record);
  return element;
}

// The element of |field| for |record|, built below a new element of
// |document| that is attached nowhere: for tools that compare documents
// field by field.
template <class Record>
xml::Node writeField(const xml::Document& document, const Field<Record>& field,
                     const Record& record) {
  const xml::Node holder = document.createElement(field.name.view());
  field.append(holder, field.name, record);
  return holder.firstChild();
}

// The same built in place as the last child of |parent|.
template <class Record>
xml::Node appendRecord(const xml::Node& parent, xml::ElementName name,
                       const RecordForm<Record>& form, const Record& record) {
  xml::Node element = parent.appendElement(name);
  appendFields(element, form.fields, record);
  return element;
}

// --- Codecs of records, fixed slots and lists ----------------------------

// A record read and written by its form.
template <const auto& kForm>
struct Nested {
  template <class Record>
  static void read(const xml::Node& node, Record& record) {
    readRecord(node, kForm, record);
  }
  template <class Record>
  static void append(const xml::Node& parent, xml::ElementName name, const Record& record) {
    appendRecord(parent, name, kForm, record);
  }
};

// A value read and written by its own reader and in-place writer (those of
// the I/O classes); a writer that takes no name names the element itself.
template <auto Read, auto Append>
struct Entry {
  template <class T>
  static void read(const xml::Node& node, T& value) {
    Read(node, value);
  }
  template <class T>
  static void append(const xml::Node& parent, xml::ElementName name, const T& value) {
    if constexpr (requires { Append(parent, name, value); }) {
      Append(parent, name, value);
    } else {
      Append(parent, value);
    }
  }
};

// The children of a slot or list element.
struct Items {
  // The name every item is written with (records name their own element).
  xml::ElementName name = {};
  // The writer appends the item's position to the name ("value0", ...).
  bool indexed = false;
  // The reader takes only children named exactly |name|, skipping others;
  // otherwise every child node is an item, whatever its name.
  bool byName = false;
  // The reader replaces the list rather than appending to it.
  bool replace = false;
  // More items than this fail the read (document_limits.h); |what| names
  // them in the message.
  int limit = INT_MAX;
  std::string_view what = {};
  // When set, the failure of an item is raised as an ElementError naming
  // the item under this path, with the failure nested inside.
  std::string_view tracePath = {};
  // The element name the entries are written with, when they name their
  // own element: a failing item of another name is reported as an element
  // out of place rather than as a broken entry.
  std::string_view entry = {};
};

// Every child node is an item, whatever its name.
inline constexpr Items kEveryChild{};
inline constexpr Items kValueItems{.name = "value"};
inline constexpr Items kIndexedValueItems{.name = "value", .indexed = true};

// The name item |position| of |items| is written with; |buffer| holds it
// when it is numbered.
xml::ElementName itemName(const Items& items, std::size_t position, std::string& buffer);

// The failure of the element at path() ("/DeviceSeries/aMediaInfoList/
// MediaInfo[2]"); the error that ended its reading is nested inside, unless
// reason() tells what is wrong with the element itself. place() is where
// the element starts when its document collects findings (line 0 when
// unknown).
class ElementError : public std::runtime_error {
 public:
  explicit ElementError(const std::string& path, const xml::Node& element = {},
                        std::string reason = {});
  const char* path() const { return what(); }
  const std::string& reason() const { return reason_; }
  const xml::Finding& place() const { return place_; }

 private:
  std::string reason_;
  xml::Finding place_;
};

// Raises the exception being handled nested in an ElementError that names
// the item |item| at |position| (from 1) of |list| under |parentPath|. An
// item not named |entry| (when given) is reported as out of place instead.
[[noreturn]] void rethrowInItem(std::string_view parentPath, const xml::Node& list,
                                const xml::Node& item, int position, std::string_view entry = {});

// A fixed array, one child per slot in slot order: the reader takes the
// first N child nodes whatever their names and ignores further ones.
template <class ItemCodec, const Items& kItems>
struct Slots {
  template <class T, std::size_t N>
  static void read(const xml::Node& node, T (&slots)[N]) {
    xml::NodeList children = node.childNodes();
    for (T& slot : slots) ItemCodec::read(children.nextNode(), slot);
    if (!node.collectsFindings()) return;
    for (xml::Node extra = children.nextNode(); extra; extra = children.nextNode()) {
      if (extra.nodeType() != xml::NodeType::kElement) continue;
      extra.report("element <" + std::string(extra.nodeName()) + "> skipped: only " +
                   std::to_string(N) + " slots");
    }
  }
  template <class T, std::size_t N>
  static void append(const xml::Node& parent, xml::ElementName name, const T (&slots)[N]) {
    const xml::Node element = parent.appendElement(name);
    std::string buffer;
    for (std::size_t i = 0; i < N; ++i) {
      ItemCodec::append(element, itemName(kItems, i, buffer), slots[i]);
    }
  }
};

// The int slots of a model or mode, written as "value0" to "value23".
using IntSlots = Slots<Plain<int>, kIndexedValueItems>;

// A list, one child per entry: each item is read into a fresh value and
// appended.
template <class ItemCodec, const Items& kItems>
struct List {
  template <class T>
  static void read(const xml::Node& node, GrowableArray<T>& list) {
    if (kItems.replace) list.clear();
    xml::NodeList children = node.childNodes();
    int position = 0;
    for (xml::Node child = children.nextNode(); child; child = children.nextNode()) {
      ++position;
      if (kItems.byName && child.nodeName() != kItems.name.view()) {
        if (child.nodeType() == xml::NodeType::kElement) {
          child.report("element <" + std::string(child.nodeName()) + "> skipped: not <" +
                       std::string(kItems.name.view()) + ">");
        }
        continue;
      }
      T item{};
      try {
        requireAtMost(list.size() + 1, kItems.limit, kItems.what);
        ItemCodec::read(child, item);
      } catch (...) {
        if (kItems.tracePath.empty()) throw;
        rethrowInItem(kItems.tracePath, node, child, position, kItems.entry);
      }
      list.add(item);
    }
  }
  // Appends one child per entry to |element|.
  template <class T>
  static void fill(const xml::Node& element, const GrowableArray<T>& list) {
    std::string buffer;
    for (int i = 0; i < list.size(); ++i) {
      ItemCodec::append(element, itemName(kItems, static_cast<std::size_t>(i), buffer), list[i]);
    }
  }
  template <class T>
  static void append(const xml::Node& parent, xml::ElementName name, const GrowableArray<T>& list) {
    fill(parent.appendElement(name), list);
  }
};

// A list of records read and written by their own reader and writer.
template <auto Read, auto Append, const Items& kItems = kEveryChild>
using Entries = List<Entry<Read, Append>, kItems>;

}  // namespace devseries
