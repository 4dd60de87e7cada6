#include "platform/posix/posix_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "platform/posix/posix_error.h"
#include "platform/posix/wine_paths.h"

namespace platform::posix {

PosixFile::PosixFile(int fd, std::string nativePath, std::string prefix)
    : fd_(fd), path_(std::move(nativePath)), prefix_(std::move(prefix)) {}

PosixFile::~PosixFile() {
  if (fd_ >= 0) ::close(fd_);
}

Error PosixFile::read(void* buffer, std::uint32_t n, std::uint32_t* bytesRead) {
  std::uint32_t total = 0;
  Error result = kOk;
  if (fd_ < 0) {
    result = kInvalidHandle;
  } else {
    auto* bytes = static_cast<char*>(buffer);
    while (total < n) {
      const ssize_t got = ::read(fd_, bytes + total, n - total);
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) {
        result = errorFromErrno(errno, ErrnoContext::kRead);
        break;
      }
      if (got == 0) break;  // end of file
      total += static_cast<std::uint32_t>(got);
    }
  }
  if (bytesRead != nullptr) *bytesRead = total;
  return result;
}

Error PosixFile::write(const void* data, std::uint32_t n, std::uint32_t* bytesWritten) {
  if (bytesWritten != nullptr) *bytesWritten = 0;
  if (fd_ < 0) return kInvalidHandle;
  ssize_t written = 0;
  do {
    written = ::write(fd_, data, n);
  } while (written < 0 && errno == EINTR);
  if (written < 0) return errorFromErrno(errno, ErrnoContext::kWrite);
  if (bytesWritten != nullptr) *bytesWritten = static_cast<std::uint32_t>(written);
  return kOk;
}

Error PosixFile::flush() {
  if (fd_ < 0) return kInvalidHandle;
  if (::fsync(fd_) != 0) return errorFromErrno(errno, ErrnoContext::kWrite);
  return kOk;
}

Error PosixFile::close() {
  if (fd_ < 0) return kInvalidHandle;
  const int fd = fd_;
  fd_ = -1;
  // After close(2) fails the descriptor is released anyway (Linux), so it
  // must not be closed again; the error still tells of lost data.
  if (::close(fd) != 0 && errno != EINTR) return errorFromErrno(errno, ErrnoContext::kWrite);
  return kOk;
}

Error PosixFile::moveReplace(const std::string& to) {
  if (fd_ < 0) return kInvalidHandle;
  const std::string target = toNativePath(prefix_, to);
  struct stat mine = {};
  struct stat named = {};
  if (::fstat(fd_, &mine) != 0) return errorFromErrno(errno, ErrnoContext::kWrite);
  // The name must still be this file: one removed or replaced by someone
  // else since this run wrote it is never moved into place.
  if (::lstat(path_.c_str(), &named) != 0 || named.st_dev != mine.st_dev ||
      named.st_ino != mine.st_ino) {
    return kAccessDenied;
  }
  struct stat existing = {};
  if (::stat(target.c_str(), &existing) == 0 &&
      (S_ISDIR(existing.st_mode) || (existing.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)) {
    return kAccessDenied;  // a folder, or a read-only file, is never replaced
  }
  if (::rename(path_.c_str(), target.c_str()) != 0) {
    return errorFromErrno(errno, ErrnoContext::kWrite, target);
  }
  path_ = target;
  return kOk;
}

}  // namespace platform::posix
