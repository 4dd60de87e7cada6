#include "devseries/field_io.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "testsupport/hosts/documents.h"

namespace devseries {
namespace {

// A value read through a real number and truncated saturates at the int
// range on both sides, exactly at its edges, and never converts an
// out-of-range double (which would be undefined).
TEST(FieldIoTest, TruncatedIntSaturatesAtTheEdgesOfTheRange) {
  const struct {
    const char* text;
    int value;
  } cases[] = {
      {"2147483647", INT_MAX},
      {"2147483647.9", INT_MAX},
      {"2147483648", INT_MAX},
      {"1e300", INT_MAX},
      {"inf", INT_MAX},
      {"-2147483648", INT_MIN},
      {"-2147483648.9", INT_MIN},
      {"-2147483649", INT_MIN},
      {"-inf", INT_MIN},
      {"-7.9", -7},
      {"nan", 0},
      {"six", 0},
  };
  for (const auto& [text, value] : cases) {
    const xml::Document document = testsupport::parseDocument(std::string("<n>") + text + "</n>");
    EXPECT_EQ(readTruncatedInt(testsupport::rootElement(document)), value) << text;
  }
}

}  // namespace
}  // namespace devseries
