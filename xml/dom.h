// The DOM the document readers and writers work on.
//
// A small document object model with exactly the operations the readers and
// writers need, built on pugixml. Its behaviour follows the MSXML DOM with its
// default settings wherever a caller relies on it:
//  - comments and processing instructions are nodes and take their place
//    among an element's children; whitespace-only text between elements is
//    not a node;
//  - the XML declaration of a loaded or created document appears as a
//    processing instruction named "xml";
//  - an element's typed value is the concatenation of all text below it;
//  - a document in any encoding document_encoding.h knows is converted to
//    UTF-8 first; it fails the load when its bytes are not text in that
//    encoding (or contradict the encoding it declares) or hold a character
//    XML does not allow (a control byte, U+FFFE, U+FFFF), also when written
//    as a character reference;
//  - well-formed means as for a conforming parser of XML 1.0 that knows
//    Namespaces in XML 1.0 (as MSXML does): the XML declaration, names
//    (XML 1.0 fifth edition), comments, "]]>" in text and namespace prefixes
//    are checked besides what the parser itself checks;
//  - DTDs are never read and entities never expanded. Without a DTD the
//    only references a document may use are the five predefined entities
//    and character references; anything else, like any document that is
//    not well-formed, fails the load. A document whose DTD declares
//    anything or names an external subset loads, keeps references to other
//    entities as they stand, and says so through dependsOnDtd(): it is XML
//    whose content cannot be known, and readers refuse it;
//  - nothing outside the loaded file is ever read.
//
// Documents, nodes, node lists, attribute maps and attributes are handles:
// cheap to copy, nullable, and each keeps the tree it points into alive, so
// a node stays valid for as long as any handle to it exists. No node is ever
// freed while its tree lives (children replaced by putNodeTypedValue move to
// a hidden holder). Copying a Document handle shares the document.
//
// Errors follow the COM convention of com_error.h: calling an operation on a
// null handle raises `_com_error` with kEPointer; an operation the tree
// refuses raises kEFail; operations that find nothing return null handles.
// Handles are not thread-safe; a document is used by one thread at a time.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <pugixml.hpp>

#include "platform/file_system.h"
#include "xml/element_name.h"

namespace xml {

// Node types, numbered as in the MSXML DOM.
enum class NodeType : int {
  kInvalid = 0,
  kElement = 1,
  kAttribute = 2,
  kText = 3,
  kCDataSection = 4,
  kProcessingInstruction = 7,
  kComment = 8,
  kDocument = 9,
  kDocumentType = 10,
};

namespace detail {
struct Tree;
struct DetachedAttribute;

// What makes a tree counted: the number of handles that keep it alive.
struct Counted {
  std::size_t references = 0;
};

// A handle's share of a tree. Handles are used by one thread at a time, so
// the count is a plain integer: copying a handle costs no atomic operation.
class TreeRef {
 public:
  TreeRef() = default;
  // A new, empty tree.
  static TreeRef make();
  TreeRef(const TreeRef& other) : counted_(other.counted_) {
    if (counted_ != nullptr) ++counted_->references;
  }
  TreeRef(TreeRef&& other) noexcept : counted_(other.counted_) { other.counted_ = nullptr; }
  TreeRef& operator=(TreeRef other) noexcept {
    std::swap(counted_, other.counted_);
    return *this;
  }
  ~TreeRef() {
    if (counted_ != nullptr && --counted_->references == 0) destroy(counted_);
  }

  bool operator==(const TreeRef& other) const { return counted_ == other.counted_; }
  explicit operator bool() const { return counted_ != nullptr; }
  // Defined where the tree is known (dom_internal.h).
  Tree* operator->() const;
  Tree& operator*() const;

 private:
  static void destroy(Counted* counted);
  Counted* counted_ = nullptr;
};
}  // namespace detail

class Attribute;
class NamedNodeMap;
class NodeList;

// Something a lenient reader passed over or changed, at the start tag of
// the element concerned (line and column from 1, as in LoadError; 0 when
// the node has no place in the loaded text).
struct Finding {
  int line = 0;
  int column = 0;
  std::string message;
};

class Node {
 public:
  Node() = default;  // null

  bool isNull() const { return !node_; }
  explicit operator bool() const { return !isNull(); }

  // Identity: two handles to the same node compare equal.
  bool operator==(const Node& other) const { return node_ == other.node_; }

  NodeType nodeType() const;

