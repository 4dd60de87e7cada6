#include "platform/posix/posix_error.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "testsupport/scratch_dir.h"

namespace platform::posix {
namespace {

using testsupport::ScratchDir;

TEST(ErrorFromErrno, MissingFileOrMissingFolder) {
  ScratchDir scratch;
  EXPECT_EQ(errorFromErrno(ENOENT, ErrnoContext::kRead, scratch / "missing.txt"), kFileNotFound);
  EXPECT_EQ(errorFromErrno(ENOENT, ErrnoContext::kRead, scratch / "no/missing.txt"), kPathNotFound);
  EXPECT_EQ(errorFromErrno(ENOENT, ErrnoContext::kWrite), kFileNotFound);
  EXPECT_EQ(errorFromErrno(ENOTDIR, ErrnoContext::kRead), kPathNotFound);
}

TEST(ErrorFromErrno, ContextDecidesExistsAndUnknownErrors) {
  EXPECT_EQ(errorFromErrno(EEXIST, ErrnoContext::kWrite), kFileExists);
  EXPECT_EQ(errorFromErrno(EEXIST, ErrnoContext::kCreateFolder), kAlreadyExists);
  EXPECT_EQ(errorFromErrno(EPROTO, ErrnoContext::kRead), kReadFault);
  EXPECT_EQ(errorFromErrno(EPROTO, ErrnoContext::kWrite), kWriteFault);
}

TEST(ErrorFromErrno, WindowsCounterparts) {
  EXPECT_EQ(errorFromErrno(EACCES, ErrnoContext::kWrite), kAccessDenied);
  EXPECT_EQ(errorFromErrno(EPERM, ErrnoContext::kWrite), kAccessDenied);
  EXPECT_EQ(errorFromErrno(ENOSPC, ErrnoContext::kWrite), kDiskFull);
  EXPECT_EQ(errorFromErrno(EDQUOT, ErrnoContext::kWrite), kDiskFull);
  EXPECT_EQ(errorFromErrno(ELOOP, ErrnoContext::kRead), kCantResolveName);
  EXPECT_EQ(errorFromErrno(EIO, ErrnoContext::kRead), kIoDevice);
  EXPECT_EQ(errorFromErrno(EXDEV, ErrnoContext::kWrite), kNotSameDevice);
}

TEST(ParentOf, FolderPartOfNativePaths) {
  EXPECT_EQ(parentOf("/a/b/c.txt"), "/a/b");
  EXPECT_EQ(parentOf("/a/b/"), "/a");
  EXPECT_EQ(parentOf("/x"), "/");
  EXPECT_EQ(parentOf("name"), ".");
}

}  // namespace
}  // namespace platform::posix
