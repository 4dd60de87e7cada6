// The text form of a Wine registry file (system.reg, user.reg).
//
//   WINE REGISTRY Version 2
//   ;; comment lines and "#arch=win64" style lines
//
//   [Software\\Harvel\\Harvel Rastella Dual\\Installer] 1700000000
//   #time=1da1234567890ab
//   @="default value"
//   "InstallPath"="C:\\Program Files\\Harvel\\"
//   "Path"=str(2):"%SystemRoot%\\system32"
//   "Count"=dword:0000002a
//   "Blob"=hex:01,02,03,04,05
//   "Wide"=hex(2):25,00,41,00,00,00
//
// Long hex lists are broken after a comma: the line ends with a backslash
// and the list goes on on the next, indented line.
// Backslashes in key names and in quoted text are written doubled; quoted
// text also knows \" \n \r \t \a \b \e \f \v, octal \0..\377 and \xHHHH
// (one UTF-16 code unit, Wine's form for every non-ASCII character; up to
// four hex digits are read). Raw bytes in the file are taken as UTF-8; a
// byte that is not part of a well-formed UTF-8 sequence (for example a
// Latin-1 "\xe9") is read as one U+FFFD and never takes the character
// after it. Damaged lines (broken quoting, binary junk, a NUL byte inside
// quotes) lose only what they hold: the value, or for a key line the values
// up to the next key line.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"

namespace platform::posix {

// One value as RegQueryValueExA hands it out: strings (REG_SZ, REG_EXPAND_SZ,
// REG_MULTI_SZ) in UTF-8, quoted ones with their terminating NUL; dwords as
// four little-endian bytes; hex data byte for byte, except that hex(1),
// hex(2) and hex(7) (UTF-16LE text) are turned into UTF-8.
struct RegistryValue {
  RegType type = kRegNone;
  std::vector<std::uint8_t> data;
};

// Values of one key, by name folded to lower case ("" is the default value).
using RegistryValues = std::map<std::string, RegistryValue>;

// The keys of a hive that the file has a section for, by their path below
// the hive root folded to lower case, components joined by single
// backslashes; the root itself is "" and always present. Ancestors without
// a section of their own are not stored (a deep key would otherwise cost
// memory quadratic in its depth); exists() finds them by a sorted lookup.
// The memory held is proportional to the size of the file.
struct RegistryHive {
  std::map<std::string, RegistryValues, std::less<>> keys;

  // The values of the key at |path| (normalized), or nullptr when the file
  // has no section for it.
  const RegistryValues* find(std::string_view path) const;

  // True for the root, for a key with a section and for every ancestor of
  // one (|path| normalized).
  bool exists(std::string_view path) const;
};

// Folds ASCII letters to lower case. Windows folds all of Unicode; the names
// the system looks up are ASCII, so this is enough.
std::string foldCase(std::string_view text);

// Turns a key path as callers write it ("Software\Harvel\") into the form
// RegistryHive uses: lower case, empty components dropped.
std::string normalizeKeyPath(std::string_view path);

// Parses the text of a registry file held in memory; touches no file. Any
// byte sequence is accepted and never crashes, hangs or takes memory beyond
// a small multiple of its size. A text that does not start with the
// "WINE REGISTRY Version 2" line gives an empty hive (holding only the root);
// a line that cannot be understood is skipped, as Wine skips it.
RegistryHive parseWineRegistry(std::string_view text);

}  // namespace platform::posix
