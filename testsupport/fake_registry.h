// An in-memory registry for tests.
//
// Holds keys per hive, each with typed values stored as raw bytes, and
// answers queries with the contract of platform::Registry (the contract of
// RegQueryValueExA, including kMoreData and a value that fills the buffer
// exactly). Key and value names compare without regard to case. Every open
// is recorded, so tests can check which keys were opened in which order and
// that every opened key was closed again.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"

namespace testsupport {

class FakeRegistry : public platform::Registry {
 public:
  struct OpenCall {
    platform::Hive hive;
    std::string subkey;
    bool operator==(const OpenCall&) const = default;
  };

  // Creates |path| and every key above it in |hive|.
  void addKey(platform::Hive hive, const std::string& path);

  // Stores a value (creating its key) with exactly |bytes| as its data.
  void setValue(platform::Hive hive, const std::string& path, const std::string& name,
                platform::RegType type, std::vector<std::uint8_t> bytes);

  // Stores |text| followed by its terminating NUL, as a string value is
  // normally stored.
  void setString(platform::Hive hive, const std::string& path, const std::string& name,
                 std::string_view text, platform::RegType type = platform::kRegSz);

  // Stores a REG_DWORD in little-endian byte order.
  void setDword(platform::Hive hive, const std::string& path, const std::string& name,
                std::uint32_t value);

  // Makes every query of the value fail with |error| (for example
  // kAccessDenied), whatever the buffer.
  void failValue(platform::Hive hive, const std::string& path, const std::string& name,
                 platform::Error error);

  // Every openKey call so far, successful or not, in call order.
  const std::vector<OpenCall>& openCalls() const { return openCalls_; }

  // Every queryValue call so far, by value name, in call order.
  const std::vector<std::string>& queriedValues() const { return queriedValues_; }

  // Number of keys opened and not yet closed.
  int openKeyCount() const { return static_cast<int>(openKeys_.size()); }

  // Number of closeKey calls with a handle that was not open (a double close).
  int strayCloseCount() const { return strayCloses_; }

  // Registry
  platform::Error openKey(platform::Hive hive, const std::string& subkey,
                          platform::RegKey* key) override;
  platform::Error queryValue(platform::RegKey key, const std::string& name, platform::RegType* type,
                             std::uint8_t* data, std::uint32_t* size) override;
  void closeKey(platform::RegKey key) override;

 private:
  struct Value {
    platform::RegType type = platform::kRegNone;
    std::vector<std::uint8_t> bytes;
    platform::Error failure = platform::kOk;
  };
  struct Key {
    std::map<std::string, Value> values;  // by lower-cased name
  };
  // Keys by hive and lower-cased path without leading or trailing backslash.
  using KeyId = std::pair<platform::Hive, std::string>;

  Key& keyAt(platform::Hive hive, const std::string& path);

  std::map<KeyId, Key> keys_;
  std::map<platform::RegKey, KeyId> openKeys_;
  platform::RegKey nextHandle_ = 0x100;
  int strayCloses_ = 0;
  std::vector<OpenCall> openCalls_;
  std::vector<std::string> queriedValues_;
};

}  // namespace testsupport
