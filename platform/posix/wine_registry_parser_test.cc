#include "platform/posix/wine_registry_parser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace platform::posix {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes text(const std::string& s) { return Bytes(s.begin(), s.end()); }
Bytes terminated(const std::string& s) {
  Bytes b = text(s);
  b.push_back(0);
  return b;
}

const RegistryValue& valueOf(const RegistryHive& hive, const std::string& key,
                             const std::string& name) {
  return hive.keys.at(key).at(name);
}

TEST(WineRegistryParser, ReadsEveryValueForm) {
  const RegistryHive hive = parseWineRegistry(
      "WINE REGISTRY Version 2\n"
      ";; All keys relative to \\\\Machine\n"
      "\n"
      "#arch=win64\n"
      "\n"
      "[Software\\\\Test] 1700000000\n"
      "#time=1da1234567890ab\n"
      "@=\"the default\"\n"
      "\"Sz\"=\"plain\"\n"
      "\"Expand\"=str(2):\"%SystemRoot%\\\\system32\"\n"
      "\"Multi\"=str(7):\"one\\0two\\0\"\n"
      "\"Dword\"=dword:0000002a\n"
      "\"Binary\"=hex:01,ff,00\n"
      "\"Empty\"=hex:\n"
      "\"Qword\"=hex(b):01,02,03,04,05,06,07,08\n"
      "\"WideExpand\"=hex(2):25,00,41,00,e9,00,00,00\n");
  EXPECT_EQ(valueOf(hive, "software\\test", "").data, terminated("the default"));
  EXPECT_EQ(valueOf(hive, "software\\test", "sz").type, kRegSz);
  EXPECT_EQ(valueOf(hive, "software\\test", "sz").data, terminated("plain"));
  EXPECT_EQ(valueOf(hive, "software\\test", "expand").type, kRegExpandSz);
  EXPECT_EQ(valueOf(hive, "software\\test", "expand").data, terminated("%SystemRoot%\\system32"));
  EXPECT_EQ(valueOf(hive, "software\\test", "multi").type, kRegMultiSz);
  EXPECT_EQ(valueOf(hive, "software\\test", "multi").data,
            (Bytes{'o', 'n', 'e', 0, 't', 'w', 'o', 0, 0}));
  EXPECT_EQ(valueOf(hive, "software\\test", "dword").type, kRegDword);
  EXPECT_EQ(valueOf(hive, "software\\test", "dword").data, (Bytes{0x2a, 0, 0, 0}));
  EXPECT_EQ(valueOf(hive, "software\\test", "binary").type, kRegBinary);
  EXPECT_EQ(valueOf(hive, "software\\test", "binary").data, (Bytes{0x01, 0xff, 0x00}));
  EXPECT_TRUE(valueOf(hive, "software\\test", "empty").data.empty());
  EXPECT_EQ(valueOf(hive, "software\\test", "qword").type, kRegQword);
  EXPECT_EQ(valueOf(hive, "software\\test", "qword").data, (Bytes{1, 2, 3, 4, 5, 6, 7, 8}));
  // UTF-16LE text of hex(2) comes out as UTF-8: "%A\u00e9" and its NUL.
  EXPECT_EQ(valueOf(hive, "software\\test", "wideexpand").type, kRegExpandSz);
  EXPECT_EQ(valueOf(hive, "software\\test", "wideexpand").data, terminated("%A\xc3\xa9"));
}

