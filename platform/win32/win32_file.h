// platform::File over a Windows file handle.
#pragma once

#include "platform/file_system.h"

namespace platform::win32 {

class Win32File : public File {
 public:
  // Takes ownership of the open handle |handle| (a HANDLE).
  explicit Win32File(void* handle);
  ~Win32File() override;

  Win32File(const Win32File&) = delete;
  Win32File& operator=(const Win32File&) = delete;

  // ReadFile until |n| bytes arrived or the end of the file, as the POSIX
  // backend reads.
  Error read(void* buffer, std::uint32_t n, std::uint32_t* bytesRead) override;

  // One WriteFile call; *bytesWritten is what it reports, 0 when it fails.
  Error write(const void* data, std::uint32_t n, std::uint32_t* bytesWritten) override;

  // FlushFileBuffers.
  Error flush() override;

  // CloseHandle. A second close reports kInvalidHandle.
  Error close() override;

  // SetFileInformationByHandle with FileRenameInfo (replacing) on this
  // handle, which must have DELETE access, then FlushFileBuffers, as
  // MOVEFILE_WRITE_THROUGH returns only once the move is on disk. The
  // handle is the file: opened without sharing, nobody can rename or
  // delete it meanwhile, so only what this handle wrote is moved.
  Error moveReplace(const std::string& to) override;

 private:
  void* handle_;
};

}  // namespace platform::win32
