#include "platform/file_system_wrapper.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "testsupport/fault_file_system.h"
#include "testsupport/memory_file_system.h"

namespace platform {
namespace {

using testsupport::FaultFileSystem;
using testsupport::FileCall;
using testsupport::FileOp;
using testsupport::MemoryFileSystem;

// Every call reaches the target as the same call with the same paths, also
// those the interface answers by default when a wrapper leaves them out.
TEST(FileSystemWrapperTest, ForwardsEveryCallToItsTarget) {
  MemoryFileSystem memory;
  memory.put("P", "installed");
  FaultFileSystem target(memory);
  FileSystemWrapper files(&target);

  std::unique_ptr<File> file;
  std::unique_ptr<FolderLock> lock;
  std::uint32_t attributes = 0;
  FileIdentity id;
  // Only which calls reach the target counts here, not their results.
  EXPECT_EQ(files.open("P", {}, &file), kOk);
  (void)files.getAttributes("P", &attributes);
  (void)files.createDirectory("D");
  (void)files.copyFile("P", "P.out", false);
  (void)files.moveFileReplace("P.out", "P.tmp");
  (void)files.deleteFile("P.tmp");
  (void)files.findExactName("P");
  (void)files.syncParentDirectory("P");
  (void)files.lockFolder("P", &lock);
  (void)files.identity("P", &id);
  (void)files.clearReadOnly("P");

  const std::vector<FileCall> expected = {
      {FileOp::kOpen, "P", ""},
      {FileOp::kGetAttributes, "P", ""},
      {FileOp::kCreateDirectory, "D", ""},
      {FileOp::kCopyFile, "P", "P.out"},
      {FileOp::kMoveFileReplace, "P.out", "P.tmp"},
      {FileOp::kDeleteFile, "P.tmp", ""},
      {FileOp::kFindExactName, "P", ""},
      {FileOp::kSyncParentDirectory, "P", ""},
      {FileOp::kLockFolder, "P", ""},
      {FileOp::kIdentity, "P", ""},
      {FileOp::kClearReadOnly, "P", ""},
  };
  EXPECT_EQ(target.calls(), expected);
  EXPECT_EQ(memory.paths(), std::vector<std::string>{"P"});
}

}  // namespace
}  // namespace platform
