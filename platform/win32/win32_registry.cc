#include "platform/win32/win32_registry.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstring>
#include <vector>

#include "platform/unicode.h"
#include "platform/win32/wide.h"
#include "platform/win32/win32_error.h"

namespace platform::win32 {
namespace {

HKEY rootOf(Hive hive) {
  switch (hive) {
    case Hive::kClassesRoot:
      return HKEY_CLASSES_ROOT;
    case Hive::kCurrentUser:
      return HKEY_CURRENT_USER;
    case Hive::kLocalMachine:
      break;
  }
  return HKEY_LOCAL_MACHINE;
}

// |subkey| without empty components: the registry refuses them, the POSIX
// backend skips them.
std::string withoutEmptyComponents(const std::string& subkey) {
  std::string path;
  std::size_t start = 0;
  while (start <= subkey.size()) {
    std::size_t end = subkey.find('\\', start);
    if (end == std::string::npos) end = subkey.size();
    if (end > start) {
      if (!path.empty()) path += '\\';
      path.append(subkey, start, end - start);
    }
    start = end + 1;
  }
  return path;
}

bool isTextType(RegType type) {
  return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz;
}

// The value's type and bytes as the registry holds them.
Error readRawValue(HKEY key, const std::wstring& name, DWORD* type,
                   std::vector<std::uint8_t>* bytes) {
  for (;;) {
    DWORD size = 0;
    LSTATUS status = ::RegQueryValueExW(key, name.c_str(), nullptr, type, nullptr, &size);
    if (status != ERROR_SUCCESS) return errorFromWin32(static_cast<std::uint32_t>(status));
    bytes->resize(size);
    status = ::RegQueryValueExW(key, name.c_str(), nullptr, type, bytes->data(), &size);
    if (status == ERROR_MORE_DATA) continue;  // the value grew between the two calls
    if (status != ERROR_SUCCESS) return errorFromWin32(static_cast<std::uint32_t>(status));
    bytes->resize(size);
    return kOk;
  }
}

}  // namespace

Error Win32Registry::openKey(Hive hive, const std::string& subkey, RegKey* key) {
  if (key == nullptr) return kInvalidParameter;
  HKEY opened = nullptr;
  const LSTATUS status = ::RegOpenKeyExW(
      rootOf(hive), toWide(withoutEmptyComponents(subkey)).c_str(), 0, KEY_READ, &opened);
  if (status != ERROR_SUCCESS) return errorFromWin32(static_cast<std::uint32_t>(status));
  *key = reinterpret_cast<RegKey>(opened);
  openKeys_.insert(*key);
  return kOk;
}

Error Win32Registry::queryValue(RegKey key, const std::string& name, RegType* type,
                                std::uint8_t* data, std::uint32_t* size) {
  if (!openKeys_.contains(key)) return kInvalidHandle;
  if (data != nullptr && size == nullptr) return kInvalidParameter;
  DWORD valueType = 0;
  std::vector<std::uint8_t> value;
  const Error error = readRawValue(reinterpret_cast<HKEY>(key), toWide(name), &valueType, &value);
  if (error != kOk) return error;
  if (isTextType(valueType)) {
    const std::string utf8 = utf16LeBytesToUtf8(value.data(), value.size());
    value.assign(utf8.begin(), utf8.end());
  }

  const auto needed = static_cast<std::uint32_t>(value.size());
  if (type != nullptr) *type = valueType;
  if (data == nullptr) {
    if (size != nullptr) *size = needed;
    return kOk;
  }
  if (needed > *size) {
    *size = needed;
    return kMoreData;
  }
  if (needed > 0) std::memcpy(data, value.data(), needed);
  const bool terminated = needed > 0 && value.back() == 0;
  if (isTextType(valueType) && !terminated && needed < *size) data[needed] = 0;
  *size = needed;
  return kOk;
}

void Win32Registry::closeKey(RegKey key) {
  if (openKeys_.erase(key) > 0) ::RegCloseKey(reinterpret_cast<HKEY>(key));
}

}  // namespace platform::win32
