#include "tools/payloadgen/manifest.h"

#include <gtest/gtest.h>

namespace payloadgen {
namespace {

TEST(ParseManifestTest, ReadsBlobsAndStringsSkippingCommentsAndBlankLines) {
  Manifest manifest;
  std::string error;
  ASSERT_TRUE(
      parseManifest("# heading\n"
                    "\n"
                    "blob\t138\tblobs/ostrand_km.bmp\t238\n"
                    "string\t200\tRastella\\Device\\\n"
                    "string\t238\tOstrand KM.bmp",
                    &manifest, &error))
      << error;
  ASSERT_EQ(manifest.blobs.size(), 1u);
  EXPECT_EQ(manifest.blobs[0].id, 138);
  EXPECT_EQ(manifest.blobs[0].path, "blobs/ostrand_km.bmp");
  EXPECT_EQ(manifest.blobs[0].targetStringId, 238);
  ASSERT_EQ(manifest.strings.size(), 2u);
  EXPECT_EQ(manifest.strings[0].text, "Rastella\\Device\\");
  EXPECT_EQ(manifest.strings[1].text, "Ostrand KM.bmp");  // last line without line feed
}

TEST(ParseManifestTest, StringTextRunsToTheEndOfTheLineWithoutTheCarriageReturn) {
  Manifest manifest;
  std::string error;
  ASSERT_TRUE(parseManifest("string\t5\tGerman\r\nstring\t6\ta\tb \r\n", &manifest, &error))
      << error;
  EXPECT_EQ(findString(manifest, 5)->text, "German");
  EXPECT_EQ(findString(manifest, 6)->text, "a\tb ");
}

TEST(ParseManifestTest, FindsEntriesById) {
  Manifest manifest;
  std::string error;
  ASSERT_TRUE(parseManifest("blob\t1\ta\t2\nblob\t3\tb\t4\nstring\t2\tx\n", &manifest, &error));
  ASSERT_NE(findBlob(manifest, 3), nullptr);
  EXPECT_EQ(findBlob(manifest, 3)->path, "b");
  EXPECT_EQ(findBlob(manifest, 2), nullptr);  // a string id, not a blob id
  EXPECT_EQ(findString(manifest, 1), nullptr);
}

struct BadLine {
  const char* text;
  const char* why;
};

class ParseManifestRejectsTest : public ::testing::TestWithParam<BadLine> {};

TEST_P(ParseManifestRejectsTest, NamesTheLine) {
  Manifest manifest;
  manifest.strings.push_back({99, "kept"});
  std::string error;
  const std::string text = std::string("string\t1\tEnglish\n\n") + GetParam().text + "\n";
  EXPECT_FALSE(parseManifest(text, &manifest, &error));
  EXPECT_EQ(error.rfind("line 3: ", 0), 0u) << error;
  // A failed parse leaves the caller's manifest alone.
  ASSERT_EQ(manifest.strings.size(), 1u);
  EXPECT_EQ(manifest.strings[0].id, 99);
}

INSTANTIATE_TEST_SUITE_P(Malformed, ParseManifestRejectsTest,
                         ::testing::Values(BadLine{"resource\t1\tx", "unknown kind"},
                                           BadLine{"blob 130 a.dsr 230", "spaces, not tabs"},
                                           BadLine{"blob\t130\ta.dsr", "no target string"},
                                           BadLine{"blob\t130\ta.dsr\t230\textra", "a fifth field"},
                                           BadLine{"blob\t130\t\t230", "empty path"},
                                           BadLine{"blob\tx1\ta.dsr\t230", "id not a number"},
                                           BadLine{"blob\t-5\ta.dsr\t230", "negative id"},
                                           BadLine{"blob\t0\ta.dsr\t230", "id 0"},
                                           BadLine{"blob\t65536\ta.dsr\t230", "id beyond 16 bits"},
                                           BadLine{"blob\t130\ta.dsr\t23o",
                                                   "target id not a number"},
                                           BadLine{"string\t2", "no text field"},
                                           BadLine{"string\t1\tagain", "string id used twice"},
                                           BadLine{" blob\t130\ta.dsr\t230", "leading space"}));

TEST(ParseManifestTest, RejectsARepeatedBlobIdButNotTheSameIdAsAString) {
  Manifest manifest;
  std::string error;
  EXPECT_TRUE(parseManifest("blob\t130\ta\t230\nstring\t130\tx\n", &manifest, &error)) << error;
  EXPECT_FALSE(parseManifest("blob\t130\ta\t230\nblob\t130\tb\t231\n", &manifest, &error));
  EXPECT_EQ(error, "line 2: blob id used twice");
}

}  // namespace
}  // namespace payloadgen
