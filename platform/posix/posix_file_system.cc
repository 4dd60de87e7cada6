#include "platform/posix/posix_file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

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

// Closes |fd| keeping the errno of an earlier failure.
void closeQuietly(int fd) {
  const int saved = errno;
  ::close(fd);
  errno = saved;
}

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
  int flags = O_CLOEXEC | (writing ? O_WRONLY : (truncating ? O_RDWR : O_RDONLY));
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
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
      const Error error = errorFromErrno(errno, context, native);
      ::close(fd);
      return error;
    }
    if (S_ISDIR(info.st_mode) || ((writing || truncating) && isReadOnly(info))) {
      ::close(fd);
      return kAccessDenied;
    }
    if (truncating && S_ISREG(info.st_mode) && ::ftruncate(fd, 0) != 0) {
      const Error error = errorFromErrno(errno, ErrnoContext::kWrite, native);
      ::close(fd);
      return error;
    }
  }
  *file = std::make_unique<PosixFile>(fd);
  return kOk;
}

Error PosixFileSystem::getAttributes(const std::string& path, std::uint32_t* attributes) {
  if (attributes == nullptr) return kInvalidParameter;
  const std::string native = nativePath(path);
  struct stat info {};
  if (::stat(native.c_str(), &info) != 0) {
    return errorFromErrno(errno, ErrnoContext::kRead, native);
  }
  if (S_ISDIR(info.st_mode)) {
    *attributes = kAttrDirectory;
  } else {
    *attributes = isReadOnly(info) ? kAttrReadOnly : kAttrNormal;
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
  struct stat info {};
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
  const int in = openRetrying(source, O_RDONLY | O_CLOEXEC);
  if (in < 0) return errorFromErrno(errno, ErrnoContext::kRead, source);
  struct stat sourceInfo {};
  if (::fstat(in, &sourceInfo) != 0 || S_ISDIR(sourceInfo.st_mode)) {
    const Error error =
        S_ISDIR(sourceInfo.st_mode) ? kAccessDenied : errorFromErrno(errno, ErrnoContext::kRead);
    ::close(in);
    return error;
  }

  struct stat targetInfo {};
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

  const int out =
      openRetrying(target, O_WRONLY | O_CLOEXEC | O_CREAT | (failIfExists ? O_EXCL : O_TRUNC));
  if (out < 0) {
    const Error error = errorFromErrno(errno, ErrnoContext::kWrite, target);
    ::close(in);
    return error;
  }

  std::vector<char> buffer(64 * 1024);
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
  struct stat info {};
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
  struct stat info {};
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

}  // namespace platform::posix
