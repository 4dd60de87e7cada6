#include "platform/win32/wide.h"

#include "platform/unicode.h"

namespace platform::win32 {

// wchar_t holds one UTF-16 code unit on Windows, so the conversions of
// platform/unicode.h serve the wide API unit for unit.
static_assert(sizeof(wchar_t) == sizeof(char16_t), "wchar_t must be a UTF-16 code unit");

std::wstring toWide(std::string_view utf8) {
  const std::u16string units = utf8ToUtf16(utf8);
  return std::wstring(units.begin(), units.end());
}

std::string fromWide(std::wstring_view wide) {
  const std::u16string units(wide.begin(), wide.end());
  return utf16ToUtf8(units);
}

}  // namespace platform::win32