  // The tag name of an element, the target of a processing instruction
  // ("xml" for the declaration), "#text", "#cdata-section", "#comment" or
  // "#document". The view stays valid while the node's tree lives.
  std::string_view nodeName() const;

  // The children in document order (a live list read with nextNode).
  NodeList childNodes() const;
  Node firstChild() const;
  Node nextSibling() const;

  // The attribute map of an element; a null map for any other node.
  NamedNodeMap attributes() const;

  // Attaches |newChild| as the last child, moving it from wherever it was;
  // returns it. |newChild| must belong to the same document. Raises kEFail
  // when the tree refuses the move (into itself or a descendant, a second
  // element or text at top level, a declaration below the top level).
  Node appendChild(const Node& newChild) const;

  // Attaches |newChild| before |refChild|, a child of this node; a null
  // |refChild| appends. Returns |newChild|.
  Node insertBefore(const Node& newChild, const Node& refChild) const;

  // The node's typed value as text. For an element or the document: the
  // concatenation of the text and CDATA below it in document order; for
  // any other node: its own text.
  std::string nodeTypedValue() const;

  // Builds a new element |name| in place as the last child of this element
  // and returns it: the same node createElement and appendChild would give,
  // without the move. Raises kEFail on any other node and for an empty
  // name.
  Node appendElement(ElementName name) const;

  // The same with |text| as its typed value (putNodeTypedValue): one text
  // child, or none when |text| is empty.
  Node appendTextElement(ElementName name, std::string_view text) const;

  // Sets the typed value. On an element: an empty text leaves it without
  // any child, any other text replaces all children by one text node. On
  // another node: its text. Text ends at its first zero byte, which XML
  // cannot hold.
  void putNodeTypedValue(std::string_view text) const;

  // Adds the attribute or replaces its value (elements only, else kEPointer
  // as the element interface is null).
  void setAttribute(std::string_view name, std::string_view value) const;

  // Sets an attribute made by Document::createAttribute on this element:
  // its name and value are copied in, replacing an attribute of that name.
  void setAttributeNode(const Attribute& attribute) const;

  // True when the document this node was loaded into collects findings
  // (Document::collectFindings); false for a null node.
  bool collectsFindings() const;
  // Adds a finding with |message| at this node's place when the document
  // collects them; does nothing otherwise.
  void report(std::string message) const;
  // Sets |line| and |column| to where the node starts in the loaded text
  // when its document collects findings; false (leaving them) otherwise.
  bool place(int& line, int& column) const;

 private:
  friend class Document;
  friend class NodeList;
  Node(detail::TreeRef tree, pugi::xml_node node) : tree_(std::move(tree)), node_(node) {}
  void requireNonNull() const;
  Node attach(const Node& newChild, pugi::xml_node before) const;

  detail::TreeRef tree_;
  pugi::xml_node node_;
};

// A live list of the children of one node, walked with nextNode in O(1) per
// step. Children appended after the walk reached the end are returned by the
// next call.
class NodeList {
 public:
  NodeList() = default;  // null

  bool isNull() const { return !parent_; }

  // The next child, or a null node at the end.
  Node nextNode();
  // The node whose children this list walks.
  Node parent() const;

 private:
  friend class Node;
  NodeList(detail::TreeRef tree, pugi::xml_node parent) : tree_(std::move(tree)), parent_(parent) {}

  detail::TreeRef tree_;
  pugi::xml_node parent_;
  pugi::xml_node current_;  // the node returned last; null before the first
};

// An attribute: either attached to an element or made by createAttribute
// and not yet set on one.
class Attribute {
 public:
  Attribute() = default;  // null

  bool isNull() const { return !attribute_ && !detached_; }
  explicit operator bool() const { return !isNull(); }

  NodeType nodeType() const;
  std::string_view nodeName() const;
  std::string nodeTypedValue() const;
  void putNodeTypedValue(std::string_view text) const;

 private:
  friend class Node;
  friend class NamedNodeMap;
  friend class Document;
  void requireNonNull() const;

  detail::TreeRef tree_;
  pugi::xml_attribute attribute_;
  std::shared_ptr<detail::DetachedAttribute> detached_;
};

// The attributes of one element.
class NamedNodeMap {
 public:
  NamedNodeMap() = default;  // null

  bool isNull() const { return !element_; }
  explicit operator bool() const { return !isNull(); }

  // The attribute with exactly this name (no namespace), or null.
  Attribute getNamedItem(std::string_view name) const;

 private:
  friend class Node;
  NamedNodeMap(detail::TreeRef tree, pugi::xml_node element)
      : tree_(std::move(tree)), element_(element) {}

