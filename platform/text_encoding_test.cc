#include "platform/text_encoding.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

struct Conversion {
  const char* name;
  std::string_view bytes;
  std::string_view utf8;
};

// The same table runs in both builds, so iconv and MultiByteToWideChar are
// held to the same results.
TEST(TextEncoding, ConvertsEveryFamilyAlike) {
  const Conversion kConversions[] = {
      {"windows-1252", "caf\xe9 \x80", "caf\xc3\xa9 \xe2\x82\xac"},
      {"CP1252", "\xe9", "\xc3\xa9"},
      {"windows-1251", "\xcf\xf0\xe8", "\xd0\x9f\xd1\x80\xd0\xb8"},
      {"ISO-8859-1", "\xe9\xa4", "\xc3\xa9\xc2\xa4"},
      {"iso_8859-15", "\xa4", "\xe2\x82\xac"},
      // Windows' Shift_JIS: a backslash stays a backslash, not a yen sign.
      {"Shift_JIS", "\x93\xfa\x96\x7b\x8c\xea\\", "\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e\\"},
      {"EUC-JP", "\xc6\xfc\xcb\xdc\xb8\xec", "\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e"},
      {"GB2312", "\xd6\xd0\xce\xc4", "\xe4\xb8\xad\xe6\x96\x87"},
      {"Big5", "\xa4\xa4\xa4\xe5", "\xe4\xb8\xad\xe6\x96\x87"},
      {"EUC-KR", "\xc7\xd1\xb1\xb9\xbe\xee", "\xed\x95\x9c\xea\xb5\xad\xec\x96\xb4"},
  };
  for (const Conversion& conversion : kConversions) {
    SCOPED_TRACE(conversion.name);
    const LegacyEncoding* encoding = findLegacyEncoding(conversion.name);
    ASSERT_NE(encoding, nullptr);
    std::string utf8;
    EXPECT_TRUE(convertToUtf8(*encoding, conversion.bytes, &utf8));
    EXPECT_EQ(utf8, conversion.utf8);
  }
}

TEST(TextEncoding, RefusesWhatIsNoCharacter) {
  std::string utf8 = "old";
  // A Shift_JIS lead byte without its trail byte.
  EXPECT_FALSE(convertToUtf8(*findLegacyEncoding("shift-jis"), "ab\x93", &utf8));
  EXPECT_EQ(utf8, "");
}

TEST(TextEncoding, KnowsOnlyLegacyNames) {
  for (const char* name : {"UTF-8", "UTF-16", "ebcdic", ""}) {
    EXPECT_EQ(findLegacyEncoding(name), nullptr) << name;
  }
  EXPECT_EQ(findLegacyEncoding("X-CP1250")->codePage, 1250u);
  EXPECT_EQ(findLegacyEncoding("iso8859-2")->codePage, 28592u);
}

}  // namespace
}  // namespace platform
