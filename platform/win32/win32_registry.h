// platform::Registry over the Windows registry (RegOpenKeyExW with KEY_READ,
// RegQueryValueExW).
//
// Values are read in their wide form; a string value (REG_SZ,
// REG_EXPAND_SZ, REG_MULTI_SZ) is converted to UTF-8 first, and only then is
// the caller's buffer applied, so sizes and the buffer contract count UTF-8
// bytes, exactly as the POSIX backend's WineRegistry does. Other types are
// their raw bytes.
//
// Not safe for concurrent use: the system runs on one thread.
#pragma once

#include <set>
#include <string>

#include "platform/registry.h"

namespace platform::win32 {

class Win32Registry : public Registry {
 public:
  // Empty components of |subkey| (doubled, leading or trailing backslashes)
  // are ignored, as the POSIX backend ignores them; an empty |subkey| opens
  // the hive's root.
  Error openKey(Hive hive, const std::string& subkey, RegKey* key) override;

  // RegQueryValueExA as registry.h describes it, on the UTF-8 form of the
  // value. As Windows does, a string value stored without a terminating NUL
  // gets one written after its bytes when the buffer has room; the NUL is
  // not counted in *size. Returns kInvalidHandle for a key not opened here
  // (or already closed) and kInvalidParameter when |data| is given without
  // |size|.
  Error queryValue(RegKey key, const std::string& name, RegType* type, std::uint8_t* data,
                   std::uint32_t* size) override;

  void closeKey(RegKey key) override;

 private:
  // The keys opened and not yet closed, so that a stale handle is refused
  // rather than handed to the registry, where it may name another key.
  std::set<RegKey> openKeys_;
};

}  // namespace platform::win32
