#include "xml/document_encoding.h"

#include <cstddef>
#include <cstdint>

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
    bytes.erase(0, 3);
    return true;
  }
  if (startsWith(view, std::string_view("\xFF\xFE\0\0", 4))) {
    return decodeUnits(view.substr(4), 4, false, bytes);
  }
  if (startsWith(view, std::string_view("\0\0\xFE\xFF", 4))) {
    return decodeUnits(view.substr(4), 4, true, bytes);
  }
  if (startsWith(view, "\xFF\xFE")) return decodeUnits(view.substr(2), 2, false, bytes);
  if (startsWith(view, "\xFE\xFF")) return decodeUnits(view.substr(2), 2, true, bytes);
  // Unmarked: the first '<' tells the width and byte order.
  if (startsWith(view, std::string_view("<\0\0\0", 4))) return decodeUnits(view, 4, false, bytes);
  if (startsWith(view, std::string_view("\0\0\0<", 4))) return decodeUnits(view, 4, true, bytes);
  if (startsWith(view, std::string_view("<\0", 2))) return decodeUnits(view, 2, false, bytes);
  if (startsWith(view, std::string_view("\0<", 2))) return decodeUnits(view, 2, true, bytes);

  const std::string_view name = declaredEncoding(view);
  const platform::LegacyEncoding* encoding = platform::findLegacyEncoding(name);
  if (encoding == nullptr) return true;
  std::string utf8;
  if (!platform::convertToUtf8(*encoding, view, &utf8)) return false;
  bytes = std::move(utf8);
  return true;
}

}  // namespace xml
