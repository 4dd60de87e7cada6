#include "app/host_records.h"

#include <array>
#include <cstring>
#include <optional>

#include "platform/paths.h"

namespace app {
namespace {

constexpr char kProductKey[] = "Software\\Harvel\\Harvel Rastella Dual";
constexpr char kInstallerKey[] = "Software\\Harvel\\Harvel Rastella Dual\\Installer";
constexpr char kUserKey[] = "Software\\Harvel\\Harvel Rastella Dual\\User";

// The size of the buffer every value is read into; a larger value fails.
constexpr std::uint32_t kValueBufferSize = 1024;

std::optional<platform::Hive> hiveOf(std::int32_t selector) {
  switch (selector) {
    case kHiveSelectorLocalMachine:
      return platform::Hive::kLocalMachine;
    case kHiveSelectorCurrentUser:
      return platform::Hive::kCurrentUser;
    default:
      return std::nullopt;
  }
}

// An open key that is closed whichever way the read ends.
class OpenKey {
 public:
  explicit OpenKey(platform::Registry& registry) : registry_(registry) {}
  ~OpenKey() {
    if (open_) registry_.closeKey(key_);
  }
  OpenKey(const OpenKey&) = delete;
  OpenKey& operator=(const OpenKey&) = delete;

  bool open(platform::Hive hive, const char* subkey) {
    open_ = registry_.openKey(hive, subkey, &key_) == platform::kOk;
    return open_;
  }
  platform::RegKey handle() const { return key_; }

 private:
  platform::Registry& registry_;
  platform::RegKey key_ = 0;
  bool open_ = false;
};

// Queries |name| into a buffer of kValueBufferSize bytes and assigns the
// returned bytes up to their first NUL to *text. The text never reaches
// beyond the bytes returned, so a value that fills the whole buffer without
// a NUL is taken whole. With |requireString|, any type but REG_SZ fails.
bool readValueText(platform::Registry& registry, platform::RegKey key, const char* name,
                   bool requireString, std::string* text) {
  std::array<std::uint8_t, kValueBufferSize> buffer{};
  std::uint32_t size = kValueBufferSize;
  platform::RegType type = platform::kRegNone;
  if (registry.queryValue(key, name, &type, buffer.data(), &size) != platform::kOk) return false;
  if (requireString && type != platform::kRegSz) return false;
  const auto* chars = reinterpret_cast<const char*>(buffer.data());
  const std::size_t returned = size < kValueBufferSize ? size : kValueBufferSize;
  const void* nul = std::memchr(chars, '\0', returned);
  const std::size_t length =
      nul == nullptr ? returned : static_cast<std::size_t>(static_cast<const char*>(nul) - chars);
  text->assign(chars, length);
  return true;
}

}  // namespace

std::int32_t probeHostHive(platform::Registry& registry) {
  platform::RegKey key = 0;
  if (registry.openKey(platform::Hive::kLocalMachine, kProductKey, &key) == platform::kOk) {
    registry.closeKey(key);
    return kHiveSelectorLocalMachine;
  }
  if (registry.openKey(platform::Hive::kCurrentUser, kProductKey, &key) == platform::kOk) {
    registry.closeKey(key);
    return kHiveSelectorCurrentUser;
  }
  return kHiveSelectorNone;
}

bool readHostInstallRecord(platform::Registry& registry, HostInstallRecord* record) {
  record->hiveSelector = probeHostHive(registry);
  const std::optional<platform::Hive> hive = hiveOf(record->hiveSelector);
  if (!hive) return false;
  OpenKey key(registry);
  if (!key.open(*hive, kInstallerKey)) return false;
  return readValueText(registry, key.handle(), "CompanyName", true, &record->companyName) &&
         readValueText(registry, key.handle(), "InstallPath", true, &record->installPath) &&
         platform::isAbsolutePath(record->installPath) &&
         readValueText(registry, key.handle(), "UserName", true, &record->userName);
}

bool readHostUserSettings(platform::Registry& registry, HostUserSettings* settings) {
  settings->hiveSelector = probeHostHive(registry);
  const std::optional<platform::Hive> hive = hiveOf(settings->hiveSelector);
  if (!hive) return false;
  OpenKey key(registry);
  if (!key.open(*hive, kUserKey)) return false;
  return readValueText(registry, key.handle(), "InkConfig", false, &settings->inkConfig) &&
         readValueText(registry, key.handle(), "Language", false, &settings->language) &&
         readValueText(registry, key.handle(), "Model", false, &settings->model);
}

std::string installFolderOf(const std::string& installPath) {
  if (installPath.empty() || installPath.back() == '\\' || installPath.back() == '/') {
    return installPath;
  }
  return installPath + '\\';
}

bool findHostInstallFolder(platform::Registry& registry, std::string* installFolder) {
  HostUserSettings settings;
  if (!readHostUserSettings(registry, &settings)) return false;
  HostInstallRecord record;
  if (!readHostInstallRecord(registry, &record)) return false;
  if (record.installPath.empty()) return false;
  *installFolder = installFolderOf(record.installPath);
  return true;
}

}  // namespace app
