// Why a document does not load: the reason, and the line and column where
// the parser stopped, counted in the text converted to UTF-8.
#include <gtest/gtest.h>

#include <string>

#include "testsupport/hosts/documents.h"
#include "xml/dom.h"

namespace xml {
namespace {

using namespace std::string_literals;

struct BrokenDocument {
  const char* name;
  std::string text;
  int line;
  int column;
  const char* reason;
};

class DomLoadErrorTest : public ::testing::TestWithParam<BrokenDocument> {};

TEST_P(DomLoadErrorTest, TellsWhereAndWhy) {
  const BrokenDocument& broken = GetParam();
  Document document = Document::create();
  ASSERT_FALSE(document.loadXML(broken.text));
  EXPECT_EQ(document.loadError().line, broken.line);
  EXPECT_EQ(document.loadError().column, broken.column);
  EXPECT_EQ(document.loadError().reason, broken.reason);
}

const std::string kWindows1252 = "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\n";

INSTANTIATE_TEST_SUITE_P(
    Broken, DomLoadErrorTest,
    ::testing::Values(
        BrokenDocument{"mismatch", "<a>\n  <b></c>\n</a>", 2, 8, "Start-end tags mismatch"},
        BrokenDocument{"crlf", "<a>\r\n<b>\r\n</a>", 3, 3, "Start-end tags mismatch"},
        BrokenDocument{"lone_cr", "<a>\r\r<b x=1/></a>", 3, 6, "Error parsing element attribute"},
        // The legacy bytes become two-byte characters; columns count them once.
        BrokenDocument{"converted", kWindows1252 + "<a>\xe9\xe9\xe9</b>", 2, 9,
                       "Start-end tags mismatch"},
        BrokenDocument{"control", "<a>\n x\x01</a>"s, 2, 3, "a character XML does not allow"},
        BrokenDocument{"unclosed", "<a>\n<b>", 2, 3, "Start-end tags mismatch"},
        BrokenDocument{"two_roots", "<a/><b/>", 0, 0,
                       "not well-formed: the declaration, top-level content, a name, a "
                       "namespace, a comment, a duplicate attribute, '<' in an attribute value, "
                       "\"]]>\" in text or a reference"},
        BrokenDocument{"not_text", kWindows1252.substr(0, 30) + "shift_jis\"?><a>\x81\x7f</a>", 0,
                       0, "the bytes are not text in the document's encoding"}),
    [](const ::testing::TestParamInfo<BrokenDocument>& param) { return param.param.name; });

class DomLoadErrorFileTest : public testsupport::XmlTest {};

TEST_F(DomLoadErrorFileTest, UnreadableFileTellsThePlatformErrorAndSuccessClearsIt) {
  Document document = Document::create();
  memory_.put("C:\\d.xml", "<a/>");
  files_.inject(testsupport::Fault::failCall(testsupport::FileOp::kRead, platform::kReadFault));
  ASSERT_FALSE(document.load("C:\\d.xml", files_));
  std::string expected = "cannot be read: ";
  expected += platform::describeError(platform::kReadFault);
  EXPECT_EQ(document.loadError().reason, expected);
  EXPECT_EQ(document.loadError().line, 0);
  EXPECT_TRUE(document.loadError().unreadable);

  files_.clearFaults();
  ASSERT_TRUE(document.load("C:\\d.xml", files_));
  EXPECT_EQ(document.loadError().reason, "");
  EXPECT_FALSE(document.loadError().unreadable);
  memory_.put("C:\\d.xml", "<a>");
  ASSERT_FALSE(document.load("C:\\d.xml", files_));
  EXPECT_FALSE(document.loadError().unreadable);  // read, but not XML
}

}  // namespace
}  // namespace xml
