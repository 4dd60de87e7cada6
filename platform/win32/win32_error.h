// The one place where Windows error codes become platform::Error values.
//
// platform::Error already uses the Windows codes, so most codes pass
// unchanged. The few that Windows reports for a situation the POSIX backend
// names with another code are normalised here, so that the layers above see
// the same code from both builds for the same situation (a full disk, a
// name that exists, a file in the place of a folder...).
#pragma once

#include <cstdint>

#include "platform/error.h"

namespace platform::win32 {

// What the failed call was doing; it decides the "exists" codes.
enum class ErrorContext {
  kFile,          // files: an existing name is kFileExists
  kCreateFolder,  // CreateDirectoryW: an existing name is kAlreadyExists
};

// The platform code for Windows error |code| (a GetLastError() value or an
// LSTATUS of the registry functions):
//  - ERROR_FILE_EXISTS and ERROR_ALREADY_EXISTS are kFileExists, or
//    kAlreadyExists when creating a folder;
//  - ERROR_NO_MORE_FILES (a search that found nothing) is kFileNotFound;
//  - ERROR_DIRECTORY (a file where a folder should be) is kPathNotFound;
//  - ERROR_HANDLE_DISK_FULL is kDiskFull, ERROR_NOT_ENOUGH_MEMORY is
//    kOutOfMemory, ERROR_BUFFER_OVERFLOW (a name too long) is
//    kFilenameTooLong, ERROR_LOCK_VIOLATION is kSharingViolation,
//    ERROR_WRITE_PROTECT is kAccessDenied, ERROR_DIR_NOT_EMPTY is
//    kFileExists and ERROR_STOPPED_ON_SYMLINK is kCantResolveName;
//  - every other code is returned unchanged.
Error errorFromWin32(std::uint32_t code, ErrorContext context = ErrorContext::kFile);

// errorFromWin32(GetLastError(), context).
Error lastError(ErrorContext context = ErrorContext::kFile);

}  // namespace platform::win32
