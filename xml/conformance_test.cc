// The load against the W3C XML Conformance Test Suite (fetched into .deps/
// by scripts/setup.sh). Every XML 1.0 and Namespaces 1.0 test of the
// catalogue falls into one of four rows, by whether the document is
// well-formed and whether it has a document type declaration:
//  - not well-formed, no DTD: must fail the load;
//  - well-formed (valid or invalid), no DTD: must load and be read;
//  - not well-formed, with a DTD: must never be read as content (failing
//    the load, or loading as a document that depends on its DTD);
//  - well-formed, with a DTD: must load (read, or depending on its DTD).
// Left out: XML 1.1 and Namespaces 1.1 tests, tests of type "error" (errors
// a parser may or may not report), and tests marked for parsers without
// namespaces (names such as ":" or "a:b:c"), which a namespace-aware parser
// refuses.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include <pugixml.hpp>

#include "testsupport/scratch_dir.h"
#include "xml/dom.h"

namespace xml {
namespace {

using namespace std::string_view_literals;

// One row of the figures: how many of its documents fail the load, load and
// are read, or load as depending on their DTD; and the tests that miss the
// row's goal.
struct Row {
  const char* title = "";
  int failed = 0;
  int read = 0;
  int dependsOnDtd = 0;
  std::vector<std::string> missed;
};

enum RowIndex { kNotWellFormed, kWellFormed, kNotWellFormedDtd, kWellFormedDtd };

// True when |bytes| hold a document type declaration, in UTF-8 or UTF-16.
bool hasDoctype(std::string_view bytes) {
  return bytes.find("<!DOCTYPE"sv) != std::string_view::npos ||
         bytes.find("<\0!\0D\0O\0C\0T\0Y\0P\0E"sv) != std::string_view::npos ||
         bytes.find("\0<\0!\0D\0O\0C\0T\0Y\0P\0E"sv) != std::string_view::npos;
}

// True for a test of XML 1.0 or Namespaces 1.0 whose outcome for a
// namespace-aware parser is defined.
bool isSelected(const pugi::xml_node test) {
  const std::string_view version = test.attribute("VERSION").value();
  const std::string_view recommendation = test.attribute("RECOMMENDATION").value();
  const std::string_view type = test.attribute("TYPE").value();
  return version != "1.1" && recommendation != "XML1.1" && recommendation != "NS1.1" &&
         type != "error" && std::string_view(test.attribute("NAMESPACE").value()) != "no";
}

void collectTests(const pugi::xml_node cases, const std::string& base,
                  std::vector<std::pair<pugi::xml_node, std::string>>& tests) {
  for (pugi::xml_node child : cases.children()) {
    const std::string here = base + child.attribute("xml:base").value();
    if (std::string_view(child.name()) == "TEST") {
      tests.emplace_back(child, here);
    } else if (std::string_view(child.name()) == "TESTCASES") {
      collectTests(child, here, tests);
    }
  }
}

TEST(XmlConformanceTest, EveryDocumentMeetsItsRowsGoal) {
  const std::string suite = OKM_XMLCONF_DIR;
  const std::string catalogueText =
      testsupport::ScratchDir::read(suite + "/cleaned/xmlconf-flattened.xml");
  ASSERT_FALSE(catalogueText.empty()) << "the W3C XML Conformance Test Suite is missing at "
                                      << suite << "; run scripts/setup.sh to fetch it";
  pugi::xml_document catalogue;
  ASSERT_TRUE(catalogue.load_string(catalogueText.c_str()));
  std::vector<std::pair<pugi::xml_node, std::string>> tests;
  collectTests(catalogue.child("TESTSUITE"), "", tests);

  Row rows[4];
  rows[kNotWellFormed].title = "not well-formed, no DTD";
  rows[kWellFormed].title = "well-formed, no DTD";
  rows[kNotWellFormedDtd].title = "not well-formed, with a DTD";
  rows[kWellFormedDtd].title = "well-formed, with a DTD";
  int skipped = 0;
  for (const auto& [test, base] : tests) {
    if (!isSelected(test)) {
      ++skipped;
      continue;
    }
    const std::string path = suite + "/xmlconf/" + base + test.attribute("URI").value();
    const std::string bytes = testsupport::ScratchDir::read(path);
    const bool wellFormed = std::string_view(test.attribute("TYPE").value()) != "not-wf";
    const bool dtd = hasDoctype(bytes);
    Row& row = rows[dtd ? (wellFormed ? kWellFormedDtd : kNotWellFormedDtd)
                        : (wellFormed ? kWellFormed : kNotWellFormed)];

    Document document = Document::create();
    const bool loaded = document.loadXML(bytes);
    const bool read = loaded && !document.dependsOnDtd();
    ++(!loaded ? row.failed : read ? row.read : row.dependsOnDtd);
    const bool meetsGoal = wellFormed ? loaded && (dtd || read) : !read && (dtd || !loaded);
    if (!meetsGoal) {
      row.missed.push_back(std::string(test.attribute("ID").value()) + " (" + path + ")");
    }
  }

  std::printf("%-28s %6s %6s %6s %6s\n", "tests", "count", "fail", "read", "DTD");
  for (const Row& row : rows) {
    std::printf("%-28s %6d %6d %6d %6d\n", row.title, row.failed + row.read + row.dependsOnDtd,
                row.failed, row.read, row.dependsOnDtd);
  }
  std::printf("left out (XML 1.1, Namespaces 1.1, type \"error\", no namespaces): %d\n", skipped);
  for (const Row& row : rows) {
    for (const std::string& missed : row.missed) {
      ADD_FAILURE() << row.title << ": " << missed << " misses its goal";
    }
  }
}

}  // namespace
}  // namespace xml
