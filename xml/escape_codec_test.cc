#include "xml/escape_codec.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace xml {
namespace {

using namespace std::string_literals;

std::string decodeError(const std::string& text) {
  try {
    decodeEscapedString(text);
  } catch (const std::exception& error) {
    return error.what();
  }
  return "no error";
}

TEST(EscapeCodecTest, ControlBytesMarkupAndHighBytesAreEscaped) {
  EXPECT_EQ(encodeEscapedString("\x1B"
                                "E\n&"),
            "\\x1BE\\x0A\\x26");
  EXPECT_EQ(encodeEscapedString("\"'<>\\"), "\\x22\\x27\\x3C\\x3E\\x5C");
  EXPECT_EQ(encodeEscapedString("a\0b\x7F\xFF"s), "a\\x00b\\x7F\\xFF");
  EXPECT_EQ(encodeEscapedString(" ~?JOBNAME?"), " ~?JOBNAME?");
  EXPECT_EQ(encodeEscapedString(""), "");
}

TEST(EscapeCodecTest, EveryByteSurvivesARoundTrip) {
  std::string all;
  for (int byte = 0; byte < 256; ++byte) all += static_cast<char>(byte);
  const std::string escaped = encodeEscapedString(all);
  EXPECT_EQ(escaped.size(), 95u - 6u + (256u - 95u + 6u) * 4u);
  EXPECT_EQ(escaped.find_first_of("\"&'<>"), std::string::npos);
  EXPECT_EQ(decodeEscapedString(escaped), all);
}

TEST(EscapeCodecTest, DecodingKeepsZeroBytesAndCopiesOtherCharacters) {
  EXPECT_EQ(decodeEscapedString("\\x00ab"), "\0ab"s);
  EXPECT_EQ(decodeEscapedString("<&>\\x41"), "<&>A");
  EXPECT_EQ(decodeEscapedString("\\x1b"), "\x1B");  // lower-case hex is read too
}

TEST(EscapeCodecTest, HexPairIsReadAsStrtolReadsIt) {
  EXPECT_EQ(decodeEscapedString("\\x4G"), "\x04");
  EXPECT_EQ(decodeEscapedString("\\xGG"), "\0"s);
  EXPECT_EQ(decodeEscapedString("\\x 7"), "\x07");
  EXPECT_EQ(decodeEscapedString("\\x-1"), "\xFF");
  EXPECT_EQ(decodeEscapedString("\\x+F"), "\x0F");
}

TEST(EscapeCodecTest, MalformedEscapesFailWithTheirMessages) {
  const std::string invalid = "decodeEscapedString(): invalid source string";
  const std::string unrecognized = "decodeEscapedString(): unrecognized escape sequence";
  EXPECT_EQ(decodeError("abc\\"), invalid);
  EXPECT_EQ(decodeError("\\x4"), invalid);
  EXPECT_EQ(decodeError("\\x"), invalid);
  EXPECT_EQ(decodeError("\\n"), unrecognized);
  EXPECT_EQ(decodeError("\\X41"), unrecognized);
  EXPECT_EQ(decodeError("\\\\"), unrecognized);
  EXPECT_EQ(decodeError("\\n\\"), unrecognized);  // the first fault found wins
}

}  // namespace
}  // namespace xml
