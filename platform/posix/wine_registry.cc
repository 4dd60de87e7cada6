#include "platform/posix/wine_registry.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>
#include <optional>
#include <string>
#include <utility>

#include "platform/file_io.h"

namespace platform::posix {
namespace {

// Wine keeps HKEY_CLASSES_ROOT below the machine hive.
constexpr std::string_view kClassesRoot = "software\\classes";

// The whole content of the regular file at |path|, or nothing when it is
// missing, unreadable or anything but a regular file. It is opened without
// blocking, so a FIFO standing in its place is refused at once instead of
// waiting for a writer, and a device is never read.
std::optional<std::string> readRegularFile(const std::string& path) {
  int fd = -1;
  do {
    fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return std::nullopt;
  struct stat info = {};
  std::optional<std::string> text;
  if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
    std::string content;
    char buffer[kCopyBlockSize];
    bool failed = false;
    for (;;) {
      const ssize_t got = ::read(fd, buffer, sizeof buffer);
      if (got < 0 && errno == EINTR) continue;
      failed = got < 0;
      if (got <= 0) break;
      content.append(buffer, static_cast<std::size_t>(got));
    }
    if (!failed) text = std::move(content);
  }
  ::close(fd);
  return text;
}

// A file that cannot be read, or whose parse runs out of memory, is an
// empty hive: the program goes on as on a machine without those keys.
RegistryHive loadHiveFile(const std::string& path) {
  try {
    const std::optional<std::string> text = readRegularFile(path);
    return parseWineRegistry(text ? *text : std::string_view());
  } catch (const std::bad_alloc&) {
    return parseWineRegistry({});
  }
}

bool isTextType(RegType type) {
  return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz;
}

}  // namespace

WineRegistry::WineRegistry(std::string prefix) : prefix_(std::move(prefix)) {
  while (prefix_.size() > 1 && prefix_.back() == '/') prefix_.pop_back();
}

const RegistryHive& WineRegistry::loadedHive(Hive hive) {
  if (hive == Hive::kCurrentUser) {
    if (!user_) user_ = loadHiveFile(prefix_ + "/user.reg");
    return *user_;
  }
  if (!machine_) machine_ = loadHiveFile(prefix_ + "/system.reg");
  return *machine_;
}

Error WineRegistry::openKey(Hive hive, const std::string& subkey, RegKey* key) {
  if (key == nullptr) return kInvalidParameter;
  std::string path = normalizeKeyPath(subkey);
  if (hive == Hive::kClassesRoot) {
    path = path.empty() ? std::string(kClassesRoot) : std::string(kClassesRoot) + "\\" + path;
  }
  const RegistryHive& keys = loadedHive(hive);
  const RegistryValues* values = keys.find(path);
  if (values == nullptr) {
    // A key without a section of its own (an ancestor of one that has) and
    // the root of a hive exist without values; HKEY_CLASSES_ROOT's root
    // also when the machine hive has no classes yet.
    static const RegistryValues kNoValues;
    if (!keys.exists(path) && !normalizeKeyPath(subkey).empty()) return kFileNotFound;
    values = &kNoValues;
  }
  const RegKey handle = nextKey_++;
  openKeys_[handle] = values;
  *key = handle;
  return kOk;
}

Error WineRegistry::queryValue(RegKey key, const std::string& name, RegType* type,
                               std::uint8_t* data, std::uint32_t* size) {
  const auto open = openKeys_.find(key);
  if (open == openKeys_.end()) return kInvalidHandle;
  if (data != nullptr && size == nullptr) return kInvalidParameter;
  const auto found = open->second->find(foldCase(name));
  if (found == open->second->end()) return kFileNotFound;

  const RegistryValue& value = found->second;
  const auto needed = static_cast<std::uint32_t>(value.data.size());
  if (type != nullptr) *type = value.type;
  if (data == nullptr) {
    if (size != nullptr) *size = needed;
    return kOk;
  }
  if (needed > *size) {
    *size = needed;
    return kMoreData;
  }
  if (needed > 0) std::memcpy(data, value.data.data(), needed);
  const bool terminated = needed > 0 && value.data.back() == 0;
  if (isTextType(value.type) && !terminated && needed < *size) data[needed] = 0;
  *size = needed;
  return kOk;
}

void WineRegistry::closeKey(RegKey key) { openKeys_.erase(key); }

}  // namespace platform::posix
