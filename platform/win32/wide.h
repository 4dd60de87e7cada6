// UTF-8 <-> UTF-16 at the seam with the wide Windows API.
//
// Strings are UTF-8 everywhere above this layer; every Windows call of the
// backend is the wide (W) one, so names and texts in any language pass
// without loss. Ill-formed input is converted as platform/unicode.h says
// (U+FFFD), never refused; NULs are kept.
#pragma once

#include <string>
#include <string_view>

namespace platform::win32 {

std::wstring toWide(std::string_view utf8);

std::string fromWide(std::wstring_view wide);

}  // namespace platform::win32
