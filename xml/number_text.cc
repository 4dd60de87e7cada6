#include "xml/number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <system_error>

namespace xml {
namespace {

bool isCSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool isHexDigit(char c) { return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

// Skips white space and an optional sign; returns true for '-'.
bool skipSpaceAndSign(const char*& p, const char* end) {
  while (p != end && isCSpace(*p)) ++p;
  if (p != end && (*p == '+' || *p == '-')) return *p++ == '-';
  return false;
}

// Whether a number that from_chars found out of range is too large (true)
// or too small (false). |p| to |end| is the matched number: decimal digits
// with an optional point and exponent, or a hexadecimal mantissa with a
// binary exponent.
bool isOverflow(const char* p, const char* end, bool hex) {
  char exponentMark = hex ? 'p' : 'e';
  long long magnitude = 0;  // decimal (or hex) digits before the point
  bool seenPoint = false;
  bool seenNonZero = false;
  for (; p != end && *p != exponentMark && *p != exponentMark - 32; ++p) {
    if (*p == '.') {
      seenPoint = true;
    } else if (*p != '0' || seenNonZero) {
      if (!seenNonZero) seenNonZero = true;
      if (!seenPoint) ++magnitude;
    } else if (seenPoint) {
      --magnitude;  // a leading zero after the point
    }
  }
  long long exponent = 0;
  if (p != end) {
    ++p;
    bool negative = skipSpaceAndSign(p, end);
    for (; p != end && isDigit(*p); ++p) {
      if (exponent < 1'000'000'000) exponent = exponent * 10 + (*p - '0');
    }
    if (negative) exponent = -exponent;
  }
  return hex ? exponent + 4 * magnitude > 0 : exponent + magnitude > 0;
}

// The end of the longest hexadecimal number at |p| (after "0x"): hex digits
// with at most one point, then a binary exponent only when a digit follows
// 'p' and its one optional sign. from_chars is given no more than this, as
// some library versions take "p+-3" for an exponent where strtod stops
// before the 'p'.
const char* hexNumberEnd(const char* p, const char* end) {
  bool seenPoint = false;
  for (; p != end && (isHexDigit(*p) || (*p == '.' && !seenPoint)); ++p) {
    if (*p == '.') seenPoint = true;
  }
  if (p == end || (*p != 'p' && *p != 'P')) return p;
  const char* exponent = p + 1;
  if (exponent != end && (*exponent == '+' || *exponent == '-')) ++exponent;
  if (exponent == end || !isDigit(*exponent)) return p;
  while (exponent != end && isDigit(*exponent)) ++exponent;
  return exponent;
}

// printf "%.*f" of |value| into |out| when the double product value ×
// 10^decimals decides the rounding for certain: below 2^40 it is within
// 2^-13 of the exact product, so a fraction at least 2^-10 away from one
// half rounds as the exact one does. False near a tie, for large values and
// many decimals, and for values that are not finite.
bool formatFixedFast(double value, int decimals, std::string& out) {
  static constexpr double kPowers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                       1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  constexpr int kMaxDecimals = 15;
  if (decimals > kMaxDecimals || !std::isfinite(value)) return false;
  const double scaled = std::fabs(value) * kPowers[decimals];
  if (!(scaled < 0x1p40)) return false;
  const double whole = std::floor(scaled);
  const double fraction = scaled - whole;
  if (std::fabs(fraction - 0.5) < 0x1p-10) return false;
  const auto rounded = static_cast<std::uint64_t>(whole) + (fraction > 0.5 ? 1 : 0);

  char digits[24];
  const auto length =
      static_cast<std::size_t>(std::to_chars(digits, digits + sizeof digits, rounded).ptr - digits);
  const auto places = static_cast<std::size_t>(decimals);
  // Sign, integer digits, point, decimals: at most 1 + 13 + 1 + 15 bytes.
  char text[32];
  char* p = text;
  // printf writes the sign of a negative value that rounds to zero too.
  if (std::signbit(value)) *p++ = '-';
  if (length <= places) {
    *p++ = '0';
    *p++ = '.';
    p = std::fill_n(p, places - length, '0');
    p = std::copy_n(digits, length, p);
  } else {
    p = std::copy_n(digits, length - places, p);
    if (places > 0) {
      *p++ = '.';
      p = std::copy_n(digits + length - places, places, p);
    }
  }
  out.assign(text, p);
  return true;
}

}  // namespace

std::string formatInt(int value) {
  char buffer[16];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

std::string formatReal(double value, int decimals) {
  if (decimals < 0) decimals = 6;
  std::string text;
  if (formatFixedFast(value, decimals, text)) return text;
  // Sign, up to 309 integer digits, point and the decimals.
  text.resize(static_cast<std::size_t>(decimals) + 320);
  auto result = std::to_chars(text.data(), text.data() + text.size(), value,
                              std::chars_format::fixed, decimals);
  text.resize(static_cast<std::size_t>(result.ptr - text.data()));
  return text;
}

int parseInt(std::string_view text) {
  const char* p = text.data();
  const char* end = p + text.size();
  bool negative = skipSpaceAndSign(p, end);
  constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<int>::max()} + 1;
  std::int64_t value = 0;
  for (; p != end && isDigit(*p); ++p) {
    value = value * 10 + (*p - '0');
    if (value > kLimit) value = kLimit;  // saturate; further digits change nothing
  }
  if (negative) return static_cast<int>(-value);
  return static_cast<int>(value < kLimit ? value : kLimit - 1);
}

double parseReal(std::string_view text) {
  const char* p = text.data();
  const char* end = p + text.size();
  bool negative = skipSpaceAndSign(p, end);
  // from_chars would take a second sign itself; atof does not.
  if (p == end || *p == '+' || *p == '-') return 0.0;

  bool hex = false;
  if (end - p > 2 && p[0] == '0' && (p[1] == 'x' || p[1] == 'X') &&
      (isHexDigit(p[2]) || (p[2] == '.' && end - p > 3 && isHexDigit(p[3])))) {
    hex = true;
    p += 2;
  }
  if (hex) end = hexNumberEnd(p, end);
  double value = 0.0;
  auto result =
      std::from_chars(p, end, value, hex ? std::chars_format::hex : std::chars_format::general);
  if (result.ec == std::errc::invalid_argument) return 0.0;  // "0x" alone reads as 0 too
  if (result.ec == std::errc::result_out_of_range) {
    value = isOverflow(p, result.ptr, hex) ? std::numeric_limits<double>::infinity() : 0.0;
  }
  return negative ? -value : value;
}

}  // namespace xml
