// Loading documents in every encoding the host's XML engine reads, and
// documents that depend on a DTD.
#include "xml/document_encoding.h"

#include <gtest/gtest.h>

#include <string>

#include "testsupport/hosts/documents.h"
#include "xml/dom.h"

namespace xml {
namespace {

using namespace std::string_literals;

// The text of the root element of |bytes| loaded as a document, or
// "(no load)".
std::string rootText(const std::string& bytes) {
  Document document = Document::create();
  if (!document.loadXML(bytes)) return "(no load)";
  NodeList top = document.childNodes();
  for (Node node = top.nextNode(); node; node = top.nextNode()) {
    if (node.nodeType() == NodeType::kElement) return node.nodeTypedValue();
  }
  return "(no root)";
}

// |ascii| as UTF-16 of the given byte order, each byte one code unit.
std::string utf16(const std::string& ascii, bool bigEndian) {
  std::string out;
  for (char c : ascii) {
    out += bigEndian ? '\0' : c;
    out += bigEndian ? c : '\0';
  }
  return out;
}

struct Encoded {
  const char* what;
  std::string bytes;
  std::string text;  // the root's text in UTF-8, or "(no load)"
};

TEST(DocumentEncodingTest, EveryEncodingLoadsAsUtf8OrFailsTheLoad) {
  const std::string doc = "<?xml version='1.0'?><a>A</a>";
  const std::string declared = "<?xml version=\"1.0\" encoding=\"";
  const Encoded kCases[] = {
      {"windows-1252", declared + "windows-1252\"?><a>caf\xe9 \x80</a>",
       "caf\xc3\xa9 \xe2\x82\xac"},
      {"Shift_JIS", declared + "Shift_JIS\"?><a>\x93\xfa\x96\x7b</a>", "\xe6\x97\xa5\xe6\x9c\xac"},
      {"single quotes, spaces", "<?xml version='1.0' encoding = 'euc-jp' ?><a>\xc6\xfc</a>",
       "\xe6\x97\xa5"},
      {"UTF-16LE mark", "\xff\xfe"s + utf16(doc, false), "A"},
      {"UTF-16BE mark", "\xfe\xff"s + utf16(doc, true), "A"},
      {"UTF-16LE unmarked", utf16(doc, false), "A"},
      {"UTF-16BE unmarked", utf16("<a>A</a>", true), "A"},
      {"UTF-32LE mark", "\xff\xfe\0\0"s + utf16(utf16(doc, false), false), "A"},
      {"UTF-16 pair",
       "\xff\xfe"s + utf16("<a>", false) + "\x3d\xd8\x00\xde"s + utf16("</a>", false),
       "\xf0\x9f\x98\x80"},
      {"UTF-8 mark, UTF-8 declared", "\xef\xbb\xbf" + declared + "utf-8\"?><a>\xc3\xa9</a>",
       "\xc3\xa9"},
      {"UTF-16 mark, UTF-16 declared", "\xff\xfe"s + utf16(declared + "UTF-16\"?><a>A</a>", false),
       "A"},
      // A declared encoding that contradicts the form found.
      {"UTF-8 mark, Shift_JIS declared", "\xef\xbb\xbf" + declared + "Shift_JIS\"?><a>\xc3\xa9</a>",
       "(no load)"},
      {"UTF-16 mark, UTF-8 declared", "\xff\xfe"s + utf16(declared + "UTF-8\"?><a>A</a>", false),
       "(no load)"},
      {"8-bit UTF-16 claim", declared + "UTF-16\"?><a>A</a>", "(no load)"},
      {"unknown name, ASCII", declared + "x-unknown\"?><a>A</a>", "A"},
      {"truncated Shift_JIS", declared + "Shift_JIS\"?><a>\x93</a>", "(no load)"},
      {"control byte in windows-1252", declared + "windows-1252\"?><a>\x01</a>", "(no load)"},
      {"odd UTF-16 length", "\xff\xfe"s + utf16(doc, false) + "x", "(no load)"},
      {"unpaired surrogate", "\xff\xfe"s + utf16("<a>", false) + "\x3d\xd8"s + utf16("</a>", false),
       "(no load)"},
  };
  for (const Encoded& encoded : kCases) {
    EXPECT_EQ(rootText(encoded.bytes), encoded.text) << encoded.what;
  }
}

TEST(DocumentEncodingTest, DeclaredEncodingIsFoundOnlyInTheDeclaration) {
  EXPECT_EQ(declaredEncoding("<?xml version='1.0' encoding='GBK'?><a/>"), "GBK");
  EXPECT_EQ(declaredEncoding("<?xml version='1.0'?><a encoding='GBK'/>"), "");
  EXPECT_EQ(declaredEncoding("<?xml-stylesheet encoding='GBK'?><a/>"), "");
  EXPECT_EQ(declaredEncoding("<a/><?xml version='1.0' encoding='GBK'?>"), "");
}

struct WithDtd {
  const char* text;
  bool dependsOnDtd;
};

// A DTD is never read; a document that needs one loads, says so, and keeps
// its entity references unexpanded, however many they would expand to.
TEST(DocumentEncodingTest, DocumentsWithADtdLoadAndTellWhetherTheyDependOnIt) {
  std::string laughs = "<!DOCTYPE a [<!ENTITY l0 'ha'>";
  for (int i = 1; i < 10; ++i) {
    laughs += "<!ENTITY l";
    laughs += std::to_string(i);
    laughs += " '";
    for (int k = 0; k < 10; ++k) {
      laughs += "&l";
      laughs += std::to_string(i - 1);
      laughs += ';';
    }
    laughs += "'>";
  }
  laughs += "]><a>&l9;</a>";
  const WithDtd kCases[] = {
      {"<!DOCTYPE a><a>x</a>", false},
      {"<!DOCTYPE a [ ]><a>x</a>", false},
      {"<!DOCTYPE a [<!ENTITY e 'x'>]><a>&e;</a>", true},
      {"<!DOCTYPE a SYSTEM 'a.dtd'><a x='&e;'>x</a>", true},
      {"<!DOCTYPE a [<!ATTLIST a v CDATA '1'>]><a/>", true},
      // The DTD may bind the prefix with a default attribute.
      {"<!DOCTYPE p:a [<!ATTLIST p:a xmlns:p CDATA #FIXED 'urn:p'>]><p:a p:x='1'/>", true},
      {laughs.c_str(), true},
  };
  for (const WithDtd& entry : kCases) {
    Document document = Document::create();
    ASSERT_TRUE(document.loadXML(entry.text)) << entry.text;
    EXPECT_EQ(document.dependsOnDtd(), entry.dependsOnDtd) << entry.text;
  }
  EXPECT_EQ(rootText(laughs), "&l9;");
  // Without a DTD an unknown entity stays a well-formedness error, and the
  // document type must come once, before the element.
  for (const char* text : {"<a>&e;</a>", "<a/><!DOCTYPE a>", "<!DOCTYPE a><!DOCTYPE a><a/>"}) {
    EXPECT_EQ(rootText(text), "(no load)") << text;
  }
}

}  // namespace
}  // namespace xml
