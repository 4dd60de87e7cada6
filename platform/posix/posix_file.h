// platform::File over a POSIX file descriptor.
#pragma once

#include <string>

#include "platform/file_system.h"

namespace platform::posix {

class PosixFile : public File {
 public:
  // Takes ownership of the open descriptor |fd|, opened at the native path
  // |nativePath|; Windows paths given to moveReplace map into |prefix|.
  PosixFile(int fd, std::string nativePath, std::string prefix);
  ~PosixFile() override;

  PosixFile(const PosixFile&) = delete;
  PosixFile& operator=(const PosixFile&) = delete;

  // Reads until |n| bytes arrived or the end of the file, as ReadFile does
  // for a disk file (a read(2) may legally return less).
  Error read(void* buffer, std::uint32_t n, std::uint32_t* bytesRead) override;

  // One write(2) call (repeated only when a signal interrupted it before
  // anything was written); *bytesWritten is what that call reports.
  Error write(const void* data, std::uint32_t n, std::uint32_t* bytesWritten) override;

  // fsync(2).
  Error flush() override;

  // close(2). A second close reports kInvalidHandle.
  Error close() override;

  // rename(2), after comparing the device and inode of the descriptor with
  // those of the name it was opened at: the name is checked just before the
  // rename, so a file put there meanwhile is never moved over |to|.
  Error moveReplace(const std::string& to) override;

 private:
  int fd_;
  std::string path_;
  std::string prefix_;
};

}  // namespace platform::posix
