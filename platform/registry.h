// Read-only access to the Windows registry.
//
// The Windows backend calls the real registry; the POSIX backend reads the
// registry files of a Wine prefix. Key and value names compare without regard
// to case, as on Windows. Nothing in the system ever writes the registry.
#pragma once

#include <cstdint>
#include <string>

#include "platform/error.h"

namespace platform {

enum class Hive { kClassesRoot, kCurrentUser, kLocalMachine };

// Value types, numbered as in the Windows registry.
using RegType = std::uint32_t;
inline constexpr RegType kRegNone = 0;
inline constexpr RegType kRegSz = 1;
inline constexpr RegType kRegExpandSz = 2;
inline constexpr RegType kRegBinary = 3;
inline constexpr RegType kRegDword = 4;
inline constexpr RegType kRegDwordBigEndian = 5;
inline constexpr RegType kRegLink = 6;
inline constexpr RegType kRegMultiSz = 7;
inline constexpr RegType kRegQword = 11;

// An open key. 0 is never a valid handle.
using RegKey = std::uintptr_t;

class Registry {
 public:
  virtual ~Registry() = default;

  // Opens |subkey| (backslash-separated path below |hive|) for reading and
  // stores its handle in *key. Returns kFileNotFound when the key does not
  // exist. Every opened key must be closed with closeKey.
  virtual Error openKey(Hive hive, const std::string& subkey, RegKey* key) = 0;

  // Queries value |name| of |key| (an empty name is the key's default value)
  // with the contract of RegQueryValueExA:
  //  - on entry *size holds the size of |data| in bytes;
  //  - on success *type receives the value's type, the value's bytes are
  //    copied to |data| and *size receives their count. Strings (REG_SZ,
  //    REG_EXPAND_SZ, REG_MULTI_SZ) are UTF-8 and carry their terminating
  //    NUL when it fits in the buffer;
  //  - when the value is larger than *size, returns kMoreData with *size set
  //    to the size needed; |data| is then left unspecified, but no byte
  //    beyond the announced size is ever written;
  //  - |data| may be null to ask only for the type and the size;
  //  - |type| may be null.
  // Returns kFileNotFound when the value does not exist.
  virtual Error queryValue(RegKey key, const std::string& name, RegType* type, std::uint8_t* data,
                           std::uint32_t* size) = 0;

  // Closes a key opened by openKey.
  virtual void closeKey(RegKey key) = 0;
};

}  // namespace platform
