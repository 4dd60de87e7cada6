// A FileSystem that forwards every call to another one (its target), the
// base of file systems that change only some calls (the update's kept
// output, the test doubles): a subclass
// overrides what it changes and inherits the forwarding of the rest, also of
// calls the interface gains later, which a hand-written wrapper would
// silently answer with the interface's defaults instead.
//
// The target must outlive the wrapper.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/file_system.h"

namespace platform {

class FileSystemWrapper : public FileSystem {
 public:
  // A pointer, not a reference: a reference parameter would lose to the copy
  // constructor when the target is itself a wrapper.
  explicit FileSystemWrapper(FileSystem* target) : target_(*target) {}
  FileSystemWrapper(const FileSystemWrapper&) = delete;
  FileSystemWrapper& operator=(const FileSystemWrapper&) = delete;

  // The file system every call goes to.
  FileSystem& target() const { return target_; }

  Error open(const std::string& path, const OpenOptions& options,
             std::unique_ptr<File>* file) override {
    return target_.open(path, options, file);
  }
  Error getAttributes(const std::string& path, std::uint32_t* attributes) override {
    return target_.getAttributes(path, attributes);
  }
  Error createDirectory(const std::string& path) override { return target_.createDirectory(path); }
  Error deleteFile(const std::string& path) override { return target_.deleteFile(path); }
  Error copyFile(const std::string& from, const std::string& to, bool failIfExists) override {
    return target_.copyFile(from, to, failIfExists);
  }
  Error moveFileReplace(const std::string& from, const std::string& to) override {
    return target_.moveFileReplace(from, to);
  }
  Error findExactName(const std::string& path) override { return target_.findExactName(path); }
  Error syncParentDirectory(const std::string& path) override {
    return target_.syncParentDirectory(path);
  }
  Error lockFolder(const std::string& path, std::unique_ptr<FolderLock>* lock) override {
    return target_.lockFolder(path, lock);
  }
  Error identity(const std::string& path, FileIdentity* id) override {
    return target_.identity(path, id);
  }
  Error clearReadOnly(const std::string& path) override { return target_.clearReadOnly(path); }

 private:
  FileSystem& target_;
};

}  // namespace platform
