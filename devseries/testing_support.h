// Shared set-up of the device-series tests: documents parsed from strings,
// the COM error a call raises, the saved text of a written element, and a
// fixture that gives the language table its standard names.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/resources.h"
#include "xml/com_error.h"
#include "xml/dom.h"
#include "xml/language_table.h"

namespace devseries::testing {

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

// The XML text of an element |name| holding |content| as it stands.
inline std::string el(const std::string& name, const std::string& content) {
  return "<" + name + ">" + content + "</" + name + ">";
}

// The language element names of a localized text, in slot order.
inline constexpr const char* kLanguageNames[] = {"English",
                                                 "Chinese_Simplified",
                                                 "Chinese_Traditional",
                                                 "French",
                                                 "German",
                                                 "Italian",
                                                 "Japanese",
                                                 "Korean",
                                                 "Portuguese",
                                                 "Spanish",
                                                 "Russian",
                                                 "Turkish",
                                                 "Arabic"};

// A localized text element |name| as the writer gives it: every language
// present, each holding |text|.
inline std::string localized(const std::string& name, const std::string& text) {
  std::string children;
  for (const char* language : kLanguageNames) children += el(language, text);
  return el(name, children);
}

// Fixture of the record tests; documents take the standard language names.
using DevSeriesTest = ::testing::Test;

}  // namespace devseries::testing
