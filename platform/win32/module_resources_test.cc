// Runs on the test executable's own resources, compiled from
// platform/testdata/manifest.tsv.
#include "platform/win32/module_resources.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "testsupport/scratch_dir.h"

namespace platform::win32 {
namespace {

using testsupport::ScratchDir;

std::string testFile(const std::string& name) {
  return ScratchDir::read(std::string(OKM_PLATFORM_TESTDATA) + "/" + name);
}

std::string blobBytes(Resources& resources, int id) {
  return std::string(reinterpret_cast<const char*>(resources.blobData(id)), resources.blobSize(id));
}

TEST(ModuleResources, BlobsAreTheFilesByteForByte) {
  ModuleResources resources;
  const struct {
    int id;
    const char* file;
  } cases[] = {{10, "binary.bin"}, {13, "name with spaces.txt"}, {14, "Ünïcode.dat"}};
  for (const auto& c : cases) {
    ASSERT_TRUE(resources.hasBlob(c.id)) << c.id;
    const std::string expected = testFile(c.file);
    ASSERT_FALSE(expected.empty()) << c.file;
    EXPECT_EQ(blobBytes(resources, c.id), expected) << c.id;
  }
}

TEST(ModuleResources, EmptyAndAbsentBlobs) {
  ModuleResources resources(::GetModuleHandleW(nullptr));
  EXPECT_TRUE(resources.hasBlob(11));  // an empty file is a blob of size zero
  EXPECT_NE(resources.blobData(11), nullptr);
  EXPECT_EQ(resources.blobSize(11), 0u);
  for (int id : {12, 110}) {  // the gap in the ids; a string id is not a blob id
    EXPECT_FALSE(resources.hasBlob(id)) << id;
    EXPECT_EQ(resources.blobData(id), nullptr) << id;
    EXPECT_EQ(resources.blobSize(id), 0u) << id;
  }
}

TEST(ModuleResources, StringsAreUtf8) {
  ModuleResources resources;
  const struct {
    int id;
    const char* text;
  } cases[] = {
      {1, "English"},
      {110, "Rastella\\Device\\"},
      {111, "say \"hello\"; then \\\\leave\\\\ [now]"},
      {112, "Français Русский 日本語 ☺ 😀"},
      {113, "tab\tinside\tand trailing space "},
      {114, ""},
      {115, "#not a comment: only the first field decides"},
  };
  for (const auto& c : cases) {
    std::string text = "stale";
    ASSERT_TRUE(resources.loadString(c.id, &text)) << c.id;
    EXPECT_EQ(text, c.text) << c.id;
  }
  std::string text;
  EXPECT_FALSE(resources.loadString(2, &text));
  EXPECT_FALSE(resources.loadString(10, &text));  // a blob id is not a string id
}

}  // namespace
}  // namespace platform::win32
