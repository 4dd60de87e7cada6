// A FileSystem that forwards every call to another one (its target), the
// base of test file systems that change only some calls: a subclass
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

namespace testsupport {

class FileSystemWrapper : public platform::FileSystem {
 public:
  // A pointer, not a reference: a reference parameter would lose to the copy
  // constructor when the target is itself a wrapper.
  explicit FileSystemWrapper(platform::FileSystem* target) : target_(*target) {}
  FileSystemWrapper(const FileSystemWrapper&) = delete;
  FileSystemWrapper& operator=(const FileSystemWrapper&) = delete;

  // The file system every call goes to.
  platform::FileSystem& target() const { return target_; }

  platform::Error open(const std::string& path, const platform::OpenOptions& options,
                       std::unique_ptr<platform::File>* file) override {
    return target_.open(path, options, file);
  }
  platform::Error getAttributes(const std::string& path, std::uint32_t* attributes) override {
    return target_.getAttributes(path, attributes);
  }
  platform::Error createDirectory(const std::string& path) override {
    return target_.createDirectory(path);
  }
  platform::Error deleteFile(const std::string& path) override { return target_.deleteFile(path); }
  platform::Error copyFile(const std::string& from, const std::string& to,
                           bool failIfExists) override {
    return target_.copyFile(from, to, failIfExists);
  }
  platform::Error moveFileReplace(const std::string& from, const std::string& to) override {
    return target_.moveFileReplace(from, to);
  }
  platform::Error findExactName(const std::string& path) override {
    return target_.findExactName(path);
  }
  platform::Error syncParentDirectory(const std::string& path) override {
    return target_.syncParentDirectory(path);
  }
  platform::Error lockFolder(const std::string& path,
                             std::unique_ptr<platform::FolderLock>* lock) override {
    return target_.lockFolder(path, lock);
  }
  platform::Error identity(const std::string& path, platform::FileIdentity* id) override {
    return target_.identity(path, id);
  }
  platform::Error clearReadOnly(const std::string& path) override {
    return target_.clearReadOnly(path);
  }

 private:
  platform::FileSystem& target_;
};

}  // namespace testsupport
