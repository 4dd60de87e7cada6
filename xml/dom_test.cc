// Loading: which nodes a parsed document has, the text of elements, the
// references accepted, and what fails to load.
#include "xml/dom.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testsupport/file_calls.h"
#include "testsupport/hosts/documents.h"

namespace xml {
namespace {

using testsupport::parseDocument;
using testsupport::rootElement;

// "name" of every child of |node|, in order.
std::vector<std::string> childNames(const Node& node) {
  std::vector<std::string> names;
  NodeList list = node.childNodes();
  for (Node child = list.nextNode(); child; child = list.nextNode()) {
    names.emplace_back(child.nodeName());
  }
  return names;
}

TEST(DomLoadTest, CommentsAndProcessingInstructionsTakePositions) {
  Document document = parseDocument("<r><!--c--><a>1</a><?p data?><b/></r>");
  Node root = rootElement(document);
  EXPECT_EQ(childNames(root), (std::vector<std::string>{"#comment", "a", "p", "b"}));
  Node comment = root.firstChild();
  EXPECT_EQ(comment.nodeType(), NodeType::kComment);
  EXPECT_EQ(comment.nodeTypedValue(), "c");
  EXPECT_EQ(comment.nextSibling().nextSibling().nodeType(), NodeType::kProcessingInstruction);
}

TEST(DomLoadTest, WhitespaceOnlyTextIsNoNodeButOtherTextKeepsItsBlanks) {
  Node root = rootElement(parseDocument("<r>\n  <a> x </a>\n\t<b>   </b>\n</r>"));
  EXPECT_EQ(childNames(root), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(root.firstChild().nodeTypedValue(), " x ");
  EXPECT_TRUE(root.firstChild().nextSibling().firstChild().isNull());
}

TEST(DomLoadTest, DeclarationIsAProcessingInstructionNamedXml) {
  Document document = parseDocument("<?xml version=\"1.0\"?><!--c--><r/>");
  EXPECT_EQ(childNames(document.asNode()), (std::vector<std::string>{"xml", "#comment", "r"}));
  EXPECT_EQ(document.firstChild().nodeType(), NodeType::kProcessingInstruction);
}

TEST(DomLoadTest, ElementTextConcatenatesAllTextBelowIt) {
  Node root =
      rootElement(parseDocument("<a>x<b>y<c>z</c></b><![CDATA[<w>]]><!--no--><?p no?>v</a>"));
  EXPECT_EQ(root.nodeTypedValue(), "xyz<w>v");
  EXPECT_EQ(root.firstChild().nextSibling().nodeTypedValue(), "yz");
}

TEST(DomLoadTest, DeepNestingNeitherFailsNorOverflowsTheStack) {
  constexpr int kDepth = 200000;
  std::string text;
  for (int i = 0; i < kDepth; ++i) text += "<e>";
  text += "deep";
  for (int i = 0; i < kDepth; ++i) text += "</e>";
  Document document = parseDocument(text);
  EXPECT_EQ(rootElement(document).nodeTypedValue(), "deep");
}

TEST(DomLoadTest, PredefinedEntitiesAndCharacterReferencesAreResolved) {
  Node root = rootElement(
      parseDocument("<a x=\"&lt;&#65;&#x42;&#10;\">&amp;&quot;&apos;&gt;&#233;&#x1F600;&#9;</a>"));
  EXPECT_EQ(root.attributes().getNamedItem("x").nodeTypedValue(), "<AB\n");
  EXPECT_EQ(root.nodeTypedValue(), "&\"'>\xC3\xA9\xF0\x9F\x98\x80\t");
}

// Each UTF-8 length on both sides of its edge: a reference is written as the
// bytes of the character it names, never as a shorter or longer sequence.
TEST(DomLoadTest, CharacterReferencesOfEveryUtf8LengthBecomeTheirBytes) {
  const char* const kReferences = "&#x7F;&#x80;&#x7FF;&#x800;&#x20AC;&#xFFFD;&#x10000;&#x10FFFF;";
  const char* const kBytes =
      "\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xE2\x82\xAC\xEF\xBF\xBD\xF0\x90\x80\x80\xF4\x8F\xBF\xBF";
  Node root = rootElement(
      parseDocument(std::string("<a x=\"") + kReferences + "\">" + kReferences + "</a>"));
  EXPECT_EQ(root.attributes().getNamedItem("x").nodeTypedValue(), kBytes);
  EXPECT_EQ(root.nodeTypedValue(), kBytes);
}

class DomRejectTest : public ::testing::TestWithParam<const char*> {};

TEST_P(DomRejectTest, DocumentDoesNotLoadAndIsLeftEmpty) {
  Document document = parseDocument("<old/>");
  EXPECT_FALSE(document.loadXML(GetParam()));
  EXPECT_TRUE(document.firstChild().isNull());
}

INSTANTIATE_TEST_SUITE_P(NotWellFormed, DomRejectTest,
                         ::testing::Values("", "   ", "<a>", "<a></b>", "<a/><b/>", "<a/>text",
                                           "text<a/>", "<a>&nbsp;</a>", "<a>&</a>", "<a>&amp</a>",
                                           "<a>&#0;</a>", "<a>&#1;</a>", "<a>&#xD800;</a>",
                                           "<a x='&#xFFFE;'/>", "<a>&#X41;</a>",
                                           "<a>&#x110000;</a>", "<a x='&bad;'/>", "<a x='<'/>",
                                           "<a x='1' x='2'/>", "<a/><?xml version='1.0'?>"));

// Bytes that are not UTF-8 or characters XML does not allow, in text, a
// name, an attribute or a comment of a UTF-8 document.
INSTANTIATE_TEST_SUITE_P(NotUtf8OrNoXmlCharacter, DomRejectTest,
                         ::testing::Values("<a>Gl\xE4nzend</a>", "<a\xE9/>", "<a x='\xE9'/>",
                                           "<a><!--\xFF--></a>", "<a>\xC0\xAF</a>",
                                           "<a>\xE0\x80\xAF</a>", "<a>\xED\xA0\x80</a>",
                                           "<a>\xF4\x90\x80\x80</a>", "<a>\xE2\x82</a>",
                                           "<a>\x01</a>", "<a x='\x1B'/>", "<a>\xEF\xBF\xBF</a>"));

TEST(DomLoadTest, ZeroBytesAfterTheRootFailTheLoad) {
  using namespace std::string_literals;
  Document document = Document::create();
  EXPECT_FALSE(document.loadXML("<a/>\0\0\0"s));
  EXPECT_TRUE(document.firstChild().isNull());
}

TEST(DomLoadTest, ValidUtf8AndConvertedEncodingsLoad) {
  Node root = rootElement(
      parseDocument("\xEF\xBB\xBF<a x='\xC3\xA4'>\t\xE6\x97\xA5\xF0\x9F\x98\x80\x7F\r\n</a>"));
  EXPECT_EQ(root.attributes().getNamedItem("x").nodeTypedValue(), "\xC3\xA4");
  EXPECT_EQ(root.nodeTypedValue(), "\t\xE6\x97\xA5\xF0\x9F\x98\x80\x7F\n");
  root =
      rootElement(parseDocument("<?xml version='1.0' encoding='ISO-8859-1'?><a>Gl\xE4nzend</a>"));
  EXPECT_EQ(root.nodeTypedValue(), "Gl\xC3\xA4nzend");
}

TEST(DomLoadTest, FailedParseDropsHandlesFromTheDocumentButKeepsThemValid) {
  Document document = parseDocument("<a><b>kept</b></a>");
  Node b = rootElement(document).firstChild();
  EXPECT_FALSE(document.loadXML("<broken"));
  EXPECT_EQ(b.nodeTypedValue(), "kept");
}

class DomFileTest : public testsupport::XmlTest {};

TEST_F(DomFileTest, ExternalDocumentTypeIsNeverRead) {
  memory_.put("C:\\d.xml", "<!DOCTYPE a SYSTEM \"C:\\ext.dtd\"><a>x</a>");
  memory_.put("C:\\ext.dtd", "<!ENTITY e 'y'>");
  Document document = Document::create();
  ASSERT_TRUE(document.load("C:\\d.xml", files_));
  for (const testsupport::FileCall& call : files_.calls()) EXPECT_EQ(call.path, "C:\\d.xml");
  EXPECT_EQ(testsupport::countCalls(files_.calls(), testsupport::FileOp::kOpen), 1);
}

TEST_F(DomFileTest, LargeFileIsReadWhole) {
  std::string text = "<a>";
  while (text.size() < 300000) text += "<b>0123456789</b>";
  text += "<last>end</last></a>";
  memory_.put("C:\\big.xml", text);
  Document document = Document::create();
  ASSERT_TRUE(document.load("C:\\big.xml", files_));
  EXPECT_EQ(document.xml().size(), Document(parseDocument(text)).xml().size());
  EXPECT_NE(document.xml().find("<last>end</last>"), std::string::npos);
}

TEST_F(DomFileTest, MissingOrUnreadableFileFailsTheLoad) {
  Document document = Document::create();
  EXPECT_FALSE(document.load("C:\\none.xml", files_));
  memory_.put("C:\\d.xml", "<a/>");
  files_.inject(testsupport::Fault::failCall(testsupport::FileOp::kRead, platform::kReadFault));
  EXPECT_FALSE(document.load("C:\\d.xml", files_));
  EXPECT_TRUE(document.firstChild().isNull());
}

TEST(DomLoadTest, FindingsAreCollectedOnlyWhenAskedForAndPlacedAtTheStartTag) {
  std::vector<Finding> findings;
  Document document = Document::create();
  document.collectFindings(&findings);
  // Lines end at CR LF, CR or LF; columns count characters, not bytes.
  ASSERT_TRUE(document.loadXML("<a>\r\n <b/>\r\t<\xC3\xBC><c/></\xC3\xBC>\n</a>"));
  Node b = rootElement(document).firstChild();
  Node c = b.nextSibling().firstChild();
  b.report("at b");
  c.report("at c");
  EXPECT_EQ(findings.size(), 2u);
  EXPECT_EQ(findings[0].line, 2);
  EXPECT_EQ(findings[0].column, 2);
  EXPECT_EQ(findings[1].line, 3);
  EXPECT_EQ(findings[1].column, 5);
  EXPECT_EQ(findings[1].message, "at c");

  Document lenient = parseDocument("<a><b/></a>");
  Node quiet = rootElement(lenient).firstChild();
  int line = 0;
  int column = 0;
  EXPECT_FALSE(quiet.collectsFindings());
  EXPECT_FALSE(quiet.place(line, column));
  quiet.report("nowhere");
  EXPECT_EQ(findings.size(), 2u);
}

}  // namespace
}  // namespace xml
