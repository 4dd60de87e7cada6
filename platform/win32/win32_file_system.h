// platform::FileSystem on the wide Windows file API. Paths are handed to the
// API as they come (converted to UTF-16; no "\\?\" prefix is added), so
// backslashes, forward slashes and any case reach the same file as on
// Windows.
//
// Callers see the behaviour of the POSIX backend (posix_file_system.h):
//  - a file with the read-only attribute is refused for writing, deleting,
//    replacing by a move and copying over it with kAccessDenied, and is not
//    touched. Windows refuses these itself, but Wine running as root lets
//    root write, copy or move over such a file (it honours the attribute
//    only through the Unix permission bits, which root overrides). So the
//    backend reads the attributes before each of these operations and
//    refuses on its own, and both builds refuse alike whoever runs them;
//  - a folder cannot be opened, deleted or overwritten as a file
//    (kAccessDenied);
//  - a missing file is kFileNotFound, a missing folder on the way to it
//    kPathNotFound.
// Unlike the POSIX backend, files are opened without sharing, as the
// system asks: a second open of an open file fails with kSharingViolation.
#pragma once

#include <string>

#include "platform/file_system.h"

namespace platform::win32 {

class Win32FileSystem : public FileSystem {
 public:
  // CreateFileW without sharing and with FILE_ATTRIBUTE_NORMAL. kCreateAlways
  // truncates an existing file only after it proved writable; with
  // followLinks false a reparse point (a symbolic link or junction) at the
  // path is refused with kCantResolveName before anything is truncated, and
  // FILE_FLAG_OPEN_REPARSE_POINT keeps one that appears meanwhile from
  // being followed. kCreateNew on any existing name is kFileExists. A
  // handle that is no regular file on disk (GetFileType not
  // FILE_TYPE_DISK: a device or pipe; a folder) is closed again and refused
  // with kAccessDenied.
  Error open(const std::string& path, const OpenOptions& options,
             std::unique_ptr<File>* file) override;

  // As the POSIX backend reports them: kAttrDirectory for a folder,
  // kAttrReadOnly for a read-only file, kAttrNormal for any other file
  // (archive, hidden and the other bits are not passed on).
  Error getAttributes(const std::string& path, std::uint32_t* attributes) override;

  // CreateDirectoryW: kAlreadyExists when anything is at the path,
  // kPathNotFound when the parent folder is missing.
  Error createDirectory(const std::string& path) override;

  Error deleteFile(const std::string& path) override;

  // A byte copy through two handles rather than CopyFileW: CopyFileW does
  // not say whether it failed before or after it created or truncated the
  // target, and a failed copy must leave no partial target (the target is
  // deleted after any failure once it was opened, and never before). Only a
  // regular file is copied or replaced (a folder or a device at |from| or
  // |to| gives kAccessDenied). Copying a file onto itself, under any name, fails with
  // kSharingViolation, as CopyFileW's does, without truncating it. A
  // read-only source gives a read-only target, as CopyFileW carries the
  // attribute; other attributes and the times are not carried.
  Error copyFile(const std::string& from, const std::string& to, bool failIfExists) override;

  // MoveFileExW with MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH: one
  // step, replacing, and on disk when it returns.
  Error moveFileReplace(const std::string& from, const std::string& to) override;

  // FindFirstFileW on the full name. A name with "*" or "?" is not found
  // (never a pattern); the name matches without regard to case, as the
  // Windows search does.
  Error findExactName(const std::string& path) override;

  // A named mutex of the global namespace whose name is taken from the volume
  // serial number and file index of the folder holding |path|, so every
  // spelling of the folder gets the same one. Nothing is made on disk, and
  // a mutex whose owner ended without releasing it (killed) is taken over
  // (WAIT_ABANDONED). The lock of the whole folder leaves the installed
  // file free: a handle held on it would keep the rename from replacing it.
  Error lockFolder(const std::string& path, std::unique_ptr<FolderLock>* lock) override;

  // The volume serial number and file index of the file behind |path|
  // (GetFileInformationByHandle on a handle without access).
  Error identity(const std::string& path, FileIdentity* id) override;

  // Clears FILE_ATTRIBUTE_READONLY through a handle to the file itself
  // (FILE_FLAG_OPEN_REPARSE_POINT): a link, a folder or a device gives
  // kAccessDenied and is left as it is.
  Error clearReadOnly(const std::string& path) override;

  // Checks that the folder holding |path| exists (kPathNotFound when it
  // does not) and does nothing else: Windows has no folder flush. Folder
  // entries are journalled by NTFS, FlushFileBuffers on a file carries its
  // metadata, and the one rename that must survive a crash is made with
  // MOVEFILE_WRITE_THROUGH, which returns only once it is on disk.
  Error syncParentDirectory(const std::string& path) override;
};

}  // namespace platform::win32
