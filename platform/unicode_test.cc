#include "platform/unicode.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(Unicode, Utf16ToUtf8) {
  EXPECT_EQ(utf16ToUtf8(u"A\u00e9\u65e5"), "A\xc3\xa9\xe6\x97\xa5");
  EXPECT_EQ(utf16ToUtf8(u"\U0001F600"), "\xf0\x9f\x98\x80");  // surrogate pair
  EXPECT_EQ(utf16ToUtf8(std::u16string(u"a\0b", 3)), std::string("a\0b", 3));
  // Unpaired surrogates, high and low, become U+FFFD.
  EXPECT_EQ(utf16ToUtf8(std::u16string{0xD800, u'x', 0xDC00}), "\xef\xbf\xbdx\xef\xbf\xbd");
}

TEST(Unicode, Utf16LeBytes) {
  const std::uint8_t bytes[] = {0x41, 0x00, 0xe9, 0x00, 0x00, 0x00, 0x42};
  EXPECT_EQ(utf16LeBytesToUtf8(bytes, sizeof bytes), std::string("A\xc3\xa9\0", 4));
}

TEST(Unicode, Utf8ToUtf16) {
  EXPECT_EQ(utf8ToUtf16("A\xc3\xa9\xe6\x97\xa5\xf0\x9f\x98\x80"),
            std::u16string(u"A\u00e9\u65e5\U0001F600"));
  // Malformed input: a stray continuation byte, an overlong form, a
  // truncated sequence; each bad byte becomes U+FFFD and decoding goes on.
  EXPECT_EQ(utf8ToUtf16("\x80"
                        "a"),
            std::u16string(u"\ufffda"));
  EXPECT_EQ(utf8ToUtf16("\xc0\x80"), std::u16string(u"\ufffd\ufffd"));
  EXPECT_EQ(utf8ToUtf16("b\xe6\x97"), std::u16string(u"b\ufffd\ufffd"));
}

TEST(Unicode, RoundTripOfEveryLanguageSample) {
  const std::string samples[] = {"Français", "Русский",  "日本語",   "한국어", "العربية",
                                 "Türkçe",   "简体中文", "繁體中文", "😀 ok"};
  for (const std::string& sample : samples) {
    EXPECT_EQ(utf16ToUtf8(utf8ToUtf16(sample)), sample);
  }
}

}  // namespace
}  // namespace platform
