#include "platform/posix/posix_file.h"

#include <unistd.h>

#include <cerrno>

#include "platform/posix/posix_error.h"

namespace platform::posix {

PosixFile::PosixFile(int fd) : fd_(fd) {}

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

}  // namespace platform::posix
