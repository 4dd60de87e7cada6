// The DOM document: creation of nodes, loading and saving.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "platform/file_io.h"
#include "xml/com_error.h"
#include "xml/document_encoding.h"
#include "xml/dom.h"
#include "xml/dom_internal.h"
#include "xml/save_format.h"

namespace xml {
namespace {

// Comments and processing instructions are kept as nodes; whitespace-only
// text is dropped (pugixml's default); references are left for
// checkAndResolveReferences; the DOCTYPE is kept as text for the check,
// which looks at it and removes it (pugixml never reads or expands it). The
// fragment mode lets top-level text through to the check, which refuses
// it, instead of dropping it silently.
constexpr unsigned int kParseOptions =
    (pugi::parse_default & ~pugi::parse_escapes) | pugi::parse_comments | pugi::parse_pi |
    pugi::parse_declaration | pugi::parse_doctype | pugi::parse_fragment;

constexpr std::string_view kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";

// The first read of a head load; each further read doubles what is held.
constexpr std::uint32_t kHeadChunk = 4 * 1024;

// Saved documents reach the file in blocks of this size.
constexpr std::size_t kSaveBlock = 256 * 1024;

class StringWriter : public pugi::xml_writer {
 public:
  explicit StringWriter(std::string& out) : out_(out) {}
  void write(const void* data, std::size_t size) override {
    out_.append(static_cast<const char*>(data), size);
  }

 private:
  std::string& out_;
};

// Writes what pugixml serialises to |file| in blocks of kSaveBlock bytes.
// The first failure is kept and ends the writing; finish() writes the rest.
class FileWriter : public pugi::xml_writer {
 public:
  explicit FileWriter(platform::File& file) : file_(file) { block_.reserve(kSaveBlock); }

  void write(const void* data, std::size_t size) override {
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0 && error_ == platform::kOk) {
      const std::size_t part = std::min(size, kSaveBlock - block_.size());
      block_.append(bytes, part);
      bytes += part;
      size -= part;
      if (block_.size() == kSaveBlock) writeBlock();
    }
  }

  platform::Error finish() {
    if (!block_.empty() && error_ == platform::kOk) writeBlock();
    return error_;
  }

 private:
  void writeBlock() {
    const auto size = static_cast<std::uint32_t>(block_.size());
    std::uint32_t written = 0;
    error_ = file_.write(block_.data(), size, &written);
    if (error_ == platform::kOk && written != size) error_ = platform::kWriteFault;
    block_.clear();
  }

  platform::File& file_;
  std::string block_;
  platform::Error error_ = platform::kOk;
};

// The saved form of |tree|: the declaration, then every top-level node
// other than a declaration and the holder of unattached nodes.
void print(const detail::Tree& tree, pugi::xml_writer& writer) {
  writer.write(kDeclaration.data(), kDeclaration.size());
  for (pugi::xml_node node = tree.document.first_child(); node; node = node.next_sibling()) {
    if (node == tree.holder || detail::Tree::isDeclaration(node)) continue;
    node.print(writer, kSaveIndent, kSaveFlags, kSaveEncoding, 0);
  }
}

// Appends up to |wanted| bytes of |file| to |content|, fewer only at the end
// of the file, which sets |atEnd|.
platform::Error readMore(platform::File& file, std::size_t wanted, std::string& content,
                         bool& atEnd) {
  const std::size_t used = content.size();
  content.resize(used + wanted);
  std::size_t got = 0;
  const platform::Error error = platform::readFull(file, content.data() + used, wanted, &got);
  content.resize(used + got);
  atEnd = got < wanted;
  return error;
}

}  // namespace

namespace detail {

TreeRef TreeRef::make() {
  TreeRef ref;
  ref.counted_ = new Tree;
  ref.counted_->references = 1;
  return ref;
}

void TreeRef::destroy(Counted* counted) { delete static_cast<Tree*>(counted); }

}  // namespace detail

struct Document::State {
  detail::TreeRef tree = detail::TreeRef::make();
  LoadError loadError;
  std::vector<Finding>* findings = nullptr;
};

void Document::collectFindings(std::vector<Finding>* findings) const {
  requireNonNull();
  state_->findings = findings;
}

void Document::requireNonNull() const {
  if (isNull()) throw _com_error(kEPointer);
}

