// Shared set-up of the XML layer's tests: an in-memory file system behind a
// call-recording, fault-injecting wrapper and a test environment around it,
// and a fixture that parses a document from a string.
#pragma once

#include <gtest/gtest.h>

#include <string_view>

#include "platform/fault_file_system.h"
#include "platform/testing/test_env.h"
#include "xml/com_error.h"
#include "xml/dom.h"
#include "xml/testing/memory_file_system.h"

namespace xml::testing {

// A new document parsed from |text|; the test fails when it does not load.
inline Document parseDocument(std::string_view text) {
  Document document = Document::create();
  EXPECT_TRUE(document.loadXML(text)) << text;
  return document;
}

// The HRESULT a call raises as `_com_error`, or kSOk when it raises none.
template <typename Call>
HResult comErrorOf(Call&& call) {
  try {
    call();
  } catch (const _com_error& error) {
    return error.Error();
  }
  return kSOk;
}

class XmlTest : public ::testing::Test {
 protected:
  MemoryFileSystem memory_;
  platform::FaultFileSystem files_{memory_};
  platform::testing::TestEnv env_{files_};
};

}  // namespace xml::testing