  detail::TreeRef tree_;
  pugi::xml_node element_;
};

// Why a load failed, for people. |line| and |column| (both from 1) tell
// where the parser stopped, counted in the document's text after its
// conversion to UTF-8 (document_encoding.h): columns count characters, and a
// line ends at a line feed, a carriage return or the pair of both. They are
// 0 when the failure has no place in the text (an unreadable file, bytes
// that are not text in their encoding, a rule checked after parsing).
struct LoadError {
  std::string reason;  // empty after a successful load
  int line = 0;
  int column = 0;
  // True when the file itself could not be read (the system refused or
  // failed the open or a read): nothing is known of its content.
  bool unreadable = false;
};

class Document {
 public:
  Document() = default;  // null

  // A new, empty document.
  static Document create();

  bool isNull() const { return !state_; }
  explicit operator bool() const { return !isNull(); }
  bool operator==(const Document& other) const { return state_ == other.state_; }

  // The document as a node (type kDocument): its top-level children, and
  // appendChild / insertBefore at top level.
  Node asNode() const;
  NodeList childNodes() const { return asNode().childNodes(); }
  Node firstChild() const { return asNode().firstChild(); }
  Node appendChild(const Node& newChild) const { return asNode().appendChild(newChild); }
  Node insertBefore(const Node& newChild, const Node& refChild) const {
    return asNode().insertBefore(newChild, refChild);
  }

  // New nodes of this document, not attached anywhere until the caller
  // appends them. Names must be non-empty and free of white space and
  // markup characters (else kEFail).
  Node createElement(std::string_view name) const;
  // Only kElement with an empty namespace URI is supported (else
  // kEInvalidArg).
  Node createNode(NodeType type, std::string_view name, std::string_view namespaceURI) const;
  // A processing instruction; with the target "xml" it stands for the XML
  // declaration and may only be placed at top level.
  Node createProcessingInstruction(std::string_view target, std::string_view data) const;
  Attribute createAttribute(std::string_view name) const;

  // Loads the file at |path| synchronously through |files|, replacing the
  // content. Returns true when the file was read and is a well-formed
  // document; otherwise the document is left empty. Handles into the
  // previous content stay valid but no longer belong to the document.
  bool load(const std::string& path, platform::FileSystem& files) const;

  // The same from text held in memory.
  bool loadXML(std::string_view text) const;

  // Loads only the head of the file at |path|: its prolog and the start
  // tag of its root element, read as if the root were empty; the rest of
  // the file is never read. For a document that loads, the result is that
  // document without the root's content. Fails like load, and also when the
  // prolog holds a document type that declares anything (dependsOnDtd).
  bool loadHead(const std::string& path, platform::FileSystem& files) const;

  // From the next load or loadXML on, readers report into |findings| what
  // they pass over in this document (Node::report); null, the default,
  // collects nothing and costs nothing. Collecting keeps a copy of the
  // loaded text, from which the findings are located.
  void collectFindings(std::vector<Finding>* findings) const;

  // Why the last load or loadXML of this document failed; an empty reason
  // after a successful one or before any.
  const LoadError& loadError() const;

  // True when the loaded document has a DTD with declarations or an
  // external subset, which is never read: its entities and attribute
  // defaults are unknown, so what the document says cannot be known.
  bool dependsOnDtd() const;

  // The document in its saved form (save_format.h): the declaration
  // <?xml version="1.0" encoding="UTF-8"?>, then every top-level node
  // other than a declaration.
  std::string xml() const;

  // Writes xml() to |path| through |files| (create always, writes of up to
  // 256 KB, flush, close). Raises `_com_error` with the HRESULT of the platform
  // error when any step fails, after deleting a partly written file, and
  // kEFail for a document without an element, which could not be loaded
  // again. With |disposition| kCreateNew the file is created exclusively,
  // never through a link: anything at |path| fails the save untouched.
  void save(const std::string& path, platform::FileSystem& files,
            platform::Disposition disposition = platform::Disposition::kCreateAlways) const;

 private:
  struct State;
  void requireNonNull() const;
  // The text of the document as it was before a parse, for locating a
  // failure; fetched only when a parse fails.
  using Refetch = std::function<std::string()>;
  // Parses |text|, converted to UTF-8 first unless |isUtf8|.
  bool parse(std::string text, bool isUtf8, const Refetch& original) const;
  void failUnreadable(platform::Error error) const;

  std::shared_ptr<State> state_;
};

}  // namespace xml
