#include "platform/win32/win32_error.h"

#include <gtest/gtest.h>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace platform::win32 {
namespace {

struct Case {
  std::uint32_t code;
  ErrorContext context;
  Error expected;
};

TEST(ErrorFromWin32, NormalisesToThePosixBackendsCodes) {
  const Case cases[] = {
      {ERROR_SUCCESS, ErrorContext::kFile, kOk},
      {ERROR_FILE_NOT_FOUND, ErrorContext::kFile, kFileNotFound},
      {ERROR_PATH_NOT_FOUND, ErrorContext::kFile, kPathNotFound},
      {ERROR_ACCESS_DENIED, ErrorContext::kFile, kAccessDenied},
      {ERROR_SHARING_VIOLATION, ErrorContext::kFile, kSharingViolation},
      {ERROR_MORE_DATA, ErrorContext::kFile, kMoreData},
      {ERROR_FILE_EXISTS, ErrorContext::kFile, kFileExists},
      {ERROR_ALREADY_EXISTS, ErrorContext::kFile, kFileExists},
      {ERROR_FILE_EXISTS, ErrorContext::kCreateFolder, kAlreadyExists},
      {ERROR_ALREADY_EXISTS, ErrorContext::kCreateFolder, kAlreadyExists},
      {ERROR_NO_MORE_FILES, ErrorContext::kFile, kFileNotFound},
      {ERROR_DIRECTORY, ErrorContext::kFile, kPathNotFound},
      {ERROR_HANDLE_DISK_FULL, ErrorContext::kFile, kDiskFull},
      {ERROR_DISK_FULL, ErrorContext::kFile, kDiskFull},
      {ERROR_NOT_ENOUGH_MEMORY, ErrorContext::kFile, kOutOfMemory},
      {ERROR_BUFFER_OVERFLOW, ErrorContext::kFile, kFilenameTooLong},
      {ERROR_LOCK_VIOLATION, ErrorContext::kFile, kSharingViolation},
      {ERROR_WRITE_PROTECT, ErrorContext::kFile, kAccessDenied},
      {ERROR_DIR_NOT_EMPTY, ErrorContext::kFile, kFileExists},
      {681, ErrorContext::kFile, kCantResolveName},  // ERROR_STOPPED_ON_SYMLINK
      {ERROR_INVALID_NAME, ErrorContext::kFile,
       Error{ERROR_INVALID_NAME}},  // others pass unchanged
  };
  for (const Case& c : cases) {
    EXPECT_EQ(errorFromWin32(c.code, c.context), c.expected) << "code " << c.code;
  }
}

TEST(ErrorFromWin32, LastErrorReadsTheThreadsCode) {
  ::SetLastError(ERROR_HANDLE_DISK_FULL);
  EXPECT_EQ(lastError(), kDiskFull);
}

}  // namespace
}  // namespace platform::win32
