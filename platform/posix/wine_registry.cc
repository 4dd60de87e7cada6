#include "platform/posix/wine_registry.h"

#include <cstring>
#include <fstream>
#include <sstream>

namespace platform::posix {
namespace {

// Wine keeps HKEY_CLASSES_ROOT below the machine hive.
constexpr std::string_view kClassesRoot = "software\\classes";

RegistryHive loadHiveFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return parseWineRegistry({});
  std::ostringstream text;
  text << file.rdbuf();
  if (file.bad()) return parseWineRegistry({});
  return parseWineRegistry(text.str());
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
  const auto found = keys.keys.find(path);
  const RegistryValues* values = found == keys.keys.end() ? nullptr : &found->second;
  if (values == nullptr) {
    // The root of a hive always exists, HKEY_CLASSES_ROOT's too when the
    // machine hive has no classes yet.
    static const RegistryValues kNoValues;
    if (!normalizeKeyPath(subkey).empty()) return kFileNotFound;
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
