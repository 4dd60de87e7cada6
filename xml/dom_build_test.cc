// Building documents, the operations the tree refuses, sharing, and saving.
#include <gtest/gtest.h>

#include <pugixml.hpp>
#include <sstream>
#include <string>

#include "testsupport/file_calls.h"
#include "testsupport/hosts/documents.h"
#include "xml/com_error.h"
#include "xml/dom.h"
#include "xml/msxml_dom_creator.h"
#include "xml/save_format.h"

namespace xml {
namespace {

using testsupport::comErrorOf;
using testsupport::parseDocument;

TEST(DomBuildTest, CreatedNodesStayUnattachedUntilAppended) {
  Document document = Document::create();
  Node a = document.createElement("a");
  Node b = document.createElement("b");
  EXPECT_TRUE(a.nextSibling().isNull());
  EXPECT_TRUE(document.firstChild().isNull());
  a.appendChild(b);
  document.appendChild(a);
  EXPECT_EQ(document.firstChild(), a);
  EXPECT_EQ(a.firstChild(), b);
  EXPECT_EQ(document.xml(), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<a>\n\t<b />\n</a>\n");
}

TEST(DomBuildTest, TypedValueReplacesChildrenAndEmptyTextLeavesNone) {
  Document document = parseDocument("<a><b>1</b><c/></a>");
  Node a = document.firstChild();
  Node b = a.firstChild();
  a.putNodeTypedValue("text");
  EXPECT_EQ(a.firstChild().nodeType(), NodeType::kText);
  EXPECT_TRUE(a.firstChild().nextSibling().isNull());
  EXPECT_EQ(b.nodeTypedValue(), "1");  // a replaced child stays usable
  a.putNodeTypedValue("");
  EXPECT_TRUE(a.firstChild().isNull());
  EXPECT_NE(document.xml().find("<a />"), std::string::npos);
}

TEST(DomBuildTest, AppendMovesANodeAndInsertBeforePlacesIt) {
  Document document = parseDocument("<r><a><x/></a><b/></r>");
  Node r = document.firstChild();
  Node a = r.firstChild();
  Node b = a.nextSibling();
  b.appendChild(a.firstChild());
  EXPECT_TRUE(a.firstChild().isNull());
  EXPECT_EQ(b.firstChild().nodeName(), "x");
  r.insertBefore(b, a);
  EXPECT_EQ(r.firstChild(), b);
  r.insertBefore(b, Node());  // a null reference appends
  EXPECT_EQ(a.nextSibling(), b);
}

TEST(DomBuildTest, AttributesAreSetReplacedAndLookedUpByExactName) {
  Document document = Document::create();
  Node e = document.createElement("e");
  e.setAttribute("v", "1");
  e.setAttribute("v", "2");
  Attribute made = document.createAttribute("n");
  made.putNodeTypedValue("7");
  e.setAttributeNode(made);
  document.appendChild(e);
  EXPECT_EQ(e.attributes().getNamedItem("v").nodeTypedValue(), "2");
  EXPECT_EQ(e.attributes().getNamedItem("n").nodeTypedValue(), "7");
  EXPECT_TRUE(e.attributes().getNamedItem("V").isNull());
  EXPECT_NE(document.xml().find("<e v=\"2\" n=\"7\" />"), std::string::npos);
  e.putNodeTypedValue("t");
  EXPECT_TRUE(e.firstChild().attributes().isNull());  // a text node has no map
}

TEST(DomBuildTest, RefusedOperationsRaiseTheirComErrors) {
  Document document = parseDocument("<r><a><b/></a></r>");
  Document other = Document::create();
  Node r = document.firstChild();
  Node a = r.firstChild();
  EXPECT_EQ(comErrorOf([&] { a.firstChild().appendChild(a); }), kEFail);
  EXPECT_EQ(comErrorOf([&] { document.appendChild(document.createElement("s")); }), kEFail);
  EXPECT_EQ(comErrorOf([&] { r.appendChild(other.createElement("x")); }), kEFail);
  EXPECT_EQ(comErrorOf([&] { r.appendChild(document.createProcessingInstruction("xml", "")); }),
            kEFail);
  for (const char* bad : {"", "a b", "1a", "a<", "a&b", "x=y"}) {
    EXPECT_EQ(comErrorOf([&] { document.createElement(bad); }), kEFail) << bad;
  }
  EXPECT_EQ(comErrorOf([&] { document.createNode(NodeType::kComment, "c", ""); }), kEInvalidArg);
  EXPECT_EQ(comErrorOf([&] { r.insertBefore(a, r); }), kEInvalidArg);
  EXPECT_EQ(comErrorOf([&] { Node().nodeName(); }), kEPointer);
  EXPECT_EQ(comErrorOf([&] { Document().createElement("a"); }), kEPointer);
  a.putNodeTypedValue("x");
  Node text = a.firstChild();
  EXPECT_EQ(comErrorOf([&] { text.setAttribute("v", "1"); }), kEPointer);  // not an element
}

// Building in place gives the tree createElement and appendChild give, only
// under elements (at top level it would make a second root), and below an
// element not yet appended leaves the document as it is.
TEST(DomBuildTest, AppendElementBuildsInPlaceUnderElementsOnly) {
  Document document = parseDocument("<r><a/></r>");
  Node r = document.firstChild();
  Node loose = document.createElement("l");
  loose.appendTextElement("m", "t");
  Node b = r.appendElement("b");
  r.appendTextElement("c", "1<2");
  r.appendTextElement("d", std::string_view("x\0y", 3));
  Node text = b.appendTextElement("e", "t").firstChild();
  EXPECT_EQ(r.firstChild().nextSibling(), b);
  const std::string expected = "<r><a/><b><e>t</e></b><c>1&lt;2</c><d>x</d></r>";
  EXPECT_EQ(document.xml(), parseDocument(expected).xml());
  r.appendChild(loose);
  EXPECT_EQ(loose.firstChild().nodeTypedValue(), "t");

  EXPECT_EQ(comErrorOf([&] { document.asNode().appendElement("s"); }), kEFail);
  EXPECT_EQ(comErrorOf([&] { text.appendElement("s"); }), kEFail);
  EXPECT_EQ(comErrorOf([&] { r.appendElement(ElementName()); }), kEFail);
  EXPECT_EQ(comErrorOf([&] { Node().appendElement("s"); }), kEPointer);
  for (const char* bad : {"", "a b", "1a", "a<"}) {
    EXPECT_EQ(comErrorOf([&] { ElementName::checked(bad); }), kEFail) << bad;
  }
}

TEST(DomBuildTest, CopiesShareTheDocumentAndNodesKeepItAlive) {
  Node kept;
  {
    Document first = parseDocument("<r/>");
    Document copy = first;  // NOLINT(performance-unnecessary-copy-initialization)
    copy.firstChild().appendChild(copy.createElement("added"));
    EXPECT_EQ(first.firstChild().firstChild().nodeName(), "added");
    EXPECT_EQ(first, copy);
    kept = first.firstChild();
  }
  EXPECT_EQ(kept.firstChild().nodeName(), "added");
}

// The saved form is the one the payload generator writes with pugixml's own
// save (save_format.h), so that a read and write gives payload documents
// back byte for byte.
TEST(DomSaveTest, SavedFormEqualsPugixmlSaveOfTheSameTree) {
  Document document = Document::create();
  insertXmlDeclaration(document);
  Node root = document.createElement("DeviceSeries");
  root.setAttribute("strVersion", "6.6.13.0");
  Node list = document.createElement("aList");
  for (const char* text : {"a<b & \"c\"", "", "\xE6\x97\xA5\xD8\xB9", "x\ty"}) {
    Node item = document.createElement("item");
    item.putNodeTypedValue(text);
    list.appendChild(item);
  }
  root.appendChild(list);
  document.appendChild(root);
  document.createElement("unattached");  // never saved

  const std::string saved = document.xml();
  pugi::xml_document reference;
  ASSERT_TRUE(reference.load_string(saved.c_str(), pugi::parse_default | pugi::parse_declaration));
  std::ostringstream expected;
  reference.save(expected, kSaveIndent, kSaveFlags, kSaveEncoding);
  EXPECT_EQ(saved, expected.str());
  EXPECT_EQ(saved.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<DeviceSeries", 0), 0u);

  Document reloaded = parseDocument(saved);
  EXPECT_EQ(reloaded.xml(), saved);
  Node item = reloaded.firstChild().nextSibling().firstChild().firstChild();
  EXPECT_EQ(item.nodeTypedValue(), "a<b & \"c\"");
  EXPECT_EQ(item.nextSibling().nextSibling().nextSibling().nodeTypedValue(), "x\ty");
}

class DomSaveFileTest : public testsupport::XmlTest {};

TEST_F(DomSaveFileTest, SaveWritesTheSavedFormInOneWrite) {
  Document document = parseDocument("<a>t</a>");
  document.save("C:\\out.xml", files_);
  EXPECT_EQ(memory_.content("C:\\out.xml"), document.xml());
  EXPECT_EQ(testsupport::countCalls(files_.calls(), testsupport::FileOp::kWrite), 1);
}

TEST_F(DomSaveFileTest, FailedSaveRaisesThePlatformErrorAndLeavesNoPartialFile) {
  Document document = parseDocument("<a>some text</a>");
  files_.inject(
      testsupport::Fault::failCall(testsupport::FileOp::kOpen, platform::kAccessDenied, 1));
  EXPECT_EQ(comErrorOf([&] { document.save("C:\\out.xml", files_); }),
            hresultFromPlatformError(platform::kAccessDenied));
  EXPECT_EQ(hresultFromPlatformError(platform::kAccessDenied), static_cast<HResult>(0x80070005u));

  files_.inject(testsupport::Fault::shortWrite(10));
  EXPECT_EQ(comErrorOf([&] { document.save("C:\\out.xml", files_); }),
            hresultFromPlatformError(platform::kWriteFault));
  EXPECT_FALSE(memory_.exists("C:\\out.xml"));

  files_.inject(testsupport::Fault::failCall(testsupport::FileOp::kClose, platform::kDiskFull));
  EXPECT_NE(comErrorOf([&] { document.save("C:\\out.xml", files_); }), kSOk);
  EXPECT_FALSE(memory_.exists("C:\\out.xml"));
}

TEST_F(DomSaveFileTest, DocumentWithoutElementIsNotSaved) {
  Document document = Document::create();
  insertXmlDeclaration(document);
  EXPECT_EQ(comErrorOf([&] { document.save("C:\\out.xml", files_); }), kEFail);
  EXPECT_FALSE(memory_.exists("C:\\out.xml"));
}

}  // namespace
}  // namespace xml
