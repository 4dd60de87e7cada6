// Loading only the head of a document: the prolog and the root's start tag.
#include <gtest/gtest.h>

#include <string>

#include "testsupport/hosts/documents.h"
#include "xml/dom.h"

namespace xml {
namespace {

using namespace std::string_literals;

class DomHeadTest : public testsupport::XmlTest {
 protected:
  static constexpr const char* kPath = "C:\\doc.xml";

  // The saved form of the head of |text|, or "" when the head load fails.
  std::string head(const std::string& text) {
    memory_.put(kPath, text);
    Document document = Document::create();
    return document.loadHead(kPath, files_) ? document.xml() : "";
  }
};

TEST_F(DomHeadTest, HeadIsTheRootWithoutItsContent) {
  const std::string declaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  const std::string big(100000, 'x');  // beyond the first read
  const struct {
    std::string text;
    std::string head;
  } cases[] = {
      {"<a v=\"1\"><b/></a>", declaration + "<a v=\"1\" />\n"},
      {"<a v='1'/>", declaration + "<a v=\"1\" />\n"},
      {"<?xml version='1.0'?><!-- c --><?pi x?><!DOCTYPE a [ ]>\n<a v='>/'>",
       declaration + "<!-- c -->\n<?pi x?>\n<a v=\">/\" />\n"},
      {"<!--" + big + "--><a v=\"&amp;\">" + big,
       declaration + "<!--" + big + "-->\n<a v=\"&amp;\" />\n"},
      {"\xFF\xFE<\0a\0 \0v\0=\0'\0\xE9\0'\0>\0<\0"s, declaration + "<a v=\"\xC3\xA9\" />\n"},
      {"<a v='1' v='2'>", ""},                           // not well-formed
      {"<!DOCTYPE a [<!ENTITY e 'x'>]><a v='1'/>", ""},  // content unknown
      {"text<a/>", ""},
      {"<![CDATA[x]]><a/>", ""},
      {"<!-- open", ""},
      {"<a v='1", ""},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(head(c.text), c.head) << c.text.substr(0, 60);
}

TEST_F(DomHeadTest, UnreadableFileFailsAsALoadDoes) {
  Document document = Document::create();
  EXPECT_FALSE(document.loadHead("C:\\missing.xml", files_));
  EXPECT_TRUE(document.loadError().unreadable);
  memory_.put(kPath, "<a/>");
  files_.inject(testsupport::Fault::failCall(testsupport::FileOp::kRead, platform::kIoDevice));
  EXPECT_FALSE(document.loadHead(kPath, files_));
  EXPECT_TRUE(document.loadError().unreadable);
}

}  // namespace
}  // namespace xml
