#include "xml/escape_codec.h"

#include <stdexcept>

namespace xml {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

bool isPlain(unsigned char byte) {
  if (byte < 0x20 || byte > 0x7E) return false;
  return byte != '"' && byte != '&' && byte != '\'' && byte != '<' && byte != '>' && byte != '\\';
}

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The pair of characters after "\x" read as C strtol reads them in base 16:
// leading white space and a sign are taken, conversion stops at the first
// non-hex character; the low byte of the result is kept.
unsigned char pairValue(char first, char second) {
  const char pair[2] = {first, second};
  std::size_t i = 0;
  if (pair[i] == ' ' || (pair[i] >= '\t' && pair[i] <= '\r')) ++i;
  bool negative = false;
  if (i < 2 && (pair[i] == '+' || pair[i] == '-')) negative = pair[i++] == '-';
  int value = 0;
  for (; i < 2 && hexValue(pair[i]) >= 0; ++i) value = value * 16 + hexValue(pair[i]);
  return static_cast<unsigned char>(negative ? -value : value);
}

}  // namespace

std::string encodeEscapedString(std::string_view bytes) {
  std::size_t count = 0;
  for (char c : bytes) count += isPlain(static_cast<unsigned char>(c)) ? 1 : 4;

  std::string text(count, '\0');
  std::size_t out = 0;
  for (char c : bytes) {
    auto byte = static_cast<unsigned char>(c);
    if (isPlain(byte)) {
      text[out++] = c;
    } else {
      text[out++] = '\\';
      text[out++] = 'x';
      text[out++] = kHexDigits[byte >> 4];
      text[out++] = kHexDigits[byte & 0xF];
    }
  }
  return text;
}

std::string decodeEscapedString(std::string_view text) {
  // First pass: check every escape and count the output.
  std::size_t count = 0;
  for (std::size_t i = 0; i < text.size(); ++count) {
    if (text[i] != '\\') {
      ++i;
      continue;
    }
    if (i + 1 >= text.size())
      throw std::runtime_error("decodeEscapedString(): invalid source string");
    if (text[i + 1] != 'x') {
      throw std::runtime_error("decodeEscapedString(): unrecognized escape sequence");
    }
    if (i + 3 >= text.size())
      throw std::runtime_error("decodeEscapedString(): invalid source string");
    i += 4;
  }

  std::string bytes(count, '\0');
  std::size_t out = 0;
  for (std::size_t i = 0; i < text.size();) {
    if (text[i] == '\\') {
      bytes[out++] = static_cast<char>(pairValue(text[i + 2], text[i + 3]));
      i += 4;
    } else {
      bytes[out++] = text[i++];
    }
  }
  return bytes;
}

}  // namespace xml
