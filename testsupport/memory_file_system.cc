#include "testsupport/memory_file_system.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace testsupport {

// An open file reads from, or writes straight into, the content it was
// opened on, whatever has happened to its name since.
class MemoryFile : public platform::File {
 public:
  MemoryFile(MemoryFileSystem& owner, std::string path, MemoryFileSystem::Node node)
      : owner_(owner), path_(std::move(path)), node_(std::move(node)) {}

  platform::Error read(void* buffer, std::uint32_t n, std::uint32_t* bytesRead) override {
    const std::size_t count = std::min<std::size_t>(n, node_->size() - position_);
    std::memcpy(buffer, node_->data() + position_, count);
    position_ += count;
    *bytesRead = static_cast<std::uint32_t>(count);
    return platform::kOk;
  }
  platform::Error write(const void* data, std::uint32_t n, std::uint32_t* written) override {
    node_->append(static_cast<const char*>(data), n);
    *written = n;
    return platform::kOk;
  }
  platform::Error flush() override { return platform::kOk; }
  platform::Error close() override { return platform::kOk; }

  platform::Error moveReplace(const std::string& to) override {
    auto it = owner_.files_.find(path_);
    if (it == owner_.files_.end() || it->second != node_) return platform::kAccessDenied;
    owner_.files_.erase(it);
    owner_.files_[to] = node_;
    path_ = to;
    return platform::kOk;
  }

 private:
  MemoryFileSystem& owner_;
  std::string path_;
  MemoryFileSystem::Node node_;
  std::size_t position_ = 0;
};

namespace {

class MemoryLock : public platform::FolderLock {
 public:
  explicit MemoryLock(bool& locked) : locked_(locked) { locked_ = true; }
  ~MemoryLock() override { locked_ = false; }
  MemoryLock(const MemoryLock&) = delete;
  MemoryLock& operator=(const MemoryLock&) = delete;

 private:
  bool& locked_;
};

}  // namespace

void MemoryFileSystem::put(const std::string& path, std::string content) {
  files_[path] = std::make_shared<std::string>(std::move(content));
}

std::string MemoryFileSystem::content(const std::string& path) const {
  auto it = files_.find(path);
  return it == files_.end() ? std::string() : *it->second;
}

std::vector<std::string> MemoryFileSystem::paths() const {
  std::vector<std::string> result;
  result.reserve(files_.size());
  for (const auto& entry : files_) result.push_back(entry.first);
  return result;
}

platform::Error MemoryFileSystem::open(const std::string& path,
                                       const platform::OpenOptions& options,
                                       std::unique_ptr<platform::File>* file) {
  auto it = files_.find(path);
  switch (options.disposition) {
    case platform::Disposition::kOpenExisting:
      if (it == files_.end()) return platform::kFileNotFound;
      break;
    case platform::Disposition::kCreateNew:
      if (it != files_.end()) return platform::kFileExists;
      it = files_.emplace(path, std::make_shared<std::string>()).first;
      break;
    case platform::Disposition::kCreateAlways:
      if (it == files_.end()) {
        it = files_.emplace(path, std::make_shared<std::string>()).first;
      } else {
        it->second->clear();
      }
      break;
  }
  *file = std::make_unique<MemoryFile>(*this, path, it->second);
  return platform::kOk;
}

platform::Error MemoryFileSystem::getAttributes(const std::string& path,
                                                std::uint32_t* attributes) {
  if (!exists(path)) return platform::kFileNotFound;
  *attributes = platform::kAttrNormal;
  return platform::kOk;
}

platform::Error MemoryFileSystem::deleteFile(const std::string& path) {
  return files_.erase(path) != 0 ? platform::kOk : platform::kFileNotFound;
}

platform::Error MemoryFileSystem::copyFile(const std::string& from, const std::string& to,
                                           bool failIfExists) {
  if (!exists(from)) return platform::kFileNotFound;
  if (failIfExists && exists(to)) return platform::kFileExists;
  files_[to] = std::make_shared<std::string>(*files_[from]);
  return platform::kOk;
}

platform::Error MemoryFileSystem::moveFileReplace(const std::string& from, const std::string& to) {
  auto it = files_.find(from);
  if (it == files_.end()) return platform::kFileNotFound;
  Node node = it->second;
  files_.erase(it);
  files_[to] = std::move(node);
  return platform::kOk;
}

platform::Error MemoryFileSystem::findExactName(const std::string& path) {
  return exists(path) ? platform::kOk : platform::kFileNotFound;
}

platform::Error MemoryFileSystem::lockFolder(const std::string&,
                                             std::unique_ptr<platform::FolderLock>* lock) {
  while (locked_) {
    if (!wait_) throw std::logic_error("the folder lock is held");
    wait_();
  }
  *lock = std::make_unique<MemoryLock>(locked_);
  return platform::kOk;
}

}  // namespace testsupport
