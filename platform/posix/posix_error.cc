#include "platform/posix/posix_error.h"

#include <sys/stat.h>

#include <cerrno>

namespace platform::posix {

std::string parentOf(const std::string& nativePath) {
  std::string path = nativePath;
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  const auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

Error errorFromErrno(int err, ErrnoContext context, const std::string& nativePath) {
  switch (err) {
    case 0:
      return kOk;
    case ENOENT: {
      if (nativePath.empty()) return kFileNotFound;
      struct stat info = {};
      const bool folderThere =
          ::stat(parentOf(nativePath).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
      return folderThere ? kFileNotFound : kPathNotFound;
    }
    case ENOTDIR:
      return kPathNotFound;
    case EACCES:
    case EPERM:
    case EISDIR:  // Windows refuses to open or delete a folder as a file
    case EROFS:
    case ENXIO:  // a FIFO without a reader or a device without its unit: no file
      return kAccessDenied;
    case ENOSPC:
    case EDQUOT:
      return kDiskFull;
    case EEXIST:
      return context == ErrnoContext::kCreateFolder ? kAlreadyExists : kFileExists;
    case ENOTEMPTY:
      return kFileExists;
    case ELOOP:
      return kCantResolveName;
    case EIO:
      return kIoDevice;
    case EBADF:
      return kInvalidHandle;
    case EINVAL:
      return kInvalidParameter;
    case ENOMEM:
      return kOutOfMemory;
    case EMFILE:
    case ENFILE:
      return kTooManyOpenFiles;
    case ENAMETOOLONG:
      return kFilenameTooLong;
    case EXDEV:
      return kNotSameDevice;
    case EBUSY:
    case ETXTBSY:
      return kSharingViolation;
    default:
      return context == ErrnoContext::kRead ? kReadFault : kWriteFault;
  }
}

}  // namespace platform::posix