TEST(WineRegistryParser, DecodesEscapesAndNonAsciiText) {
  const RegistryHive hive = parseWineRegistry(
      "WINE REGISTRY Version 2\n"
      "[K\\\\Caf\\xe9] 1\n"
      "\"Quote \\\"q\\\"\"=\"a\\\\b\\\"c\\n\\r\\t|\\101|\\0end\"\n"
      // \x00e9 followed by a hex digit: Wine writes four digits then.
      "\"Accent\"=\"\\x00e9a\"\n"
      "\"Smiley\"=\"\\xd83d\\xde00\"\n"
      "\"Kanji\"=\"\\x65e5\\x672c\"\n"
      "\"Lone\"=\"\\xd800!\"\n"
      "\"Raw\"=\"gr\xc3\xbc\xc3\x9f\"\n");
  const RegistryValues& values = hive.keys.at("k\\caf\xc3\xa9");
  EXPECT_EQ(values.at("quote \"q\"").data, terminated(std::string("a\\b\"c\n\r\t|A|\0end", 15)));
  EXPECT_EQ(values.at("accent").data, terminated("\xc3\xa9"
                                                 "a"));
  EXPECT_EQ(values.at("smiley").data, terminated("\xf0\x9f\x98\x80"));
  EXPECT_EQ(values.at("kanji").data, terminated("\xe6\x97\xa5\xe6\x9c\xac"));
  EXPECT_EQ(values.at("lone").data, terminated("\xef\xbf\xbd!"));  // unpaired surrogate
  EXPECT_EQ(values.at("raw").data, terminated("gr\xc3\xbc\xc3\x9f"));
}

TEST(WineRegistryParser, JoinsHexContinuationLines) {
  const RegistryHive hive = parseWineRegistry(
      "WINE REGISTRY Version 2\r\n"
      "[K] 1\r\n"
      "\"Long\"=hex:00,01,02,03,\\\r\n"
      "  04,05,\\\r\n"
      "  06\r\n"
      "\"After\"=dword:00000001\r\n");
  EXPECT_EQ(valueOf(hive, "k", "long").data, (Bytes{0, 1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(valueOf(hive, "k", "after").data, (Bytes{1, 0, 0, 0}));
}

TEST(WineRegistryParser, KeysExistWithTheirAncestorsAndFoldedNames) {
  const RegistryHive hive = parseWineRegistry(
      "WINE REGISTRY Version 2\n"
      "[Software\\\\Harvel\\\\Harvel Rastella Dual\\\\Installer] 1\n"
      "\"InstallPath\"=\"C:\\\\Host\\\\\"\n"
      "[SOFTWARE\\\\harvel] 2\n"
      "\"INSTALLPATH\"=\"second section of the same key\"\n");
  EXPECT_TRUE(hive.keys.contains(""));
  EXPECT_TRUE(hive.keys.contains("software"));
  EXPECT_TRUE(hive.keys.contains("software\\harvel\\harvel rastella dual"));
  EXPECT_EQ(valueOf(hive, "software\\harvel\\harvel rastella dual\\installer", "installpath").data,
            terminated("C:\\Host\\"));
  EXPECT_EQ(valueOf(hive, "software\\harvel", "installpath").data,
            terminated("second section of the same key"));
}

TEST(WineRegistryParser, SkipsWhatItCannotRead) {
  const RegistryHive hive = parseWineRegistry(
      "WINE REGISTRY Version 2\n"
      "\"Orphan\"=\"value before any key\"\n"
      "[K] 1\n"
      "\"BadHex\"=hex:01,zz\n"
      "\"Unterminated\"=\"no closing quote\n"
      "\"Unknown\"=foo:12\n"
      "\"Good\"=\"kept\"\n");
  ASSERT_TRUE(hive.keys.contains("k"));
  EXPECT_EQ(hive.keys.at("k").size(), 1u);
  EXPECT_EQ(valueOf(hive, "k", "good").data, terminated("kept"));
  EXPECT_EQ(hive.keys.at("").size(), 0u);

  const RegistryHive wrongHeader = parseWineRegistry("REGEDIT4\n[K] 1\n\"A\"=\"b\"\n");
  EXPECT_EQ(wrongHeader.keys.size(), 1u);  // only the root
}

TEST(WineRegistryParser, NormalizesCallerKeyPaths) {
  EXPECT_EQ(normalizeKeyPath("Software\\Harvel\\"), "software\\harvel");
  EXPECT_EQ(normalizeKeyPath("\\A\\\\B"), "a\\b");
  EXPECT_EQ(normalizeKeyPath(""), "");
  EXPECT_EQ(foldCase("AbC\xc3\x89"), "abc\xc3\x89");  // only ASCII letters fold
}

}  // namespace
}  // namespace platform::posix
