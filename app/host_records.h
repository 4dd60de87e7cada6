// The host's registry records: where Rastella is installed and its user
// settings. The registry is only read.
//
// The host keeps them under "Software\Harvel\Harvel Rastella Dual", in the
// local-machine or the current-user hive: the installation record in its
// "Installer" subkey (CompanyName, InstallPath, UserName, each REG_SZ), the
// user settings in its "User" subkey (InkConfig, Language, Model, any type).
#pragma once

#include <cstdint>
#include <string>

#include "platform/registry.h"

namespace app {

// Which hive holds the host's product key.
inline constexpr std::int32_t kHiveSelectorNone = 0;
inline constexpr std::int32_t kHiveSelectorCurrentUser = 1;
inline constexpr std::int32_t kHiveSelectorLocalMachine = 2;

struct HostInstallRecord {
  std::int32_t hiveSelector = kHiveSelectorNone;
  std::string companyName;
  // The host's installation folder, as stored; the prefix of every target
  // path.
  std::string installPath;
  std::string userName;
};

struct HostUserSettings {
  std::int32_t hiveSelector = kHiveSelectorNone;
  std::string language;
  std::string model;
  std::string inkConfig;
};

// The hive probe: opens the product key for reading, first in the
// local-machine hive (2), then in the current-user hive (1); 0 when neither
// has it. The key is closed again at once.
std::int32_t probeHostHive(platform::Registry& registry);

// Runs the hive probe, stores its selector in the record and reads the
// "Installer" subkey of that hive. True when CompanyName, InstallPath and
// UserName were all read as REG_SZ values of at most 1024 bytes and
// InstallPath is absolute in this build (platform::isAbsolutePath): a
// relative, drive-relative or root-relative folder would send the files
// wherever the program runs, and a network or POSIX path has no place in
// the Linux build, so none is a host installation (UserName is not read
// then).
// Fields read before a failing value keep their texts.
bool readHostInstallRecord(platform::Registry& registry, HostInstallRecord* record);

// As readHostInstallRecord for the "User" subkey: InkConfig, Language and
// Model, of any type, each taken as text up to its first NUL.
bool readHostUserSettings(platform::Registry& registry, HostUserSettings* settings);

// The installation folder with a path separator at its end: "\" is added
// when it ends in neither "\" nor "/", so the relative pieces appended to it
// land inside the host's folder rather than beside it.
std::string installFolderOf(const std::string& installPath);

// Finds the host as the installer does: reads the user settings, then the
// installation record, and gives the installation folder (installFolderOf)
// in *installFolder. False, leaving it unchanged, when either read fails or
// InstallPath is empty: without a folder every target would be relative to
// wherever the program happens to run, which is no host installation.
bool findHostInstallFolder(platform::Registry& registry, std::string* installFolder);

}  // namespace app
