#include "platform/win32/win32_file_system.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <vector>

#include "platform/file_io.h"
#include "platform/win32/wide.h"
#include "platform/win32/win32_error.h"
#include "platform/win32/win32_file.h"

namespace platform::win32 {
namespace {

constexpr DWORD kNoAttributes = INVALID_FILE_ATTRIBUTES;

DWORD attributesOf(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()); }

bool isFolder(DWORD attributes) { return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
bool isReadOnly(DWORD attributes) { return (attributes & FILE_ATTRIBUTE_READONLY) != 0; }

// Refuses what Windows refuses but Wine running as root would do: writing,
// replacing or removing a read-only file. Also refuses a folder, which
// Windows does not let any of these treat as a file.
Error refuseReadOnlyOrFolder(DWORD attributes) {
  if (attributes == kNoAttributes) return kOk;
  return isFolder(attributes) || isReadOnly(attributes) ? kAccessDenied : kOk;
}

// Why the open |handle| is no regular file to read or write (kOk when it
// is one): a device, a pipe or a folder, or a reparse point opened as
// itself (a link that appeared after the attributes were looked at).
Error refuseAllButRegularFile(HANDLE handle, bool followLinks) {
  if (::GetFileType(handle) != FILE_TYPE_DISK) return kAccessDenied;
  BY_HANDLE_FILE_INFORMATION info{};
  if (!::GetFileInformationByHandle(handle, &info)) return lastError();
  if (isFolder(info.dwFileAttributes)) return kAccessDenied;
  if (!followLinks && (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
    return kCantResolveName;
  }
  return kOk;
}

// The handle's identity, to tell two names of one file.
bool sameFile(const BY_HANDLE_FILE_INFORMATION& a, const BY_HANDLE_FILE_INFORMATION& b) {
  return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
         a.nFileIndexLow == b.nFileIndexLow;
}

// Why |target| must not be replaced by a copy of the file behind |source|
// (kOk when it may, also when nothing is at |target|). The target is looked
// at through a handle without access, which neither conflicts with other
// openers nor changes the file.
Error copyRefusal(HANDLE source, const std::wstring& target, bool failIfExists) {
  HANDLE probe =
      ::CreateFileW(target.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (probe == INVALID_HANDLE_VALUE) return kOk;  // nothing there; the real open decides
  BY_HANDLE_FILE_INFORMATION sourceInfo{};
  BY_HANDLE_FILE_INFORMATION targetInfo{};
  Error refusal = kOk;
  if (::GetFileType(probe) != FILE_TYPE_DISK) {
    // A device: only a regular file is replaced (a failed copy deletes the
    // target), and a device has no file identity to compare.
    refusal = kAccessDenied;
  } else if (!::GetFileInformationByHandle(source, &sourceInfo) ||
             !::GetFileInformationByHandle(probe, &targetInfo)) {
    refusal = lastError();
  } else if (sameFile(sourceInfo, targetInfo)) {
    refusal = kSharingViolation;  // the source is open without write sharing
  } else if (failIfExists) {
    refusal = kFileExists;
  } else if (refuseReadOnlyOrFolder(targetInfo.dwFileAttributes) != kOk) {
    // Only a regular file is replaced: a failed copy deletes the target,
    // which must never hit a folder or a device.
    refusal = kAccessDenied;
  }
  ::CloseHandle(probe);
  return refusal;
}

// Copies everything from |in| to |out|, going on after short writes.
Error copyBytes(HANDLE in, HANDLE out) {
  std::vector<char> buffer(kCopyBlockSize);
  for (;;) {
    DWORD got = 0;
    if (!::ReadFile(in, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr)) {
      return lastError();
    }
    if (got == 0) return kOk;
    for (DWORD done = 0; done < got;) {
      DWORD written = 0;
      if (!::WriteFile(out, buffer.data() + done, got - done, &written, nullptr)) {
        return lastError();
      }
      if (written == 0) return kWriteFault;
      done += written;
    }
  }
}

// The folder part of a Windows path ("." for a bare name; a drive's root
// keeps its backslash, as "C:" alone names the drive's current folder).
std::wstring parentOf(const std::wstring& path) {
  const auto separator = path.find_last_of(L"\\/");
  if (separator == std::wstring::npos) return L".";
  std::wstring folder = path.substr(0, separator);
  if (folder.empty() || folder.back() == L':') folder += L'\\';
  return folder;
}

// |value| as sixteen hexadecimal digits.
std::wstring hexDigits(std::uint64_t value) {
  std::wstring digits(16, L'0');
  for (int i = 15; i >= 0; --i, value >>= 4)
    digits[static_cast<std::size_t>(i)] = L"0123456789abcdef"[value & 0xF];
  return digits;
}

// A named mutex owned by this thread; destroying it releases and closes it.
class MutexLock : public FolderLock {
 public:
  explicit MutexLock(HANDLE mutex) : mutex_(mutex) {}
  ~MutexLock() override {
    ::ReleaseMutex(mutex_);
    ::CloseHandle(mutex_);
  }
  MutexLock(const MutexLock&) = delete;
  MutexLock& operator=(const MutexLock&) = delete;

 private:
  HANDLE mutex_;
};

}  // namespace

Error Win32FileSystem::open(const std::string& path, const OpenOptions& options,
                            std::unique_ptr<File>* file) {
  if (file == nullptr) return kInvalidParameter;
  const std::wstring wide = toWide(path);
  const bool writing = options.access == Access::kWrite;
  const bool truncating = options.disposition == Disposition::kCreateAlways;

  // Every refusal is decided before CreateFileW, which truncates on open.
  const DWORD attributes = attributesOf(wide);
  if (attributes != kNoAttributes) {
    if (options.disposition == Disposition::kCreateNew) return kFileExists;
    if (!options.followLinks && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
      return kCantResolveName;
    }
    if (isFolder(attributes)) return kAccessDenied;
    if ((writing || truncating) && isReadOnly(attributes)) return kAccessDenied;
  }

  // Truncating needs write access, also for a reader that asks to create
  // the file anew.
  // FILE_READ_ATTRIBUTES: what the handle is gets checked after the open,
  // also for a writer.
  const DWORD access =
      FILE_READ_ATTRIBUTES | (options.renamable ? DELETE : 0) |
      (writing ? GENERIC_WRITE : (truncating ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ));
  DWORD creation = OPEN_EXISTING;
  if (options.disposition == Disposition::kCreateAlways) creation = CREATE_ALWAYS;
  if (options.disposition == Disposition::kCreateNew) creation = CREATE_NEW;
  const DWORD flags =
      FILE_ATTRIBUTE_NORMAL | (options.followLinks ? 0 : FILE_FLAG_OPEN_REPARSE_POINT);
  HANDLE handle = ::CreateFileW(wide.c_str(), access, 0, nullptr, creation, flags, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return lastError();
  if (const Error refusal = refuseAllButRegularFile(handle, options.followLinks); refusal != kOk) {
    ::CloseHandle(handle);
    return refusal;
  }
  *file = std::make_unique<Win32File>(handle);
  return kOk;
}

Error Win32FileSystem::getAttributes(const std::string& path, std::uint32_t* attributes) {
  if (attributes == nullptr) return kInvalidParameter;
  const DWORD found = attributesOf(toWide(path));
  if (found == kNoAttributes) return lastError();
  if (isFolder(found)) {
    *attributes = kAttrDirectory;
  } else {
    *attributes = isReadOnly(found) ? kAttrReadOnly : kAttrNormal;
  }
  return kOk;
}

Error Win32FileSystem::createDirectory(const std::string& path) {
  if (!::CreateDirectoryW(toWide(path).c_str(), nullptr)) {
    return lastError(ErrorContext::kCreateFolder);
  }
  return kOk;
}

Error Win32FileSystem::deleteFile(const std::string& path) {
  const std::wstring wide = toWide(path);
  const DWORD attributes = attributesOf(wide);
  if (attributes == kNoAttributes) return lastError();
  if (const Error refusal = refuseReadOnlyOrFolder(attributes); refusal != kOk) return refusal;
  if (!::DeleteFileW(wide.c_str())) return lastError();
  return kOk;
}

Error Win32FileSystem::copyFile(const std::string& from, const std::string& to, bool failIfExists) {
  const std::wstring target = toWide(to);
  // A folder cannot be opened this way: kAccessDenied, as CopyFileW says.
  HANDLE in = ::CreateFileW(toWide(from).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (in == INVALID_HANDLE_VALUE) return lastError();
  Error refusal = refuseAllButRegularFile(in, true);
  if (refusal == kOk) refusal = copyRefusal(in, target, failIfExists);
  if (refusal != kOk) {
    ::CloseHandle(in);
    return refusal;
  }

  HANDLE out =
      ::CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr,
                    failIfExists ? CREATE_NEW : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (out == INVALID_HANDLE_VALUE) {
    const Error error = lastError();
    ::CloseHandle(in);
    return error;
  }
  Error error = ::GetFileType(out) == FILE_TYPE_DISK ? kOk : kAccessDenied;
  if (error != kOk) {
    // A device that appeared at |to| since the look above: not ours to delete.
    ::CloseHandle(out);
    ::CloseHandle(in);
    return error;
  }
  error = copyBytes(in, out);
  if (!::CloseHandle(out) && error == kOk) error = lastError();
  BY_HANDLE_FILE_INFORMATION sourceInfo{};
  if (error == kOk && ::GetFileInformationByHandle(in, &sourceInfo) &&
      isReadOnly(sourceInfo.dwFileAttributes) &&
      !::SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_READONLY)) {
    error = lastError();
  }
  ::CloseHandle(in);
  if (error != kOk) ::DeleteFileW(target.c_str());  // never leave a partial copy
  return error;
}

Error Win32FileSystem::moveFileReplace(const std::string& from, const std::string& to) {
  const std::wstring source = toWide(from);
  const std::wstring target = toWide(to);
  if (attributesOf(source) == kNoAttributes) return lastError();
  if (const Error refusal = refuseReadOnlyOrFolder(attributesOf(target)); refusal != kOk) {
    return refusal;
  }
  if (!::MoveFileExW(source.c_str(), target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return lastError();
  }
  return kOk;
}

Error Win32FileSystem::findExactName(const std::string& path) {
  const auto separator = path.find_last_of("\\/");
  const std::string name = separator == std::string::npos ? path : path.substr(separator + 1);
  if (name.empty() || name.find_first_of("*?") != std::string::npos) return kFileNotFound;
  WIN32_FIND_DATAW found{};
  HANDLE search = ::FindFirstFileW(toWide(path).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return lastError();
  ::FindClose(search);
  return kOk;
}

Error Win32FileSystem::syncParentDirectory(const std::string& path) {
  // A missing folder, or a file in its place, is a missing path for every
  // caller, as the POSIX backend reports it.
  const DWORD attributes = attributesOf(parentOf(toWide(path)));
  if (attributes == kNoAttributes) {
    const Error error = lastError();
    return error == kFileNotFound ? kPathNotFound : error;
  }
  return isFolder(attributes) ? kOk : kPathNotFound;
}

Error Win32FileSystem::lockFolder(const std::string& path, std::unique_ptr<FolderLock>* lock) {
  if (lock == nullptr) return kInvalidParameter;
  FileIdentity folder;
  const std::wstring wide = parentOf(toWide(path));
  if (const Error error = identity(fromWide(wide), &folder); error != kOk) return error;
  // The global namespace: a run of a service in another session counts too.
  // A mutex made there by another user that this one may not open fails
  // the lock, and the caller leaves its file as it is.
  const std::wstring name =
      L"Global\\FolderLock." + hexDigits(folder.volume) + L"." + hexDigits(folder.file);
  HANDLE mutex = ::CreateMutexW(nullptr, FALSE, name.c_str());
  if (mutex == nullptr) return lastError();
  const DWORD waited = ::WaitForSingleObject(mutex, INFINITE);
  if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
    const Error error = waited == WAIT_FAILED ? lastError() : kInvalidHandle;
    ::CloseHandle(mutex);
    return error;
  }
  *lock = std::make_unique<MutexLock>(mutex);
  return kOk;
}

Error Win32FileSystem::identity(const std::string& path, FileIdentity* id) {
  if (id == nullptr) return kInvalidParameter;
  // No access asked: neither conflicts with other openers nor changes the
  // file; FILE_FLAG_BACKUP_SEMANTICS lets a folder be looked at too.
  HANDLE probe =
      ::CreateFileW(toWide(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (probe == INVALID_HANDLE_VALUE) return lastError();
  BY_HANDLE_FILE_INFORMATION info{};
  const bool found = ::GetFileInformationByHandle(probe, &info) != 0;
  const Error error = found ? kOk : lastError();
  ::CloseHandle(probe);
  if (!found) return error;
  id->volume = info.dwVolumeSerialNumber;
  id->file = (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
  return kOk;
}

Error Win32FileSystem::clearReadOnly(const std::string& path) {
  // The link itself is opened, never its target, and the attributes are
  // changed through that handle, so nothing that replaces the file
  // meanwhile is touched.
  HANDLE handle =
      ::CreateFileW(toWide(path).c_str(), FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                    FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return lastError();
  Error error = refuseAllButRegularFile(handle, false);
  if (error == kCantResolveName) error = kAccessDenied;
  BY_HANDLE_FILE_INFORMATION info{};
  if (error == kOk && !::GetFileInformationByHandle(handle, &info)) error = lastError();
  if (error == kOk && isReadOnly(info.dwFileAttributes)) {
    FILE_BASIC_INFO basic{};  // zero times: left as they are
    basic.FileAttributes = info.dwFileAttributes & ~DWORD{FILE_ATTRIBUTE_READONLY};
    if (basic.FileAttributes == 0) basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    if (!::SetFileInformationByHandle(handle, FileBasicInfo, &basic, sizeof basic)) {
      error = lastError();
    }
  }
  ::CloseHandle(handle);
  return error;
}

}  // namespace platform::win32
