#include "platform/posix/embedded_resources.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "testsupport/scratch_dir.h"

namespace platform {
// Generated from platform/testdata/manifest.tsv (okm_platform_test_payload).
const EmbeddedTable& testPayload();
}  // namespace platform

namespace platform::posix {
namespace {

using testsupport::ScratchDir;

std::string testFile(const std::string& name) {
  return ScratchDir::read(std::string(OKM_PLATFORM_TESTDATA) + "/" + name);
}

std::string blobBytes(Resources& resources, int id) {
  return std::string(reinterpret_cast<const char*>(resources.blobData(id)), resources.blobSize(id));
}

TEST(EmbeddedResources, BlobsAreTheFilesByteForByte) {
  EmbeddedResources resources(testPayload());
  ASSERT_TRUE(resources.hasBlob(10));
  EXPECT_EQ(blobBytes(resources, 10), testFile("binary.bin"));
  EXPECT_EQ(blobBytes(resources, 13), testFile("name with spaces.txt"));
  EXPECT_EQ(blobBytes(resources, 14), testFile("Ünïcode.dat"));
  EXPECT_EQ(resources.blobSize(10), 14u);
}

TEST(EmbeddedResources, EmptyAndAbsentBlobs) {
  EmbeddedResources resources(testPayload());
  EXPECT_TRUE(resources.hasBlob(11));  // an empty file is a blob of size zero
  EXPECT_NE(resources.blobData(11), nullptr);
  EXPECT_EQ(resources.blobSize(11), 0u);
  EXPECT_FALSE(resources.hasBlob(12));  // the gap in the ids
  EXPECT_EQ(resources.blobData(12), nullptr);
  EXPECT_EQ(resources.blobSize(12), 0u);
  EXPECT_FALSE(resources.hasBlob(110));  // a string id is not a blob id
}

TEST(EmbeddedResources, StringsKeepEveryByte) {
  EmbeddedResources resources(testPayload());
  std::string text;
  ASSERT_TRUE(resources.loadString(110, &text));
  EXPECT_EQ(text, "Rastella\\Device\\");
  ASSERT_TRUE(resources.loadString(111, &text));
  EXPECT_EQ(text, "say \"hello\"; then \\\\leave\\\\ [now]");
  ASSERT_TRUE(resources.loadString(112, &text));
  EXPECT_EQ(text, "Français Русский 日本語 ☺ 😀");
  ASSERT_TRUE(resources.loadString(113, &text));
  EXPECT_EQ(text, "tab\tinside\tand trailing space ");
  ASSERT_TRUE(resources.loadString(114, &text));
  EXPECT_EQ(text, "");
  ASSERT_TRUE(resources.loadString(115, &text));
  EXPECT_EQ(text, "#not a comment: only the first field decides");
  EXPECT_FALSE(resources.loadString(2, &text));
}

TEST(EmbeddedResources, GeneratedTableFollowsTheManifest) {
  const EmbeddedTable& table = testPayload();
  ASSERT_EQ(table.blobs.size(), 4u);
  EXPECT_EQ(table.blobs[0].id, 10);
  EXPECT_EQ(table.blobs[3].id, 14);
  ASSERT_EQ(table.strings.size(), 7u);
  EXPECT_EQ(table.strings[0].text, "English");
  // The product's table is generated the same way; its ids are unique.
  std::set<int> ids;
  for (const EmbeddedBlob& blob : embeddedPayload().blobs) {
    EXPECT_TRUE(ids.insert(blob.id).second) << blob.id;
  }
}

}  // namespace
}  // namespace platform::posix
