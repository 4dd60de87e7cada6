// A FileSystem for tests that keeps its files in memory, by exact path.
//
// Portable (the same on every build) and fast; wrap it in
// testsupport::FaultFileSystem to make single calls fail or to see which calls
// the code under test made. Folders are not modelled: every path is a file.
// An open file keeps its content as a POSIX descriptor keeps its inode:
// deleting or replacing its name meanwhile leaves the open file valid.
//
// There is one lock for all folders. A lockFolder that finds it held calls
// the waiter given to whileLocked() until the holder released it (a test
// that lets two runs take turns passes the turn there); without a waiter it
// throws std::logic_error, as the caller would wait forever.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace testsupport {

class MemoryFileSystem : public platform::FileSystem {
 public:
  void put(const std::string& path, std::string content);
  bool exists(const std::string& path) const { return files_.count(path) != 0; }
  // The content of |path| ("" when there is no such file).
  std::string content(const std::string& path) const;
  // Every path that holds a file, in sorted order.
  std::vector<std::string> paths() const;

  platform::Error open(const std::string& path, const platform::OpenOptions& options,
                       std::unique_ptr<platform::File>* file) override;
  platform::Error getAttributes(const std::string& path, std::uint32_t* attributes) override;
  platform::Error createDirectory(const std::string&) override { return platform::kOk; }
  platform::Error deleteFile(const std::string& path) override;
  platform::Error copyFile(const std::string& from, const std::string& to,
                           bool failIfExists) override;
  platform::Error moveFileReplace(const std::string& from, const std::string& to) override;
  platform::Error findExactName(const std::string& path) override;
  platform::Error syncParentDirectory(const std::string&) override { return platform::kOk; }
  platform::Error lockFolder(const std::string& path,
                             std::unique_ptr<platform::FolderLock>* lock) override;

  void whileLocked(std::function<void()> wait) { wait_ = std::move(wait); }

  // One file: its bytes, shared by its name and the files open on it.
  using Node = std::shared_ptr<std::string>;

 private:
  friend class MemoryFile;
  std::map<std::string, Node> files_;
  bool locked_ = false;
  std::function<void()> wait_;
};

}  // namespace testsupport
