// Legacy encodings to UTF-8 with MultiByteToWideChar.
#include <windows.h>

#include <climits>
#include <string>

#include "platform/text_encoding.h"
#include "platform/win32/wide.h"

namespace platform {

bool convertToUtf8(const LegacyEncoding& encoding, std::string_view bytes, std::string* utf8) {
  utf8->clear();
  if (bytes.empty()) return true;
  if (bytes.size() > static_cast<std::size_t>(INT_MAX)) return false;
  const int size = static_cast<int>(bytes.size());
  // MB_ERR_INVALID_CHARS refuses a sequence that is not a character of the
  // code page, as iconv does, instead of putting in a default character.
  const int wideSize =
      MultiByteToWideChar(encoding.codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
  if (wideSize <= 0) return false;
  std::wstring wide(static_cast<std::size_t>(wideSize), L'\0');
  if (MultiByteToWideChar(encoding.codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, wide.data(),
                          wideSize) != wideSize) {
    return false;
  }
  *utf8 = win32::fromWide(wide);
  return true;
}

}  // namespace platform
