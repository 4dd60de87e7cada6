// platform::FileSystem on POSIX calls, with Windows paths mapped into a Wine
// prefix (see wine_paths.h) and Windows behaviour where callers can see it:
//  - a file without any write permission bit is read-only, as a file with
//    the Windows read-only attribute: opening it for writing, deleting it,
//    replacing it by a move or copying over it fails with kAccessDenied, also
//    for root (who could write it on Linux), and the file is not touched;
//  - a folder cannot be opened, deleted or overwritten as a file
//    (kAccessDenied);
//  - a missing file is kFileNotFound, a missing folder on the way to it
//    kPathNotFound.
// New files get mode 0666 and new folders 0777, less the umask. There is no
// emulation of Windows sharing modes: two opens of one file both succeed.
#pragma once

#include <string>

#include "platform/file_system.h"

namespace platform::posix {

class PosixFileSystem : public FileSystem {
 public:
  // |prefix| is the Wine prefix that drive letters map into.
  explicit PosixFileSystem(std::string prefix);

  // kCreateAlways truncates an existing file only after it proved writable;
  // with followLinks false a symbolic link at the path is refused
  // (kCantResolveName) before anything is truncated. The path is opened
  // with O_NONBLOCK and checked with fstat, so a FIFO or device is refused
  // (kAccessDenied) without blocking; a regular file then blocks as usual.
  Error open(const std::string& path, const OpenOptions& options,
             std::unique_ptr<File>* file) override;

  // kAttrDirectory for a folder; kAttrReadOnly for a file without write
  // bits; kAttrNormal for any other regular file; kAttrDevice (with
  // kAttrReadOnly when it has no write bits) for a FIFO, device or socket.
  Error getAttributes(const std::string& path, std::uint32_t* attributes) override;

  // kAlreadyExists when anything (file or folder) is at the path,
  // kPathNotFound when the parent folder is missing.
  Error createDirectory(const std::string& path) override;

  Error deleteFile(const std::string& path) override;

  // A failed copy leaves no partial target behind. Only a regular file is
  // copied or replaced (anything else at |from| or |to| gives
  // kAccessDenied, without blocking on a FIFO). Copying a file onto
  // itself fails with kSharingViolation (as CopyFileA, whose source is open
  // without write sharing) instead of truncating it. A read-only source
  // gives a read-only target, as CopyFileA carries the attribute.
  Error copyFile(const std::string& from, const std::string& to, bool failIfExists) override;

  // rename(2): one step, replacing.
  Error moveFileReplace(const std::string& from, const std::string& to) override;

  // Compares the last component byte for byte (case-sensitively) with the
  // entries of its folder; the folder itself is found as for every path.
  Error findExactName(const std::string& path) override;

  // fsync(2) on the folder holding |path|. A file system that cannot sync
  // folders (EINVAL) counts as one that needs no sync.
  Error syncParentDirectory(const std::string& path) override;

  // flock(2) on a descriptor of the folder holding |path|: released when the
  // lock object closes it or the process ends, and no file is made.
  Error lockFolder(const std::string& path, std::unique_ptr<FolderLock>* lock) override;

  // The device and inode of the file behind |path| (stat(2)).
  Error identity(const std::string& path, FileIdentity* id) override;

  // Gives the owner write permission (the file then is no longer read-only).
  // A symbolic link is refused, also one that replaces the file meanwhile.
  Error clearReadOnly(const std::string& path) override;

  // The native path that |path| maps to.
  std::string nativePath(const std::string& path) const;

 private:
  std::string prefix_;
};

}  // namespace platform::posix
