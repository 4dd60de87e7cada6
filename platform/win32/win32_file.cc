#include "platform/win32/win32_file.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstddef>
#include <cstring>
#include <vector>

#include "platform/win32/wide.h"
#include "platform/win32/win32_error.h"

namespace platform::win32 {

Win32File::Win32File(void* handle) : handle_(handle) {}

Win32File::~Win32File() {
  if (handle_ != INVALID_HANDLE_VALUE) ::CloseHandle(handle_);
}

Error Win32File::read(void* buffer, std::uint32_t n, std::uint32_t* bytesRead) {
  std::uint32_t total = 0;
  Error result = kOk;
  if (handle_ == INVALID_HANDLE_VALUE) {
    result = kInvalidHandle;
  } else {
    auto* bytes = static_cast<char*>(buffer);
    while (total < n) {
      DWORD got = 0;
      if (!::ReadFile(handle_, bytes + total, n - total, &got, nullptr)) {
        result = lastError();
        break;
      }
      if (got == 0) break;  // end of file
      total += got;
    }
  }
  if (bytesRead != nullptr) *bytesRead = total;
  return result;
}

Error Win32File::write(const void* data, std::uint32_t n, std::uint32_t* bytesWritten) {
  if (bytesWritten != nullptr) *bytesWritten = 0;
  if (handle_ == INVALID_HANDLE_VALUE) return kInvalidHandle;
  DWORD written = 0;
  if (!::WriteFile(handle_, data, n, &written, nullptr)) return lastError();
  if (bytesWritten != nullptr) *bytesWritten = written;
  return kOk;
}

Error Win32File::flush() {
  if (handle_ == INVALID_HANDLE_VALUE) return kInvalidHandle;
  if (!::FlushFileBuffers(handle_)) return lastError();
  return kOk;
}

Error Win32File::close() {
  if (handle_ == INVALID_HANDLE_VALUE) return kInvalidHandle;
  void* const handle = handle_;
  handle_ = INVALID_HANDLE_VALUE;
  // A handle whose CloseHandle failed is gone all the same; never retry it.
  if (!::CloseHandle(handle)) return lastError();
  return kOk;
}

Error Win32File::moveReplace(const std::string& to) {
  if (handle_ == INVALID_HANDLE_VALUE) return kInvalidHandle;
  const std::wstring target = toWide(to);
  // As moveFileReplace: a folder or a read-only file is never replaced,
  // also when Wine runs as root and would replace it.
  const DWORD attributes = ::GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES &&
      (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0) {
    return kAccessDenied;
  }
  const std::size_t nameBytes = target.size() * sizeof(wchar_t);
  std::vector<unsigned char> buffer(sizeof(FILE_RENAME_INFO) + nameBytes, 0);
  auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
  info->ReplaceIfExists = TRUE;
  info->RootDirectory = nullptr;
  info->FileNameLength = static_cast<DWORD>(nameBytes);
  std::memcpy(info->FileName, target.c_str(), nameBytes);
  if (!::SetFileInformationByHandle(handle_, FileRenameInfo, info,
                                    static_cast<DWORD>(buffer.size()))) {
    return lastError();
  }
  if (!::FlushFileBuffers(handle_)) return lastError();
  return kOk;
}

}  // namespace platform::win32
