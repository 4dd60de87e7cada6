// Documents for tests: parsed from strings, searched, saved again, built
// from element texts; the COM error a call raises; and a fixture that keeps
// its documents in memory.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "testsupport/fault_file_system.h"
#include "testsupport/memory_file_system.h"
#include "testsupport/test_env.h"
#include "xml/com_error.h"
#include "xml/dom.h"
#include "xml/language_table.h"

namespace testsupport {

// A new document parsed from |text|; the test fails when it does not load.
inline xml::Document parseDocument(std::string_view text) {
  xml::Document document = xml::Document::create();
  EXPECT_TRUE(document.loadXML(text)) << text;
  return document;
}

// The first element at the top level of |document| (null when none).
inline xml::Node rootElement(const xml::Document& document) {
  xml::NodeList children = document.childNodes();
  for (xml::Node node = children.nextNode(); node; node = children.nextNode()) {
    if (node.nodeType() == xml::NodeType::kElement) return node;
  }
  return {};
}

// The first child element of |parent| named |name| (null when none).
inline xml::Node childNamed(const xml::Node& parent, std::string_view name) {
  xml::NodeList children = parent.childNodes();
  for (xml::Node node = children.nextNode(); node; node = children.nextNode()) {
    if (node.nodeName() == name) return node;
  }
  return {};
}

// The HRESULT a call raises as `_com_error`, or kSOk when it raises none.
template <typename Call>
xml::HResult comErrorOf(Call&& call) {
  try {
    call();
  } catch (const xml::_com_error& error) {
    return error.Error();
  }
  return xml::kSOk;
}

// The saved text of a document whose root is the element |write| returns:
// |write| is called with a fresh document and must return an unattached
// element of it.
template <typename Write>
std::string savedText(Write&& write) {
  xml::Document document = xml::Document::create();
  document.appendChild(write(document));
  return document.xml();
}

// The saved text of |text| loaded and saved again: what a faithful read and
// write of the same element must reproduce.
inline std::string resavedText(std::string_view text) { return parseDocument(text).xml(); }

// |text| with its first occurrence of |from| replaced by |to|; the test
// fails when there is none.
inline std::string replaced(std::string text, std::string_view from, std::string_view to) {
  const std::size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

// The XML text of an element |name| holding |content| as it stands.
inline std::string el(const std::string& name, const std::string& content) {
  return "<" + name + ">" + content + "</" + name + ">";
}

// A localized text element |name| as the writer gives it: every language
// present, each holding |text|.
inline std::string localized(const std::string& name, const std::string& text) {
  std::string children;
  for (const char* language : xml::kStandardLanguageNames) children += el(language, text);
  return el(name, children);
}

// Documents in memory under Windows paths: files_ records every call and
// takes injected faults; env_ is empty but for these files, so documents take
// the standard language names.
class XmlTest : public ::testing::Test {
 protected:
  MemoryFileSystem memory_;
  testsupport::FaultFileSystem files_{memory_};
  TestEnv env_{files_};
};

}  // namespace testsupport
