#include "xml/document_encoding.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>

#include "platform/text_encoding.h"
#include "platform/unicode.h"

namespace xml {
namespace {

// A declaration is short; one that does not end within this many bytes is
// not looked into (the parser then judges the document).
constexpr std::size_t kDeclarationScan = 4096;

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool startsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

// Decodes |bytes| as UTF-16 or UTF-32 (|unit| 2 or 4 bytes) of the given
// byte order, strictly: a surrogate must be paired, a code point at most
// U+10FFFF.
bool decodeUnits(std::string_view bytes, std::size_t unit, bool bigEndian, std::string& out) {
  if (bytes.size() % unit != 0) return false;
  std::string text;
  text.reserve(bytes.size() / unit * 3 / 2 + 1);
  auto unitAt = [&](std::size_t i) {
    std::uint32_t value = 0;
    for (std::size_t k = 0; k < unit; ++k) {
      auto byte = static_cast<std::uint8_t>(bytes[i + (bigEndian ? k : unit - 1 - k)]);
      value = (value << 8) | byte;
    }
    return value;
  };
  for (std::size_t i = 0; i < bytes.size(); i += unit) {
    std::uint32_t code = unitAt(i);
    if (code >= 0xDC00 && code <= 0xDFFF) return false;
    if (code >= 0xD800 && code <= 0xDBFF) {
      if (unit != 2 || i + unit >= bytes.size()) return false;
      const std::uint32_t low = unitAt(i + unit);
      if (low < 0xDC00 || low > 0xDFFF) return false;
      code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
      i += unit;
    }
    if (code > 0x10FFFF) return false;
    platform::appendUtf8(static_cast<char32_t>(code), &text);
  }
  out = std::move(text);
  return true;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [&](char x, char y) { return lower(x) == lower(y); });
}

bool isAnyOf(std::string_view name, std::initializer_list<std::string_view> names) {
  return std::any_of(names.begin(), names.end(),
                     [&](std::string_view known) { return equalsIgnoringCase(name, known); });
}

bool namesUtf16(std::string_view name) {
  return isAnyOf(name, {"UTF-16", "UTF-16LE", "UTF-16BE", "UCS-2", "ISO-10646-UCS-2", "Unicode"});
}

bool namesUtf32(std::string_view name) {
  return isAnyOf(name, {"UTF-32", "UTF-32LE", "UTF-32BE", "UCS-4", "ISO-10646-UCS-4"});
}

// The form the bytes were found in, which a declared encoding must name.
enum class Found { kUtf8Mark, kUtf16, kUtf32, kEightBit };

// True when the declaration at the start of |text| names no encoding or one
// that agrees with |found|.
bool declarationAgrees(std::string_view text, Found found) {
  const std::string_view name = declaredEncoding(text);
  if (name.empty()) return true;
  switch (found) {
    case Found::kUtf8Mark:
      return equalsIgnoringCase(name, "UTF-8");
    case Found::kUtf16:
      return namesUtf16(name);
    case Found::kUtf32:
      return namesUtf32(name);
    case Found::kEightBit:
      break;
  }
  return !namesUtf16(name) && !namesUtf32(name);
}

// Decodes |bytes| as decodeUnits does into |out|, then checks the
// declaration of the text against |found|.
bool decodeMarked(std::string_view bytes, std::size_t unit, bool bigEndian, std::string& out) {
  std::string text;
  if (!decodeUnits(bytes, unit, bigEndian, text)) return false;
  if (!declarationAgrees(text, unit == 2 ? Found::kUtf16 : Found::kUtf32)) return false;
  out = std::move(text);
  return true;
}

}  // namespace

std::string_view declaredEncoding(std::string_view text) {
  if (!startsWith(text, "<?xml") || text.size() < 6 || !isSpace(text[5])) return {};
  const std::size_t end = text.substr(0, kDeclarationScan).find("?>");
  if (end == std::string_view::npos) return {};
  std::string_view declaration = text.substr(5, end - 5);
  for (std::size_t at = declaration.find("encoding"); at != std::string_view::npos;
       at = declaration.find("encoding", at + 1)) {
    if (!isSpace(declaration[at - 1])) continue;
    std::size_t i = at + 8;
    while (i < declaration.size() && isSpace(declaration[i])) ++i;
    if (i >= declaration.size() || declaration[i] != '=') continue;
    ++i;
    while (i < declaration.size() && isSpace(declaration[i])) ++i;
    if (i >= declaration.size() || (declaration[i] != '"' && declaration[i] != '\'')) continue;
    const std::size_t close = declaration.find(declaration[i], i + 1);
    if (close == std::string_view::npos) return {};
    return declaration.substr(i + 1, close - i - 1);
  }
  return {};
}

bool convertDocumentToUtf8(std::string& bytes) {
  const std::string_view view(bytes);
  if (startsWith(view, "\xEF\xBB\xBF")) {
    if (!declarationAgrees(view.substr(3), Found::kUtf8Mark)) return false;
    bytes.erase(0, 3);
    return true;
  }
  if (startsWith(view, std::string_view("\xFF\xFE\0\0", 4))) {
    return decodeMarked(view.substr(4), 4, false, bytes);
  }
  if (startsWith(view, std::string_view("\0\0\xFE\xFF", 4))) {
    return decodeMarked(view.substr(4), 4, true, bytes);
  }
  if (startsWith(view, "\xFF\xFE")) return decodeMarked(view.substr(2), 2, false, bytes);
  if (startsWith(view, "\xFE\xFF")) return decodeMarked(view.substr(2), 2, true, bytes);
  // Unmarked: the first '<' tells the width and byte order.
  if (startsWith(view, std::string_view("<\0\0\0", 4))) return decodeMarked(view, 4, false, bytes);
  if (startsWith(view, std::string_view("\0\0\0<", 4))) return decodeMarked(view, 4, true, bytes);
  if (startsWith(view, std::string_view("<\0", 2))) return decodeMarked(view, 2, false, bytes);
  if (startsWith(view, std::string_view("\0<", 2))) return decodeMarked(view, 2, true, bytes);

  if (!declarationAgrees(view, Found::kEightBit)) return false;
  const std::string_view name = declaredEncoding(view);
  const platform::LegacyEncoding* encoding = platform::findLegacyEncoding(name);
  if (encoding == nullptr) return true;
  std::string utf8;
  if (!platform::convertToUtf8(*encoding, view, &utf8)) return false;
  bytes = std::move(utf8);
  return true;
}

}  // namespace xml
