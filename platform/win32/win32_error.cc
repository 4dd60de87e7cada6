#include "platform/win32/win32_error.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace platform::win32 {
namespace {

// Not named by the MinGW headers.
constexpr std::uint32_t kStoppedOnSymlink = 681;  // ERROR_STOPPED_ON_SYMLINK

}  // namespace

Error errorFromWin32(std::uint32_t code, ErrorContext context) {
  switch (code) {
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      // CreateDirectoryW says ERROR_ALREADY_EXISTS, CreateFileW and CopyFile
      // say ERROR_FILE_EXISTS; the POSIX backend tells them apart by call.
      return context == ErrorContext::kCreateFolder ? kAlreadyExists : kFileExists;
    case ERROR_NO_MORE_FILES:
      return kFileNotFound;
    case ERROR_DIRECTORY:
      return kPathNotFound;
    case ERROR_HANDLE_DISK_FULL:
      return kDiskFull;
    case ERROR_NOT_ENOUGH_MEMORY:
      return kOutOfMemory;
    case ERROR_BUFFER_OVERFLOW:
      return kFilenameTooLong;
    case ERROR_LOCK_VIOLATION:
      return kSharingViolation;
    case ERROR_WRITE_PROTECT:
      return kAccessDenied;
    case ERROR_DIR_NOT_EMPTY:
      return kFileExists;
    case kStoppedOnSymlink:
      return kCantResolveName;
    default:
      return Error{code};
  }
}

Error lastError(ErrorContext context) { return errorFromWin32(::GetLastError(), context); }

}  // namespace platform::win32
