// platform::Registry over the registry files of a Wine prefix.
//
// HKEY_LOCAL_MACHINE is <prefix>/system.reg, HKEY_CURRENT_USER is
// <prefix>/user.reg, and HKEY_CLASSES_ROOT is the machine's
// "Software\Classes", as in Wine. A hive file is read on the first use of
// its hive and kept; a missing or unreadable file is an empty hive, and so
// is anything but a regular file (a FIFO is refused, never waited for) and a
// file too large for memory. Changes
// made to the files afterwards are not seen, which suits a program that only
// reads the registry once at start-up.
//
// Not safe for concurrent use: the system runs on one thread.
#pragma once

#include <map>
#include <optional>
#include <string>

#include "platform/posix/wine_registry_parser.h"
#include "platform/registry.h"

namespace platform::posix {

class WineRegistry : public Registry {
 public:
  explicit WineRegistry(std::string prefix);

  // A key exists when the file has a section for it or for a key below it.
  // An empty |subkey| opens the hive root; empty components (doubled or
  // trailing backslashes) are ignored.
  Error openKey(Hive hive, const std::string& subkey, RegKey* key) override;

  // RegQueryValueExA as registry.h describes it. In addition, as Windows
  // does, a string value stored without a terminating NUL gets one written
  // after its bytes when the buffer has room; the NUL is not counted in
  // *size. Returns kInvalidHandle for a key that is not open and
  // kInvalidParameter when |data| is given without |size|.
  Error queryValue(RegKey key, const std::string& name, RegType* type, std::uint8_t* data,
                   std::uint32_t* size) override;

  void closeKey(RegKey key) override;

 private:
  const RegistryHive& loadedHive(Hive hive);

  std::string prefix_;
  std::optional<RegistryHive> machine_;
  std::optional<RegistryHive> user_;
  std::map<RegKey, const RegistryValues*> openKeys_;
  RegKey nextKey_ = 1;
};

}  // namespace platform::posix
