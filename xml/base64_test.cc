#include "xml/base64.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace xml {
namespace {

std::string encoded(const std::string& bytes) {
  std::string text = "unchanged";
  EXPECT_EQ(
      CBase64().encode(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), &text),
      CBase64::kOk);
  return text;
}

// The decoded bytes as text, or "error N" for a non-zero result.
std::string decoded(const std::string& text) {
  std::vector<std::uint8_t> bytes = {'u', 'n', 'c', 'h', 'a', 'n', 'g', 'e', 'd'};
  int result = CBase64().decode(text.data(), text.size(), &bytes);
  if (result != CBase64::kOk) {
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "unchanged");
    return "error " + std::to_string(result);
  }
  return std::string(bytes.begin(), bytes.end());
}

TEST(Base64Test, StandardVectorsEncodeAndDecode) {
  const std::pair<std::string, std::string> vectors[] = {{"", ""},
                                                         {"f", "Zg=="},
                                                         {"fo", "Zm8="},
                                                         {"foo", "Zm9v"},
                                                         {"foob", "Zm9vYg=="},
                                                         {"fooba", "Zm9vYmE="},
                                                         {"foobar", "Zm9vYmFy"},
                                                         {"\xFB\xFF\xBF", "+/+/"}};
  for (const auto& [bytes, text] : vectors) {
    EXPECT_EQ(encoded(bytes), text);
    EXPECT_EQ(decoded(text), bytes);
  }
}

TEST(Base64Test, EveryLengthRoundTrips) {
  std::string bytes;
  for (int n = 0; n < 600; ++n) {
    ASSERT_EQ(decoded(encoded(bytes)), bytes) << n;
    EXPECT_EQ(encoded(bytes).size(), (bytes.size() + 2) / 3 * 4);
    bytes += static_cast<char>(n * 37 + 11);
  }
}

TEST(Base64Test, MalformedTextYieldsAnErrorAndNoOutput) {
  const std::string malformed = "error " + std::to_string(CBase64::kMalformedSource);
  for (const char* text :
       {"Zg=", "Zm9vY", "Zm9v\v", "Zm*v", "Z=9v", "Zg==Zg==", "Z===", "====", "Zm 9"}) {
    EXPECT_EQ(decoded(text), malformed) << text;
  }
  EXPECT_EQ(decoded("Zh=="), "f");  // unused low bits are ignored
}

TEST(Base64Test, XmlWhiteSpaceAnywhereIsSkipped) {
  for (const char* text : {"Zm9v\nYmFy", "Zm9vYmFy\r\n", " Zm 9v\tYm\r\nFy ", "\n\n Zm9vYmFy"}) {
    EXPECT_EQ(decoded(text), "foobar") << text;
  }
  EXPECT_EQ(decoded(" \n"), "");
}

TEST(Base64Test, NullSourceIsUnreadable) {
  std::string text = "unchanged";
  EXPECT_EQ(CBase64().encode(nullptr, 3, &text), CBase64::kUnreadableSource);
  EXPECT_EQ(text, "unchanged");
  EXPECT_EQ(CBase64().encode(nullptr, 0, &text), CBase64::kOk);
  EXPECT_EQ(text, "");
  std::vector<std::uint8_t> bytes(2);
  EXPECT_EQ(CBase64().decode(nullptr, 4, &bytes), CBase64::kUnreadableSource);
  EXPECT_EQ(bytes.size(), 2u);
}

}  // namespace
}  // namespace xml
