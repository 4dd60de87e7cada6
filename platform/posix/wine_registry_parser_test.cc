#include "platform/posix/wine_registry_parser.h"

#include <gtest/gtest.h>

#include <iterator>
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
  EXPECT_TRUE(hive.exists(""));
  EXPECT_TRUE(hive.exists("software"));
  EXPECT_TRUE(hive.exists("software\\harvel\\harvel rastella dual"));
  EXPECT_FALSE(hive.exists("software\\harvel\\harvel rastella"));
  EXPECT_FALSE(hive.exists("software\\harvel\\harvel rastella dual\\installer\\x"));
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

TEST(WineRegistryParser, DeepKeyIsStoredOnceWithoutItsAncestors) {
  std::string section;
  std::string path;
  for (int depth = 0; depth < 200000; ++depth) {
    section += depth == 0 ? "k" : "\\\\k";
    path += depth == 0 ? "k" : "\\k";
  }
  const RegistryHive hive =
      parseWineRegistry("WINE REGISTRY Version 2\n[" + section + "] 1\n\"V\"=\"deep\"\n");
  EXPECT_EQ(hive.keys.size(), 2u);  // the root and the one section
  EXPECT_EQ(hive.find(path)->at("v").data, terminated("deep"));
  EXPECT_TRUE(hive.exists(path.substr(0, 100001)));  // an ancestor 50000 deep
  EXPECT_EQ(hive.find(path.substr(0, 100001)), nullptr);
  EXPECT_FALSE(hive.exists(path.substr(0, 100000)));  // "k\\...\\k\\" is no key name
  EXPECT_FALSE(hive.exists(path + "\\k"));
}

// Raw bytes that are not UTF-8 (here Latin-1) read as one U+FFFD each and
// never take the quote, escape or text after them.
TEST(WineRegistryParser, BytesThatAreNotUtf8NeverSwallowWhatFollows) {
  const std::string fffd = "\xef\xbf\xbd";
  const struct {
    std::string quoted;
    std::string value;
  } cases[] = {
      {"\"Jos\xe9\"", "Jos" + fffd},
      {"\"Jos\xe9 X\"", "Jos" + fffd + " X"},
      {"\"\xc3\"", fffd},                                // lead byte without continuation
      {"\"\xe0\x80\\\"q\"", fffd + fffd + "\"q"},        // then an escaped quote
      {"\"\xc0\xaf\"", fffd + fffd},                     // overlong '/'
      {"\"\xed\xa0\x80\"", fffd + fffd + fffd},          // a surrogate
      {"\"a\\\xe9\"", "a" + fffd},                       // escaped Latin-1 byte
      {"\"gr\xc3\xbc\xc3\x9f\"", "gr\xc3\xbc\xc3\x9f"},  // well-formed UTF-8 stays
      {"str(2):\"Jos\xe9\"", "Jos" + fffd},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.quoted);
    const RegistryHive hive = parseWineRegistry(
        "WINE REGISTRY Version 2\n[K\xe9] 1\n\"V\xe9\"=" + c.quoted + "\n\"Next\"=\"kept\"\n");
    const std::string key = "k" + fffd;
    ASSERT_NE(hive.find(key), nullptr);
    EXPECT_EQ(valueOf(hive, key, "v" + fffd).data, terminated(c.value));
    EXPECT_EQ(valueOf(hive, key, "next").data, terminated("kept"));
  }
}

TEST(WineRegistryParser, DamagedLinesLoseOnlyWhatTheyHold) {
  const char text[] =
      "WINE REGISTRY Version 2\n"
      "[K] 1\n"
      "\"Nul\"=\"a\0b\"\n"
      "\"EscapedNul\"=\"a\\\0\"\n"
      "\"Open\"=\"a\\\"\n"
      "\"Junk\"=\x01\x02\xff\"\n"
      "\x00\x01[\xff\n"
      "\"Good\"=\"kept\"\n"
      "[Broken\\\\Key 1\n"
      "\"Lost\"=\"with its key line\"\n"
      "[L\0] 1\n"
      "\"AlsoLost\"=\"with its key line\"\n"
      "[M] 1\n"
      "\"Hex\"=hex:01,\\\n";
  const RegistryHive hive = parseWineRegistry(std::string_view(text, sizeof text - 1));
  ASSERT_NE(hive.find("k"), nullptr);
  EXPECT_EQ(hive.find("k")->size(), 1u);
  EXPECT_EQ(valueOf(hive, "k", "good").data, terminated("kept"));
  EXPECT_FALSE(hive.exists("broken"));
  EXPECT_EQ(hive.keys.size(), 3u);  // the root, K and M
  EXPECT_EQ(valueOf(hive, "m", "hex").data, Bytes{1});
}

// Any bytes at all: the parser ends, without crashing, on every one of a
// run of pseudo-random texts built from the pieces of the format.
TEST(WineRegistryParser, ArbitraryBytesNeverCrashOrHang) {
  const char* pieces[] = {"\n",   "[",       "]",        "\"",     "\\", "=",  "@",
                          "hex:", "hex(2):", "str(7):",  "dword:", ",",  "ff", "\\x",
                          "\\0",  "\xe9",    "\xf0\x9f", "\0",     " ",  "\r"};
  std::uint32_t seed = 12345;
  for (int round = 0; round < 2000; ++round) {
    std::string text = "WINE REGISTRY Version 2\n";
    for (int i = 0; i < 200; ++i) {
      seed = seed * 1664525u + 1013904223u;
      text += pieces[(seed >> 16) % std::size(pieces)];
    }
    const RegistryHive hive = parseWineRegistry(text);
    EXPECT_TRUE(hive.exists(""));
  }
}

TEST(WineRegistryParser, NormalizesCallerKeyPaths) {
  EXPECT_EQ(normalizeKeyPath("Software\\Harvel\\"), "software\\harvel");
  EXPECT_EQ(normalizeKeyPath("\\A\\\\B"), "a\\b");
  EXPECT_EQ(normalizeKeyPath(""), "");
  EXPECT_EQ(foldCase("AbC\xc3\x89"), "abc\xc3\x89");  // only ASCII letters fold
}

}  // namespace
}  // namespace platform::posix