Document Document::create() {
  Document document;
  document.state_ = std::make_shared<State>();
  return document;
}

Node Document::asNode() const {
  requireNonNull();
  return Node(state_->tree, state_->tree->document);
}

Node Document::createElement(std::string_view name) const {
  requireNonNull();
  if (!detail::isWritableName(name)) throw _com_error(kEFail);
  detail::Tree& tree = *state_->tree;
  pugi::xml_node element = tree.holderNode().append_child(pugi::node_element);
  // pugixml takes a name that ends with a zero byte; short names, the
  // usual ones, get it on the stack.
  char buffer[64];
  bool named = false;
  if (name.size() < sizeof buffer) {
    std::memcpy(buffer, name.data(), name.size());
    buffer[name.size()] = '\0';
    named = element && element.set_name(buffer);
  } else {
    named = element && element.set_name(std::string(name).c_str());
  }
  if (!named) throw _com_error(kEOutOfMemory);
  return Node(state_->tree, element);
}

Node Document::createNode(NodeType type, std::string_view name,
                          std::string_view namespaceURI) const {
  requireNonNull();
  if (type != NodeType::kElement || !namespaceURI.empty()) throw _com_error(kEInvalidArg);
  return createElement(name);
}

Node Document::createProcessingInstruction(std::string_view target, std::string_view data) const {
  requireNonNull();
  if (!detail::isWritableName(target) || data.find("?>") != std::string_view::npos) {
    throw _com_error(kEFail);
  }
  detail::Tree& tree = *state_->tree;
  pugi::xml_node instruction = tree.holderNode().append_child(pugi::node_pi);
  data = data.substr(0, std::min(data.size(), data.find('\0')));
  if (!instruction || !instruction.set_name(std::string(target).c_str()) ||
      !instruction.set_value(data.data(), data.size())) {
    throw _com_error(kEOutOfMemory);
  }
  return Node(state_->tree, instruction);
}

Attribute Document::createAttribute(std::string_view name) const {
  requireNonNull();
  if (!detail::isWritableName(name)) throw _com_error(kEFail);
  Attribute attribute;
  attribute.tree_ = state_->tree;
  attribute.detached_ = std::make_shared<detail::DetachedAttribute>();
  attribute.detached_->name.assign(name);
  return attribute;
}

bool Document::dependsOnDtd() const {
  requireNonNull();
  return state_->tree->dependsOnDtd;
}

bool Document::parse(std::string text, bool isUtf8, const Refetch& original) const {
  auto tree = detail::TreeRef::make();
  LoadError& error = state_->loadError;
  error = LoadError();
  // Bytes that are not text in their encoding, or characters XML does not
  // allow, make a document that is not well-formed; pugixml would keep them
  // and a save would write a file no conforming reader accepts.
  if (!isUtf8 && !convertDocumentToUtf8(text)) {
    error.reason = "the bytes are not text in the document's encoding";
  } else if (const std::size_t bad = detail::findNonXmlCharacter(text); bad != std::string::npos) {
    error.reason = "a character XML does not allow";
    detail::locate(text, bad, error.line, error.column);
  } else {
    // pugixml rewrites the text it parses in place; a failure is located in
    // the text as it was, fetched again for that rare case.
    if (state_->findings != nullptr) {
      tree->findings = state_->findings;
      tree->original = text;
    }
    tree->source = std::move(text);
    pugi::xml_parse_result result = tree->document.load_buffer_inplace(
        tree->source.data(), tree->source.size(), kParseOptions, pugi::encoding_utf8);
    if (!result) {
      error.reason = result.description();
      detail::locate(original(), static_cast<std::size_t>(result.offset), error.line, error.column);
    } else if (!detail::checkAndResolveReferences(*tree)) {
      error.reason =
          "not well-formed: the declaration, top-level content, a name, a namespace, a comment, a "
          "duplicate attribute, '<' in an attribute value, \"]]>\" in text or a reference";
    }
  }
  const bool ok = error.reason.empty();
  // A failed parse leaves whatever pugixml built so far; the document is
  // left empty instead.
  state_->tree = ok ? std::move(tree) : detail::TreeRef::make();
  return ok;
}

