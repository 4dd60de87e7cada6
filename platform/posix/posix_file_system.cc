#include "platform/posix/posix_file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "platform/file_io.h"
#include "platform/posix/posix_error.h"
#include "platform/posix/posix_file.h"
#include "platform/posix/wine_paths.h"

namespace platform::posix {
namespace {

constexpr mode_t kWriteBits = S_IWUSR | S_IWGRP | S_IWOTH;

bool isReadOnly(const struct stat& info) { return (info.st_mode & kWriteBits) == 0; }

int openRetrying(const std::string& path, int flags, mode_t mode = 0666) {
  int fd = -1;
  do {
    fd = ::open(path.c_str(), flags, mode);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

// Writes all of |size| bytes, going on after short writes (copying is not a
// single-call write).
bool writeAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t written = ::write(fd, data, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      if (written == 0) errno = EIO;
      return false;
    }
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

// Makes reads and writes of |fd| block again after an open with
// O_NONBLOCK; false (errno set) when it cannot.
bool clearNonBlocking(int fd) {
  const int status = ::fcntl(fd, F_GETFL);
  return status >= 0 && ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK) == 0;
}

// Closes |fd| keeping the errno of an earlier failure.
void closeQuietly(int fd) {
  const int saved = errno;
  ::close(fd);
  errno = saved;
}

// An exclusive flock(2) on a folder's descriptor; closing it releases the
// lock.
class PosixFolderLock : public FolderLock {
 public:
  explicit PosixFolderLock(int fd) : fd_(fd) {}
  ~PosixFolderLock() override { ::close(fd_); }
  PosixFolderLock(const PosixFolderLock&) = delete;
  PosixFolderLock& operator=(const PosixFolderLock&) = delete;

 private:
  int fd_;
};

}  // namespace

PosixFileSystem::PosixFileSystem(std::string prefix) : prefix_(std::move(prefix)) {}

std::string PosixFileSystem::nativePath(const std::string& path) const {
  return toNativePath(prefix_, path);
}

Error PosixFileSystem::open(const std::string& path, const OpenOptions& options,
                            std::unique_ptr<File>* file) {
  if (file == nullptr) return kInvalidParameter;
  const std::string native = nativePath(path);
  const bool writing = options.access == Access::kWrite;
  // Truncating needs a writable descriptor, also for a reader that asks to
  // create the file anew.
  const bool truncating = options.disposition == Disposition::kCreateAlways;
  // O_NONBLOCK: a FIFO or device at the path must never make the open wait
  // for a peer; it is refused below once fstat shows what it is.
  int flags = O_CLOEXEC | O_NONBLOCK | (writing ? O_WRONLY : (truncating ? O_RDWR : O_RDONLY));
  if (!options.followLinks) flags |= O_NOFOLLOW;
  const ErrnoContext context = writing || truncating ? ErrnoContext::kWrite : ErrnoContext::kRead;

  int fd = -1;
  bool created = false;
  if (options.disposition == Disposition::kCreateNew) {
    fd = openRetrying(native, flags | O_CREAT | O_EXCL);
    created = fd >= 0;
  } else {
    // An existing file is opened without O_TRUNC first, so that a read-only
    // file or a folder can be refused before its content is lost.
    for (int attempt = 0; attempt < 3 && fd < 0; ++attempt) {
      fd = openRetrying(native, flags);
      if (fd >= 0 || errno != ENOENT || !truncating) break;
      fd = openRetrying(native, flags | O_CREAT | O_EXCL);
      created = fd >= 0;
      if (fd < 0 && errno != EEXIST) break;  // EEXIST: it appeared meanwhile, retry
    }
  }
  if (fd < 0) return errorFromErrno(errno, context, native);

  if (!created) {
    struct stat info = {};
    if (::fstat(fd, &info) != 0) {
      const Error error = errorFromErrno(errno, context, native);
      ::close(fd);
      return error;
    }
    // Only a regular file is read or written: a FIFO, device or socket
    // would block, never end or never hold the data.
    if (!S_ISREG(info.st_mode) || ((writing || truncating) && isReadOnly(info))) {
      ::close(fd);
      return kAccessDenied;
    }
    if (truncating && ::ftruncate(fd, 0) != 0) {
      const Error error = errorFromErrno(errno, ErrnoContext::kWrite, native);
      ::close(fd);
      return error;
    }
  }
  // Reads and writes of a regular file block as usual.
  if (!clearNonBlocking(fd)) {
    const Error error = errorFromErrno(errno, context, native);
    ::close(fd);
    return error;
  }
  *file = std::make_unique<PosixFile>(fd, native, prefix_);
  return kOk;
}

Error PosixFileSystem::getAttributes(const std::string& path, std::uint32_t* attributes) {
  if (attributes == nullptr) return kInvalidParameter;
  const std::string native = nativePath(path);
  struct stat info = {};
  if (::stat(native.c_str(), &info) != 0) {
    return errorFromErrno(errno, ErrnoContext::kRead, native);
  }
  if (S_ISDIR(info.st_mode)) {
    *attributes = kAttrDirectory;
  } else if (S_ISREG(info.st_mode)) {
    *attributes = isReadOnly(info) ? kAttrReadOnly : kAttrNormal;
  } else {
    *attributes = (isReadOnly(info) ? kAttrReadOnly : 0) | kAttrDevice;
  }
  return kOk;
}

Error PosixFileSystem::createDirectory(const std::string& path) {
  const std::string native = nativePath(path);
  if (::mkdir(native.c_str(), 0777) != 0) {
    return errorFromErrno(errno, ErrnoContext::kCreateFolder, native);
  }
  return kOk;
}

Error PosixFileSystem::deleteFile(const std::string& path) {
  const std::string native = nativePath(path);
  struct stat info = {};
  if (::lstat(native.c_str(), &info) != 0) {
    return errorFromErrno(errno, ErrnoContext::kWrite, native);
  }
  if (S_ISDIR(info.st_mode) || (S_ISREG(info.st_mode) && isReadOnly(info))) {
    return kAccessDenied;
  }
  if (::unlink(native.c_str()) != 0) return errorFromErrno(errno, ErrnoContext::kWrite, native);
  return kOk;
}

Error PosixFileSystem::copyFile(const std::string& from, const std::string& to, bool failIfExists) {
  const std::string source = nativePath(from);
  const std::string target = nativePath(to);
  // As open(): no waiting on a FIFO, and only a regular file is copied (a
  // device could deliver bytes without end).
  const int in = openRetrying(source, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (in < 0) return errorFromErrno(errno, ErrnoContext::kRead, source);
  struct stat sourceInfo = {};
  Error sourceError = kOk;
  if (::fstat(in, &sourceInfo) != 0 || !clearNonBlocking(in)) {
    sourceError = errorFromErrno(errno, ErrnoContext::kRead);
  } else if (!S_ISREG(sourceInfo.st_mode)) {
    sourceError = kAccessDenied;
  }
  if (sourceError != kOk) {
    ::close(in);
    return sourceError;
  }

  struct stat targetInfo = {};
  if (::stat(target.c_str(), &targetInfo) == 0) {
    Error refusal = kOk;
    if (targetInfo.st_dev == sourceInfo.st_dev && targetInfo.st_ino == sourceInfo.st_ino) {
      refusal = kSharingViolation;
    } else if (failIfExists) {
      refusal = kFileExists;
    } else if (!S_ISREG(targetInfo.st_mode) || isReadOnly(targetInfo)) {
      // Only a regular file is replaced: a failed copy removes the target,
      // which must never hit a folder or a device.
      refusal = kAccessDenied;
    }
    if (refusal != kOk) {
      ::close(in);
      return refusal;
    }
  }

  // Opened without O_TRUNC and checked first: whatever appeared at |to|
  // since the look above is truncated only when it is a regular file, and a
  // FIFO never makes the copy wait.
  const int out = openRetrying(
      target, O_WRONLY | O_CLOEXEC | O_NONBLOCK | O_CREAT | (failIfExists ? O_EXCL : 0));
  if (out < 0) {
    const Error error = errorFromErrno(errno, ErrnoContext::kWrite, target);
    ::close(in);
    return error;
  }
  struct stat outInfo = {};
  Error targetError = kOk;
  if (::fstat(out, &outInfo) != 0) {
    targetError = errorFromErrno(errno, ErrnoContext::kWrite);
  } else if (!S_ISREG(outInfo.st_mode)) {
    targetError = kAccessDenied;
  } else if (outInfo.st_dev == sourceInfo.st_dev && outInfo.st_ino == sourceInfo.st_ino) {
    targetError = kSharingViolation;
  } else if (!clearNonBlocking(out) || ::ftruncate(out, 0) != 0) {
    targetError = errorFromErrno(errno, ErrnoContext::kWrite);
  }
  if (targetError != kOk) {
    ::close(out);
    ::close(in);
    return targetError;
  }

  std::vector<char> buffer(kCopyBlockSize);
  Error error = kOk;
  for (;;) {
    const ssize_t got = ::read(in, buffer.data(), buffer.size());
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      error = errorFromErrno(errno, ErrnoContext::kRead);
      break;
    }
    if (got == 0) break;
    if (!writeAll(out, buffer.data(), static_cast<std::size_t>(got))) {
      error = errorFromErrno(errno, ErrnoContext::kWrite);
      break;
    }
  }
  if (error == kOk && isReadOnly(sourceInfo) && ::fchmod(out, sourceInfo.st_mode & 07555) != 0) {
    error = errorFromErrno(errno, ErrnoContext::kWrite);
  }
  if (::close(out) != 0 && error == kOk) error = errorFromErrno(errno, ErrnoContext::kWrite);
  closeQuietly(in);
  if (error != kOk) ::unlink(target.c_str());  // never leave a partial copy
  return error;
}

Error PosixFileSystem::moveFileReplace(const std::string& from, const std::string& to) {
  const std::string source = nativePath(from);
  const std::string target = nativePath(to);
  struct stat info = {};
  if (::lstat(source.c_str(), &info) != 0) {
    return errorFromErrno(errno, ErrnoContext::kWrite, source);
  }
  if (::stat(target.c_str(), &info) == 0 && (S_ISDIR(info.st_mode) || isReadOnly(info))) {
    return kAccessDenied;
  }
  if (::rename(source.c_str(), target.c_str()) != 0) {
    return errorFromErrno(errno, ErrnoContext::kWrite, target);
  }
  return kOk;
}

Error PosixFileSystem::findExactName(const std::string& path) {
  // One name, no wildcards. The name is matched as every other path of this
  // layer is, without regard to case where the exact spelling is absent, so
  // a search agrees with open() and with the Windows file search: an
  // installed "ostrand km.dsr" is the file "Ostrand KM.dsr".
  const auto separator = path.find_last_of("\\/");
  const std::string name = separator == std::string::npos ? path : path.substr(separator + 1);
  if (name.empty() || name.find_first_of("*?") != std::string::npos) return kFileNotFound;
  const std::string native = nativePath(path);
  struct stat info = {};
  if (::lstat(native.c_str(), &info) == 0) return kOk;
  return errorFromErrno(errno, ErrnoContext::kRead, native);
}

Error PosixFileSystem::syncParentDirectory(const std::string& path) {
  const std::string folder = parentOf(nativePath(path));
  const int fd = openRetrying(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return errorFromErrno(errno, ErrnoContext::kRead, folder + "/.");
  Error error = kOk;
  if (::fsync(fd) != 0 && errno != EINVAL) error = errorFromErrno(errno, ErrnoContext::kWrite);
  ::close(fd);
  return error;
}

Error PosixFileSystem::lockFolder(const std::string& path, std::unique_ptr<FolderLock>* lock) {
  if (lock == nullptr) return kInvalidParameter;
  const std::string folder = parentOf(nativePath(path));
  const int fd = openRetrying(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return errorFromErrno(errno, ErrnoContext::kRead, folder + "/.");
  int result = 0;
  do {
    result = ::flock(fd, LOCK_EX);
  } while (result != 0 && errno == EINTR);
  if (result != 0) {
    const Error error = errorFromErrno(errno, ErrnoContext::kWrite);
    ::close(fd);
    return error;
  }
  *lock = std::make_unique<PosixFolderLock>(fd);
  return kOk;
}

Error PosixFileSystem::identity(const std::string& path, FileIdentity* id) {
  if (id == nullptr) return kInvalidParameter;
  const std::string native = nativePath(path);
  struct stat info = {};
  if (::stat(native.c_str(), &info) != 0) return errorFromErrno(errno, ErrnoContext::kRead, native);
  id->volume = static_cast<std::uint64_t>(info.st_dev);
  id->file = static_cast<std::uint64_t>(info.st_ino);
  return kOk;
}

Error PosixFileSystem::clearReadOnly(const std::string& path) {
  const std::string native = nativePath(path);
  struct stat info = {};
  if (::lstat(native.c_str(), &info) != 0) {
    return errorFromErrno(errno, ErrnoContext::kWrite, native);
  }
  if (!S_ISREG(info.st_mode)) return kAccessDenied;
  if (!isReadOnly(info)) return kOk;
  // AT_SYMLINK_NOFOLLOW: a link that replaced the file since the look above
  // is refused (EOPNOTSUPP), never its target changed.
  const mode_t mode = (info.st_mode & 07777) | S_IWUSR;
  if (::fchmodat(AT_FDCWD, native.c_str(), mode, AT_SYMLINK_NOFOLLOW) != 0) {
    return errno == EOPNOTSUPP ? kAccessDenied
                               : errorFromErrno(errno, ErrnoContext::kWrite, native);
  }
  return kOk;
}

}  // namespace platform::posix
