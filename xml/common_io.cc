#include "xml/common_io.h"

#include <stdexcept>
#include <utility>

#include "xml/app_title.h"
#include "xml/com_error.h"
#include "xml/language_table.h"

namespace xml {
namespace {

constexpr std::string_view kVersionAttribute = "strVersion";
constexpr const char* kDtdMessage = "the document depends on a DTD, which is never read";

}  // namespace

ICommonIO::VersionMismatchException::VersionMismatchException(const FormatVersion& expectedVersion,
                                                              const FormatVersion& foundVersion)
    : expected(expectedVersion),
      found(foundVersion),
      message_("document format " + foundVersion.toString() + " differs from " +
               expectedVersion.toString()) {}

ICommonIO::ICommonIO(std::string fileName, platform::Env& env)
    : fileName_(std::move(fileName)), creator_(env) {
  fillLanguageTable(env.resources());
}

ICommonIO::ICommonIO(std::string fileName, const MSXMLDOMCreator& creator)
    : fileName_(std::move(fileName)), creator_(creator) {}

ICommonIO::~ICommonIO() = default;

bool ICommonIO::loadDocument() {
  try {
    if (creator_.loadFailed()) creator_ = MSXMLDOMCreator(creator_.env());
    if (!creator_.getDocument().isNull()) return true;
    creator_.load(fileName_);
    return !creator_.getDocument().isNull() && !creator_.loadFailed();
  } catch (...) {
    return false;
  }
}

Node ICommonIO::createRootElement(const Document& document) const {
  Node root = document.createElement(getRootElementName());
  FormatVersion version;
  root.setAttribute(kVersionAttribute, getVersion(version).toString());
  return root;
}

Node ICommonIO::findRootElement(const Document& document) {
  Document target = document.isNull() ? creator_.getDocument() : document;
  if (target.isNull()) throw _com_error(kEPointer);
  // Such a document may take entity texts and attribute defaults from
  // declarations that are never read, so its content cannot be known.
  if (target.dependsOnDtd()) throw std::runtime_error(kDtdMessage);

  const std::string rootName = getRootElementName();
  NodeList children = target.childNodes();
  for (Node node = children.nextNode(); node; node = children.nextNode()) {
    if (node.nodeType() != NodeType::kElement || node.nodeName() != rootName) continue;

    Attribute versionAttribute = node.attributes().getNamedItem(kVersionAttribute);
    if (versionAttribute.isNull()) {
      throw std::runtime_error(rootName + "IO: Lacking version attribute");
    }
    FormatVersion found = FormatVersion::parse(versionAttribute.nodeTypedValue());
    versionCode_ = found.code();
    foundVersion_ = found;

    if (runsInsideHostApplication(env().resources())) {
      FormatVersion expected;
      getVersion(expected);
      if (found.major != expected.major || found.minor != expected.minor) {
        throw VersionMismatchException(expected, found);
      }
    }
    return node;
  }
  throw InterpretException();
}

void ICommonIO::peekVersion() {
  try {
    // A document this object holds is the file as it knows it. Otherwise
    // only the head of the file is read: the root's version is all a
    // writer needs, and a large document is not parsed a second time for it.
    const Document held = creator_.loadFailed() ? Document() : creator_.getDocument();
    if (!held.isNull()) {
      findRootElement(held);
      return;
    }
    const Document head = Document::create();
    if (head.loadHead(fileName_, env().files())) findRootElement(head);
  } catch (...) {  // NOLINT(bugprone-empty-catch): swallowed on purpose
    // Only the recorded version matters; a document that cannot be read
    // leaves it as it was.
  }
}

std::string ICommonIO::writerVersionText() const {
  if (foundVersion_ != FormatVersion()) return foundVersion_.toString();
  FormatVersion own;
  return getVersion(own).toString();
}

}  // namespace xml
