#include "testsupport/scratch_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace testsupport {
namespace {

TEST(ScratchDirTest, IsAFreshFolderRemovedWithItsContent) {
  std::string kept;
  {
    ScratchDir scratch;
    ScratchDir other;
    kept = scratch.path();
    EXPECT_NE(scratch.path(), other.path());
    EXPECT_TRUE(std::filesystem::is_empty(scratch.path()));
    scratch.write("a/b/file.bin", "x");
    ScratchDir::makeReadOnly(scratch / "a/b/file.bin");
  }
  EXPECT_FALSE(ScratchDir::exists(kept));
}

TEST(ScratchDirTest, WritesAndReadsBytesAsTheyAre) {
  ScratchDir scratch;
  const std::string bytes("a\0b\r\n\n\x1a", 7);
  const std::string full = scratch.write("sub/folder/data.bin", bytes);
  EXPECT_EQ(full, scratch / "sub/folder/data.bin");
  EXPECT_EQ(ScratchDir::read(full), bytes);
  EXPECT_EQ(std::filesystem::file_size(full), bytes.size());
  EXPECT_EQ(ScratchDir::read(scratch / "missing"), "");
}

TEST(ScratchDirTest, MkdirsMakesEveryFolderOnTheWay) {
  ScratchDir scratch;
  const std::string full = scratch.mkdirs("one/two");
  EXPECT_TRUE(std::filesystem::is_directory(full));
  EXPECT_TRUE(ScratchDir::exists(scratch / "one"));
  EXPECT_FALSE(ScratchDir::exists(scratch / "three"));
}

TEST(ScratchDirTest, ReadOnlyFileHasNoWritePermission) {
  namespace fs = std::filesystem;
  ScratchDir scratch;
  const std::string full = scratch.write("ro.bin", "keep");
  ScratchDir::makeReadOnly(full);
  EXPECT_EQ(fs::status(full).permissions() & fs::perms::owner_write, fs::perms::none);
  EXPECT_EQ(ScratchDir::read(full), "keep");
}

TEST(ScratchDirTest, DanglingLinkExistsAsALink) {
  ScratchDir scratch;
  const std::string link = scratch / "link";
  if (!ScratchDir::makeSymlink(scratch / "nowhere", link)) {
    GTEST_SKIP() << "this system does not let us create symbolic links";
  }
  EXPECT_TRUE(ScratchDir::exists(link));
  EXPECT_TRUE(ScratchDir::isLink(link));
  EXPECT_FALSE(ScratchDir::exists(scratch / "nowhere"));
  EXPECT_FALSE(ScratchDir::isLink(scratch.write("plain", "")));
}

}  // namespace
}  // namespace testsupport
