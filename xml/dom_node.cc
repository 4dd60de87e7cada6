// Nodes, node lists, attribute maps and attributes of the DOM.
#include <algorithm>
#include <cstring>
#include <string>

#include "xml/com_error.h"
#include "xml/dom.h"
#include "xml/dom_internal.h"

namespace xml {
namespace {

bool isText(pugi::xml_node node) {
  return node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata;
}

// The text below |root| in document order, walked without recursion. The
// holder of unattached nodes is skipped: it is no part of the document.
std::string descendantText(pugi::xml_node root, pugi::xml_node holder) {
  pugi::xml_node first = root.first_child();
  if (first && !first.next_sibling() && isText(first)) return first.value();

  // Two passes so that the result is allocated once at its final size.
  std::size_t size = 0;
  std::string text;
  for (int pass = 0; pass < 2; ++pass) {
    if (pass == 1) text.reserve(size);
    pugi::xml_node node = first;
    while (node) {
      if (isText(node)) {
        if (pass == 0) {
          size += std::strlen(node.value());
        } else {
          text += node.value();
        }
      }
      if (node.first_child() && node != holder) {
        node = node.first_child();
        continue;
      }
      while (node != root && !node.next_sibling()) node = node.parent();
      if (node == root) break;
      node = node.next_sibling();
    }
  }
  return text;
}

// |text| up to its first zero byte.
std::string_view untilZero(std::string_view text) {
  return text.substr(0, std::min(text.size(), text.find('\0')));
}

std::string nameString(std::string_view name) {
  if (!detail::isWritableName(name)) throw _com_error(kEFail);
  return std::string(name);
}

}  // namespace

ElementName ElementName::checked(const std::string& name) {
  // A writable name holds no zero byte, so its own one ends it.
  if (!detail::isWritableName(name)) throw _com_error(kEFail);
  ElementName checkedName;
  checkedName.text_ = name;
  return checkedName;
}

void Node::requireNonNull() const {
  if (isNull()) throw _com_error(kEPointer);
}

NodeType Node::nodeType() const {
  requireNonNull();
  switch (node_.type()) {
    case pugi::node_document:
      return NodeType::kDocument;
    case pugi::node_element:
      return NodeType::kElement;
    case pugi::node_pcdata:
      return NodeType::kText;
    case pugi::node_cdata:
      return NodeType::kCDataSection;
    case pugi::node_comment:
      return NodeType::kComment;
    case pugi::node_pi:
    case pugi::node_declaration:
      return NodeType::kProcessingInstruction;
    case pugi::node_doctype:
      return NodeType::kDocumentType;
    default:
      return NodeType::kInvalid;
  }
}

std::string_view Node::nodeName() const {
  requireNonNull();
  switch (node_.type()) {
    case pugi::node_document:
      return "#document";
    case pugi::node_pcdata:
      return "#text";
    case pugi::node_cdata:
      return "#cdata-section";
    case pugi::node_comment:
      return "#comment";
    case pugi::node_declaration:
      return "xml";
    default:
      return node_.name();
  }
}

NodeList Node::childNodes() const {
  requireNonNull();
  return NodeList(tree_, node_);
}

Node Node::firstChild() const {
  requireNonNull();
  pugi::xml_node child = node_.first_child();
  if (!child || child == tree_->holder) return Node();
  return Node(tree_, child);
}

Node Node::nextSibling() const {
  requireNonNull();
  // An unattached node has no siblings, whatever else waits in the holder.
  if (tree_->holder && node_.parent() == tree_->holder) return Node();
  pugi::xml_node sibling = node_.next_sibling();
  if (!sibling || sibling == tree_->holder) return Node();
  return Node(tree_, sibling);
}

NamedNodeMap Node::attributes() const {
  requireNonNull();
  if (node_.type() != pugi::node_element) return NamedNodeMap();
  return NamedNodeMap(tree_, node_);
}

Node Node::appendChild(const Node& newChild) const { return insertBefore(newChild, Node()); }

Node Node::insertBefore(const Node& newChild, const Node& refChild) const {
  requireNonNull();
  newChild.requireNonNull();
  if (refChild && refChild.node_.parent() != node_) throw _com_error(kEInvalidArg);
  pugi::xml_node before = refChild.node_;
  if (!before && node_.type() == pugi::node_document) before = tree_->holder;
  return attach(newChild, before);
}

Node Node::attach(const Node& newChild, pugi::xml_node before) const {
  if (newChild.tree_ != tree_) throw _com_error(kEFail);
  pugi::xml_node child = newChild.node_;
  bool topLevel = node_.type() == pugi::node_document;
  if (detail::Tree::isDeclaration(child) && !topLevel) throw _com_error(kEFail);
  if (topLevel) {
    if (isText(child)) throw _com_error(kEFail);
    if (child.type() == pugi::node_element) {
      for (pugi::xml_node n = node_.first_child(); n && n != tree_->holder; n = n.next_sibling()) {
        if (n.type() == pugi::node_element && n != child) throw _com_error(kEFail);
      }
    }
  }
  pugi::xml_node parent = node_;  // handles are const; the node they reach is not
  pugi::xml_node moved =
      before ? parent.insert_move_before(child, before) : parent.append_move(child);
  if (!moved) throw _com_error(kEFail);
  return newChild;
}

std::string Node::nodeTypedValue() const {
  requireNonNull();
  switch (node_.type()) {
    case pugi::node_element:
    case pugi::node_document:
      return descendantText(node_, tree_->holder);
    case pugi::node_declaration: {
      std::string text;
      for (pugi::xml_attribute a = node_.first_attribute(); a; a = a.next_attribute()) {
        if (!text.empty()) text += ' ';
        text.append(a.name()).append("=\"").append(a.value()).append("\"");
      }
      return text;
    }
    default:
      return node_.value();
  }
}

void Node::putNodeTypedValue(std::string_view text) const {
  requireNonNull();
  text = untilZero(text);
  pugi::xml_node node = node_;
  switch (node.type()) {
    case pugi::node_element: {
      // Replaced children move to the holder rather than being freed, so
      // that handles to them stay valid.
      while (pugi::xml_node child = node.first_child()) {
        if (!tree_->holderNode().append_move(child)) node.remove_child(child);
      }
      if (!text.empty() &&
          !node.append_child(pugi::node_pcdata).set_value(text.data(), text.size())) {
        throw _com_error(kEOutOfMemory);
      }
      return;
    }
    case pugi::node_document:
    case pugi::node_declaration:
      throw _com_error(kEFail);
    default:
      if (!node.set_value(text.data(), text.size())) throw _com_error(kEOutOfMemory);
  }
}

Node Node::appendElement(ElementName name) const {
  requireNonNull();
  if (node_.type() != pugi::node_element || name.empty()) throw _com_error(kEFail);
  pugi::xml_node parent = node_;
  pugi::xml_node element = parent.append_child(pugi::node_element);
  if (!element) throw _com_error(kEOutOfMemory);
  if (!element.set_name(name.c_str())) {
    parent.remove_child(element);
    throw _com_error(kEOutOfMemory);
  }
  return Node(tree_, element);
}

Node Node::appendTextElement(ElementName name, std::string_view text) const {
  Node element = appendElement(name);
  text = untilZero(text);
  if (text.empty()) return element;
  pugi::xml_node own = element.node_;
  if (!own.append_child(pugi::node_pcdata).set_value(text.data(), text.size())) {
    // No handle to the new element exists yet: it goes, leaving nothing.
    pugi::xml_node(node_).remove_child(own);
    throw _com_error(kEOutOfMemory);
  }
  return element;
}

void Node::setAttribute(std::string_view name, std::string_view value) const {
  if (isNull() || node_.type() != pugi::node_element) throw _com_error(kEPointer);
  value = untilZero(value);
  pugi::xml_node element = node_;
  pugi::xml_attribute attribute;
  for (pugi::xml_attribute a = element.first_attribute(); a; a = a.next_attribute()) {
    if (name == a.name()) {
      attribute = a;
      break;
    }
  }
  if (!attribute) attribute = element.append_attribute(nameString(name).c_str());
  if (!attribute || !attribute.set_value(value.data(), value.size())) {
    throw _com_error(kEOutOfMemory);
  }
}

void Node::setAttributeNode(const Attribute& attribute) const {
  attribute.requireNonNull();
  if (attribute.tree_ != tree_) throw _com_error(kEFail);
  setAttribute(attribute.nodeName(), attribute.nodeTypedValue());
}

bool Node::collectsFindings() const { return node_ && tree_->findings != nullptr; }

void Node::report(std::string message) const {
  if (!collectsFindings()) return;
  Finding finding;
  finding.message = std::move(message);
  place(finding.line, finding.column);
  tree_->findings->push_back(std::move(finding));
}

bool Node::place(int& line, int& column) const {
  if (!collectsFindings()) return false;
  detail::Tree& tree = *tree_;
  const std::ptrdiff_t offset = node_.offset_debug();
  if (offset <= 0 || static_cast<std::size_t>(offset) > tree.original.size()) return false;
  if (tree.lineStarts.empty()) {
    const std::string_view text = tree.original;
    tree.lineStarts.push_back(0);
    for (std::size_t i = 0; i < text.size(); ++i) {
      const bool crlf = text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n';
      if ((text[i] == '\r' && !crlf) || text[i] == '\n') tree.lineStarts.push_back(i + 1);
    }
  }
  // An element's offset is that of its name; it starts at the '<' before.
  const bool named = node_.type() == pugi::node_element || node_.type() == pugi::node_pi ||
                     node_.type() == pugi::node_declaration;
  const std::size_t at = static_cast<std::size_t>(offset) - (named ? 1 : 0);
  const auto start = std::upper_bound(tree.lineStarts.begin(), tree.lineStarts.end(), at) - 1;
  line = static_cast<int>(start - tree.lineStarts.begin()) + 1;
  column = 1;
  for (std::size_t i = *start; i < at; ++i) {
    // Columns count characters: UTF-8 continuation bytes add none.
    if ((static_cast<unsigned char>(tree.original[i]) & 0xC0) != 0x80) ++column;
  }
  return true;
}

Node NodeList::parent() const {
  if (isNull()) return Node();
  return Node(tree_, parent_);
}

Node NodeList::nextNode() {
  if (isNull()) throw _com_error(kEPointer);
  // A node that has left the list (its parent's children were replaced)
  // ends the walk rather than leading it elsewhere.
  if (current_ && current_.parent() != parent_) return Node();
  pugi::xml_node next = current_ ? current_.next_sibling() : parent_.first_child();
  if (!next || next == tree_->holder) return Node();
  current_ = next;
  return Node(tree_, next);
}

Attribute NamedNodeMap::getNamedItem(std::string_view name) const {
  if (isNull()) throw _com_error(kEPointer);
  for (pugi::xml_attribute a = element_.first_attribute(); a; a = a.next_attribute()) {
    if (name == a.name()) {
      Attribute found;
      found.tree_ = tree_;
      found.attribute_ = a;
      return found;
    }
  }
  return Attribute();
}

void Attribute::requireNonNull() const {
  if (isNull()) throw _com_error(kEPointer);
}

NodeType Attribute::nodeType() const {
  requireNonNull();
  return NodeType::kAttribute;
}

std::string_view Attribute::nodeName() const {
  requireNonNull();
  return detached_ ? std::string_view(detached_->name) : std::string_view(attribute_.name());
}

std::string Attribute::nodeTypedValue() const {
  requireNonNull();
  return detached_ ? detached_->value : std::string(attribute_.value());
}

void Attribute::putNodeTypedValue(std::string_view text) const {
  requireNonNull();
  text = untilZero(text);
  if (detached_) {
    detached_->value.assign(text);
  } else if (pugi::xml_attribute attribute = attribute_;
             !attribute.set_value(text.data(), text.size())) {
    throw _com_error(kEOutOfMemory);
  }
}

}  // namespace xml
