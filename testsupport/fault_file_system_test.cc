#include "testsupport/fault_file_system.h"

#include <gtest/gtest.h>

#include <string>

#include "testsupport/scratch_dir.h"
#include "testsupport/test_env.h"

namespace testsupport {
namespace {

using namespace platform;

class FaultFileSystemTest : public ::testing::Test {
 protected:
  // Full paths of the scratch folder, which the real file system of every
  // build takes as they stand.
  std::string at(const std::string& name) const { return scratch_ / name; }

  Error writeFile(const std::string& name, const std::string& content, std::uint32_t* written) {
    std::unique_ptr<File> file;
    Error error = files_.open(at(name), {Access::kWrite, Disposition::kCreateAlways}, &file);
    if (error != kOk) return error;
    error = file->write(content.data(), static_cast<std::uint32_t>(content.size()), written);
    const Error closed = file->close();
    return error != kOk ? error : closed;
  }

  ScratchDir scratch_;
  TestEnv env_{scratch_.path()};
  FaultFileSystem files_{env_.files()};
};

TEST_F(FaultFileSystemTest, FailsOnlyTheNthCall) {
  files_.inject(Fault::failCall(FileOp::kGetAttributes, kIoDevice, 2));
  std::uint32_t attributes = 0;
  EXPECT_EQ(files_.getAttributes(scratch_.path(), &attributes), kOk);
  EXPECT_EQ(files_.getAttributes(scratch_.path(), &attributes), kIoDevice);
  EXPECT_EQ(files_.getAttributes(scratch_.path(), &attributes), kOk);
}

TEST_F(FaultFileSystemTest, EveryCallOnMatchingPathsOnly) {
  files_.inject(Fault::failCall(FileOp::kCreateDirectory, kAccessDenied, 0, "Tessel"));
  EXPECT_EQ(files_.createDirectory(at("Ostrand CMYK")), kOk);
  EXPECT_EQ(files_.createDirectory(at("Ostrand Tessel CMYK")), kAccessDenied);
  EXPECT_EQ(files_.createDirectory(at("Ostrand Tessel CMYK")), kAccessDenied);
  EXPECT_FALSE(ScratchDir::exists(at("Ostrand Tessel CMYK")));
  files_.clearFaults();
  EXPECT_EQ(files_.createDirectory(at("Ostrand Tessel CMYK")), kOk);
}

TEST_F(FaultFileSystemTest, InjectedFailuresLeaveTheDiskUntouched) {
  scratch_.write("P", "installed");
  scratch_.write("P.out", "merged");
  files_.inject(Fault::failCall(FileOp::kOpen, kSharingViolation));
  files_.inject(Fault::failCall(FileOp::kDeleteFile, kAccessDenied));
  files_.inject(Fault::failCall(FileOp::kMoveFileReplace, kAccessDenied));
  files_.inject(Fault::failCall(FileOp::kCopyFile, kDiskFull));

  std::unique_ptr<File> file;
  EXPECT_EQ(files_.open(at("P"), {Access::kWrite, Disposition::kCreateAlways}, &file),
            kSharingViolation);
  EXPECT_EQ(file, nullptr);
  EXPECT_EQ(files_.deleteFile(at("P")), kAccessDenied);
  EXPECT_EQ(files_.moveFileReplace(at("P.out"), at("P")), kAccessDenied);
  EXPECT_EQ(files_.copyFile(at("P.out"), at("P"), false), kDiskFull);
  EXPECT_EQ(ScratchDir::read(at("P")), "installed");
  EXPECT_EQ(ScratchDir::read(at("P.out")), "merged");
}

TEST_F(FaultFileSystemTest, DiskFullStoresThePrefixThenFails) {
  files_.inject(Fault::diskFull(4, ".tmp"));
  std::uint32_t written = 99;
  EXPECT_EQ(writeFile("a.dsr", "0123456789", &written), kOk);  // path does not match
  EXPECT_EQ(writeFile("a.dsr.tmp", "0123456789", &written), kDiskFull);
  EXPECT_EQ(written, 4u);
  EXPECT_EQ(ScratchDir::read(at("a.dsr.tmp")), "0123");
  EXPECT_EQ(writeFile("b.tmp", "0123456789", &written), kOk);  // only the first matching write
}

TEST_F(FaultFileSystemTest, ShortWriteReportsSuccess) {
  files_.inject(Fault::shortWrite(3));
  std::uint32_t written = 0;
  EXPECT_EQ(writeFile("short", "abcdef", &written), kOk);
  EXPECT_EQ(written, 3u);
  EXPECT_EQ(ScratchDir::read(at("short")), "abc");
}

TEST_F(FaultFileSystemTest, FileOperationsFail) {
  scratch_.write("f", "content");
  files_.inject(Fault::failCall(FileOp::kRead, kReadFault, 1));
  files_.inject(Fault::failCall(FileOp::kFlush, kIoDevice, 1));
  files_.inject(Fault::failCall(FileOp::kClose, kIoDevice, 1));
  std::unique_ptr<File> file;
  ASSERT_EQ(files_.open(at("f"), {}, &file), kOk);
  char buffer[8];
  std::uint32_t got = 5;
  EXPECT_EQ(file->read(buffer, sizeof buffer, &got), kReadFault);
  EXPECT_EQ(got, 0u);
  EXPECT_EQ(file->read(buffer, sizeof buffer, &got), kOk);
  EXPECT_EQ(got, 7u);
  EXPECT_EQ(file->flush(), kIoDevice);
  EXPECT_EQ(file->close(), kIoDevice);
  EXPECT_EQ(file->close(), kOk);  // the failed close did not reach the real file
}

TEST_F(FaultFileSystemTest, RecordsEveryCallInOrder) {
  files_.inject(Fault::failCall(FileOp::kFindExactName, kFileNotFound));
  std::unique_ptr<File> file;
  EXPECT_EQ(files_.findExactName(at("P")), kFileNotFound);
  ASSERT_EQ(files_.open(at("P.tmp"), {Access::kWrite, Disposition::kCreateAlways}, &file), kOk);
  std::uint32_t written = 0;
  EXPECT_EQ(file->write("x", 1, &written), kOk);
  EXPECT_EQ(file->close(), kOk);
  EXPECT_EQ(files_.copyFile(at("P.tmp"), at("P.out"), false), kOk);
  EXPECT_EQ(files_.deleteFile(at("P.tmp")), kOk);
  EXPECT_EQ(files_.moveFileReplace(at("P.out"), at("P")), kOk);
  EXPECT_EQ(files_.syncParentDirectory(at("P")), kOk);
  const std::vector<FileCall> expected = {
      {FileOp::kFindExactName, at("P"), ""},
      {FileOp::kOpen, at("P.tmp"), ""},
      {FileOp::kWrite, at("P.tmp"), ""},
      {FileOp::kClose, at("P.tmp"), ""},
      {FileOp::kCopyFile, at("P.tmp"), at("P.out")},
      {FileOp::kDeleteFile, at("P.tmp"), ""},
      {FileOp::kMoveFileReplace, at("P.out"), at("P")},
      {FileOp::kSyncParentDirectory, at("P"), ""},
  };
  EXPECT_EQ(files_.calls(), expected);
  EXPECT_EQ(ScratchDir::read(at("P")), "x");
}

}  // namespace
}  // namespace testsupport
