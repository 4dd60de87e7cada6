// Conversions between the UTF-8 of our narrow strings and UTF-16.
//
// Narrow strings hold UTF-8 everywhere; the Windows registry (and its Wine
// file form) and the wide Windows API speak UTF-16. Ill-formed input never
// fails a conversion: an unpaired surrogate or a malformed UTF-8 sequence
// becomes U+FFFD, and every NUL is kept, so multi-strings survive.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// Decodes the UTF-8 sequence at text[*pos] (which must be inside |text|) and
// advances *pos past it. A byte that does not start a well-formed sequence
// (a stray continuation byte, a lead byte without its continuation bytes, an
// overlong form, a surrogate, a value past U+10FFFF) gives U+FFFD and
// consumes only itself, so the byte after it is read on its own.
char32_t decodeUtf8(std::string_view text, std::size_t* pos);

// Appends the UTF-8 form of |codePoint| to |out| (U+FFFD for a surrogate or
// a value above U+10FFFF).
void appendUtf8(char32_t codePoint, std::string* out);

// UTF-16 code units to UTF-8.
std::string utf16ToUtf8(std::u16string_view text);

// UTF-16LE bytes to UTF-8. An odd trailing byte is dropped.
std::string utf16LeBytesToUtf8(const std::uint8_t* bytes, std::size_t size);

// UTF-8 to UTF-16 code units.
std::u16string utf8ToUtf16(std::string_view text);

}  // namespace platform
