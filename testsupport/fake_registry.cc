#include "testsupport/fake_registry.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace testsupport {
namespace {

std::string lower(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return out;
}

// Lower-cases |path| and drops backslashes at either end, so "A\B" and
// "a\b\" name the same key.
std::string normalizeKeyPath(const std::string& path) {
  std::string out = lower(path);
  while (!out.empty() && out.front() == '\\') out.erase(out.begin());
  while (!out.empty() && out.back() == '\\') out.pop_back();
  return out;
}

}  // namespace

FakeRegistry::Key& FakeRegistry::keyAt(platform::Hive hive, const std::string& path) {
  const std::string normalized = normalizeKeyPath(path);
  // A key exists only together with every key above it.
  for (std::size_t pos = normalized.find('\\'); pos != std::string::npos;
       pos = normalized.find('\\', pos + 1)) {
    keys_[{hive, normalized.substr(0, pos)}];
  }
  return keys_[{hive, normalized}];
}

void FakeRegistry::addKey(platform::Hive hive, const std::string& path) { keyAt(hive, path); }

void FakeRegistry::setValue(platform::Hive hive, const std::string& path, const std::string& name,
                            platform::RegType type, std::vector<std::uint8_t> bytes) {
  Value& value = keyAt(hive, path).values[lower(name)];
  value.type = type;
  value.bytes = std::move(bytes);
}

void FakeRegistry::setString(platform::Hive hive, const std::string& path, const std::string& name,
                             std::string_view text, platform::RegType type) {
  std::vector<std::uint8_t> bytes(text.begin(), text.end());
  bytes.push_back(0);
  setValue(hive, path, name, type, std::move(bytes));
}

void FakeRegistry::setDword(platform::Hive hive, const std::string& path, const std::string& name,
                            std::uint32_t value) {
  setValue(hive, path, name, platform::kRegDword,
           {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
            static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)});
}

void FakeRegistry::failValue(platform::Hive hive, const std::string& path, const std::string& name,
                             platform::Error error) {
  keyAt(hive, path).values[lower(name)].failure = error;
}

platform::Error FakeRegistry::openKey(platform::Hive hive, const std::string& subkey,
                                      platform::RegKey* key) {
  openCalls_.push_back({hive, subkey});
  const KeyId id{hive, normalizeKeyPath(subkey)};
  if (keys_.find(id) == keys_.end()) return platform::kFileNotFound;
  const platform::RegKey handle = nextHandle_++;
  openKeys_[handle] = id;
  *key = handle;
  return platform::kOk;
}

platform::Error FakeRegistry::queryValue(platform::RegKey key, const std::string& name,
                                         platform::RegType* type, std::uint8_t* data,
                                         std::uint32_t* size) {
  queriedValues_.push_back(name);
  const auto open = openKeys_.find(key);
  if (open == openKeys_.end()) return platform::kInvalidHandle;
  const Key& k = keys_.at(open->second);
  const auto found = k.values.find(lower(name));
  if (found == k.values.end()) return platform::kFileNotFound;
  const Value& value = found->second;
  if (value.failure != platform::kOk) return value.failure;

  const auto needed = static_cast<std::uint32_t>(value.bytes.size());
  if (data == nullptr) {
    if (type != nullptr) *type = value.type;
    if (size != nullptr) *size = needed;
    return platform::kOk;
  }
  if (size == nullptr) return platform::kInvalidParameter;
  if (needed > *size) {
    *size = needed;
    return platform::kMoreData;
  }
  if (needed > 0) std::memcpy(data, value.bytes.data(), needed);
  if (type != nullptr) *type = value.type;
  *size = needed;
  return platform::kOk;
}

void FakeRegistry::closeKey(platform::RegKey key) {
  if (openKeys_.erase(key) == 0) ++strayCloses_;
}

}  // namespace testsupport