void Document::failUnreadable(platform::Error error) const {
  state_->tree = detail::TreeRef::make();
  state_->loadError = LoadError();
  state_->loadError.reason = "cannot be read: ";
  state_->loadError.reason += platform::describeError(error);
  state_->loadError.unreadable = true;
}

bool Document::load(const std::string& path, platform::FileSystem& files) const {
  requireNonNull();
  std::string content;
  const platform::Error error = platform::readFileToString(files, path, &content);
  if (error != platform::kOk) {
    failUnreadable(error);
    return false;
  }
  return parse(std::move(content), false, [&]() -> std::string {
    std::string again;
    if (platform::readFileToString(files, path, &again) != platform::kOk ||
        !convertDocumentToUtf8(again))
      return "";
    return again;
  });
}

bool Document::loadHead(const std::string& path, platform::FileSystem& files) const {
  requireNonNull();
  std::unique_ptr<platform::File> file;
  platform::Error error = platform::openForReading(files, path, &file);
  std::string bytes;
  std::string text;
  bool atEnd = false;
  detail::Head head;
  while (error == platform::kOk && head.status == detail::Head::kIncomplete && !atEnd) {
    error = readMore(*file, std::max<std::size_t>(bytes.size(), kHeadChunk), bytes, atEnd);
    // A read that ends inside a character of a wider encoding converts once
    // more of the file is held.
    text = bytes;
    if (error == platform::kOk && convertDocumentToUtf8(text)) head = detail::findHead(text);
  }
  // Opened for reading only: a failed close loses nothing.
  if (file) (void)file->close();
  if (error != platform::kOk) {
    failUnreadable(error);
    return false;
  }
  if (head.status != detail::Head::kComplete) {
    state_->tree = detail::TreeRef::make();
    state_->loadError = LoadError();
    state_->loadError.reason = "no root element in the head of the document";
    return false;
  }
  text.resize(head.length);
  if (!head.rootIsEmpty) {
    const std::string rootName(head.rootName);
    text.append("</").append(rootName).append(">");
  }
  std::string copy = text;
  return parse(std::move(text), true, [&] { return copy; });
}

const LoadError& Document::loadError() const {
  requireNonNull();
  return state_->loadError;
}

bool Document::loadXML(std::string_view text) const {
  requireNonNull();
  return parse(std::string(text), false, [&] {
    std::string again(text);
    convertDocumentToUtf8(again);
    return again;
  });
}

std::string Document::xml() const {
  requireNonNull();
  const detail::Tree& tree = *state_->tree;
  std::string out;
  StringWriter writer(out);
  print(tree, writer);
  return out;
}

void Document::save(const std::string& path, platform::FileSystem& files,
                    platform::Disposition disposition) const {
  requireNonNull();
  const detail::Tree& tree = *state_->tree;
  bool hasElement = false;
  for (pugi::xml_node node = tree.document.first_child(); node; node = node.next_sibling()) {
    hasElement = hasElement || (node.type() == pugi::node_element && node != tree.holder);
  }
  if (!hasElement) throw _com_error(kEFail);

  std::unique_ptr<platform::File> file;
  platform::OpenOptions options;
  options.access = platform::Access::kWrite;
  options.disposition = disposition;
  options.followLinks = disposition != platform::Disposition::kCreateNew;
  platform::Error error = files.open(path, options, &file);
  if (error != platform::kOk) throw _com_error(hresultFromPlatformError(error));
  if (!file) throw _com_error(kEPointer);

  // Serialised straight to the file, never held whole in memory.
  FileWriter writer(*file);
  try {
    print(tree, writer);
  } catch (...) {
    // The partial document is removed below; its close result adds nothing.
    (void)file->close();
    // Best effort: the original failure is what the caller must see.
    (void)files.deleteFile(path);
    throw;
  }
  error = writer.finish();
  // A saved document is on stable storage before anyone renames it into
  // place, so a crash never leaves an empty or partial file under that name.
  if (error == platform::kOk) error = file->flush();
  platform::Error closeError = file->close();
  if (error == platform::kOk) error = closeError;
  if (error != platform::kOk) {
    // A truncated document would fail every later load; leave none behind.
    // Best effort: the write's own failure is what the caller must see.
    (void)files.deleteFile(path);
    throw _com_error(hresultFromPlatformError(error));
  }
}

}  // namespace xml
