// Files and folders.
//
// Paths above this layer are Windows paths, built exactly as the system
// builds them (backslash separators, a drive letter at the front). The
// Windows backend hands them to the Windows file API unchanged; the POSIX
// backend maps them into a Wine prefix (see posix/wine_paths.h). Every file
// system operation of the system goes through this interface so that tests
// can make any single operation fail (see fault_file_system.h).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/error.h"

namespace platform {

// An open file. Destroying an open file closes it.
class File {
 public:
  virtual ~File() = default;

  // Reads up to |n| bytes at the current position. *bytesRead receives the
  // count actually read (0 at the end of the file).
  virtual Error read(void* buffer, std::uint32_t n, std::uint32_t* bytesRead) = 0;

  // Writes |n| bytes with one call at the current position. *bytesWritten
  // receives the count the system reports written, which may be less than
  // |n| (a short write) even when the result is kOk.
  virtual Error write(const void* data, std::uint32_t n, std::uint32_t* bytesWritten) = 0;

  // Flushes the file's data to stable storage.
  virtual Error flush() = 0;

  // Closes the file. Further calls other than the destructor are invalid.
  virtual Error close() = 0;

  // Renames this file, opened for writing with OpenOptions::renamable, from
  // the name it was opened at to |to| in one step, replacing a regular file
  // there (MoveFileExA with MOVEFILE_REPLACE_EXISTING), and flushes the
  // rename to stable storage. Only this file is ever moved: when its name
  // meanwhile names another file (someone removed or replaced it), nothing
  // is renamed and the result is kAccessDenied. A folder or a read-only file
  // at |to| is refused with kAccessDenied as by FileSystem::moveFileReplace.
  // The file stays open.
  virtual Error moveReplace(const std::string& to) = 0;
};

// An exclusive lock held by this process (FileSystem::lockFolder).
// Destroying it releases the lock.
class FolderLock {
 public:
  virtual ~FolderLock() = default;
};

enum class Access { kRead, kWrite };

enum class Disposition {
  kCreateAlways,  // replace and truncate an existing file, or create one
  kCreateNew,     // create; fail with kFileExists when the name exists
  kOpenExisting,  // open; fail with kFileNotFound when it does not exist
};

struct OpenOptions {
  Access access = Access::kRead;
  Disposition disposition = Disposition::kOpenExisting;
  // When false, a symbolic link standing at the path is never followed: the
  // open fails instead of writing through it.
  bool followLinks = true;
  // When true, the file can be renamed through this open file
  // (File::moveReplace); on Windows the handle then has DELETE access.
  bool renamable = false;
};

// What tells two names of one file apart from two files: the device and
// inode on POSIX, the volume serial number and file index on Windows.
struct FileIdentity {
  std::uint64_t volume = 0;
  std::uint64_t file = 0;

  bool operator==(const FileIdentity&) const = default;
};

// File attribute bits, numbered as on Windows.
inline constexpr std::uint32_t kAttrReadOnly = 0x01;
inline constexpr std::uint32_t kAttrDirectory = 0x10;
// Something that is neither a folder nor a regular file: a FIFO, a device or
// a socket (FILE_ATTRIBUTE_DEVICE). Only the POSIX backend meets such files.
inline constexpr std::uint32_t kAttrDevice = 0x40;
inline constexpr std::uint32_t kAttrNormal = 0x80;

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // Opens |path| without sharing (CreateFileA). An existing read-only file
  // cannot be opened for writing (kAccessDenied), whoever runs the program.
  // Only a regular file is ever opened: a folder, a FIFO, a device or a
  // socket at the path is refused with kAccessDenied, without waiting for a
  // peer and without reading or truncating anything.
  virtual Error open(const std::string& path, const OpenOptions& options,
                     std::unique_ptr<File>* file) = 0;

  // Attributes of whatever exists at |path| (GetFileAttributesA).
  virtual Error getAttributes(const std::string& path, std::uint32_t* attributes) = 0;

  // Creates one folder; its parent must exist (CreateDirectoryA).
  virtual Error createDirectory(const std::string& path) = 0;

  // Deletes a file (DeleteFileA).
  virtual Error deleteFile(const std::string& path) = 0;

  // Copies |from| to |to| byte for byte (CopyFileA). With |failIfExists|
  // false an existing |to| is replaced.
  virtual Error copyFile(const std::string& from, const std::string& to, bool failIfExists) = 0;

  // Renames |from| to |to| in one step, replacing an existing |to|
  // (MoveFileExA with MOVEFILE_REPLACE_EXISTING).
  virtual Error moveFileReplace(const std::string& from, const std::string& to) = 0;

  // kOk when a file whose name is exactly the last component of |path|
  // exists in its folder (FindFirstFileA on the full name, no wildcards).
  virtual Error findExactName(const std::string& path) = 0;

  // Flushes the folder holding |path| to stable storage, so that a rename
  // or creation inside it survives a crash. A no-op where the system does
  // this itself.
  virtual Error syncParentDirectory(const std::string& path) = 0;

  // Waits until this process holds the exclusive lock of the folder that
  // holds |path|, and hands it over in *lock. Every run that updates a file
  // in that folder takes it first, so two updates of one file never
  // interleave. The lock leaves nothing on disk and ends with the process
  // that holds it, however that ends. kOk when the lock is held; any other
  // result means no lock was taken.
  virtual Error lockFolder(const std::string& path, std::unique_ptr<FolderLock>* lock) = 0;

  // The identity of the file behind |path| (links followed), so that two
  // spellings of one file can be told apart. A backend that cannot tell
  // answers kInvalidParameter.
  virtual Error identity(const std::string& path, FileIdentity* id) {
    (void)path;
    (void)id;
    return kInvalidParameter;
  }

  // Clears the read-only attribute of the regular file at |path| (never of
  // a link's target: a link, a folder or anything else that is not a
  // regular file gives kAccessDenied and is left as it is). A backend
  // without the notion answers kAccessDenied.
  virtual Error clearReadOnly(const std::string& path) {
    (void)path;
    return kAccessDenied;
  }
};

}  // namespace platform
