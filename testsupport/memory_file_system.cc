#include "testsupport/memory_file_system.h"

#include <algorithm>
#include <cstring>

namespace testsupport {
namespace {

// An open file reads from, or writes straight into, its entry of the map.
class MemoryFile : public platform::File {
 public:
  explicit MemoryFile(std::string* content) : content_(content) {}

  platform::Error read(void* buffer, std::uint32_t n, std::uint32_t* bytesRead) override {
    std::size_t count = std::min<std::size_t>(n, content_->size() - position_);
    std::memcpy(buffer, content_->data() + position_, count);
    position_ += count;
    *bytesRead = static_cast<std::uint32_t>(count);
    return platform::kOk;
  }
  platform::Error write(const void* data, std::uint32_t n, std::uint32_t* written) override {
    content_->append(static_cast<const char*>(data), n);
    *written = n;
    return platform::kOk;
  }
  platform::Error flush() override { return platform::kOk; }
  platform::Error close() override { return platform::kOk; }

 private:
  std::string* content_;
  std::size_t position_ = 0;
};

}  // namespace

std::string MemoryFileSystem::content(const std::string& path) const {
  auto it = files_.find(path);
  return it == files_.end() ? std::string() : it->second;
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
      it = files_.emplace(path, std::string()).first;
      break;
    case platform::Disposition::kCreateAlways:
      it = files_.insert_or_assign(path, std::string()).first;
      break;
  }
  *file = std::make_unique<MemoryFile>(&it->second);
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
  files_[to] = files_[from];
  return platform::kOk;
}

platform::Error MemoryFileSystem::moveFileReplace(const std::string& from, const std::string& to) {
  if (!exists(from)) return platform::kFileNotFound;
  std::string content = std::move(files_[from]);
  files_.erase(from);
  files_[to] = std::move(content);
  return platform::kOk;
}

platform::Error MemoryFileSystem::findExactName(const std::string& path) {
  return exists(path) ? platform::kOk : platform::kFileNotFound;
}

}  // namespace testsupport
