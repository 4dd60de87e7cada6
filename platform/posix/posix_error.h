// The one place where POSIX errors become Windows error codes.
//
// The layers above branch on Windows codes (a missing file, a missing
// folder, a full disk...), so every errno the POSIX backend meets passes
// through errorFromErrno.
#pragma once

#include <string>

#include "platform/error.h"

namespace platform::posix {

// What the failed call was doing; it decides the codes that depend on it.
enum class ErrnoContext {
  kRead,          // reading or querying: unknown errors are kReadFault
  kWrite,         // creating, writing, deleting, renaming: kWriteFault
  kCreateFolder,  // mkdir: EEXIST is kAlreadyExists, as CreateDirectoryA says
};

// The Windows code for errno value |err|.
//  - ENOENT is kFileNotFound, or kPathNotFound when the folder that should
//    hold |nativePath| is missing (as Windows tells the two apart); without
//    a path it is kFileNotFound;
//  - ENOTDIR (a path component is a file) is kPathNotFound;
//  - EEXIST is kFileExists, or kAlreadyExists when creating a folder;
//  - an error with no Windows counterpart is kReadFault or kWriteFault,
//    following |context|.
Error errorFromErrno(int err, ErrnoContext context, const std::string& nativePath = {});

// The folder part of a native path: everything before the last slash
// ("/" for "/x", "." for a bare name).
std::string parentOf(const std::string& nativePath);

}  // namespace platform::posix
