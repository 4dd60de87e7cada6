// Fuzz target: the escape and Base64 codecs and the number text forms.
//
// Properties: encode then decode gives the input back, for both codecs; a
// text that decodes encodes to a text that decodes to the same bytes; the
// number parsers agree with the C library's strtol (saturated to int) and
// strtod in the "C" locale; a formatted int parses back to itself; a
// formatted real is what printf "%.*f" gives.
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "xml/base64.h"
#include "xml/escape_codec.h"
#include "xml/number_text.h"

namespace {

void escapeRoundTrip(std::string_view bytes) {
  fuzz::check(xml::decodeEscapedString(xml::encodeEscapedString(bytes)) == bytes,
              "escape: decode(encode(x)) == x");
  std::string decoded;
  try {
    decoded = xml::decodeEscapedString(bytes);
  } catch (const std::runtime_error&) {
    return;
  }
  fuzz::check(xml::decodeEscapedString(xml::encodeEscapedString(decoded)) == decoded,
              "escape: a decoded text survives another round trip");
}

void base64RoundTrip(std::string_view bytes) {
  xml::CBase64 codec;
  const auto* raw = reinterpret_cast<const std::uint8_t*>(bytes.data());
  std::string text;
  fuzz::check(codec.encode(raw, bytes.size(), &text) == xml::CBase64::kOk, "base64: encode");
  fuzz::check(text.size() == (bytes.size() + 2) / 3 * 4, "base64: encoded length");
  std::vector<std::uint8_t> back;
  fuzz::check(codec.decode(text.data(), text.size(), &back) == xml::CBase64::kOk,
              "base64: its own text decodes");
  fuzz::check(std::string_view(reinterpret_cast<const char*>(back.data()), back.size()) == bytes,
              "base64: decode(encode(x)) == x");

  std::vector<std::uint8_t> decoded;
  if (codec.decode(bytes.data(), bytes.size(), &decoded) != xml::CBase64::kOk) return;
  std::string again;
  fuzz::check(codec.encode(decoded.data(), decoded.size(), &again) == xml::CBase64::kOk,
              "base64: decoded bytes encode");
  std::vector<std::uint8_t> twice;
  fuzz::check(
      codec.decode(again.data(), again.size(), &twice) == xml::CBase64::kOk && twice == decoded,
      "base64: decoded bytes survive another round trip");
}

void numbers(std::string_view bytes) {
  // The C functions need a terminated string; the parsers stop at a NUL too.
  const std::string text(bytes.substr(0, bytes.find('\0')));
  errno = 0;
  const long wide = std::strtol(text.c_str(), nullptr, 10);
  const int expectedInt = wide > INT_MAX ? INT_MAX : wide < INT_MIN ? INT_MIN : int(wide);
  fuzz::check(xml::parseInt(text) == expectedInt, "parseInt agrees with strtol");

  const double expectedReal = std::strtod(text.c_str(), nullptr);
  const double real = xml::parseReal(text);
  fuzz::check((std::isnan(real) && std::isnan(expectedReal)) ||
                  std::memcmp(&real, &expectedReal, sizeof real) == 0,
              "parseReal agrees with strtod");

  int value = 0;
  std::memcpy(&value, bytes.data(), std::min(bytes.size(), sizeof value));
  fuzz::check(xml::parseInt(xml::formatInt(value)) == value, "parseInt(formatInt(v)) == v");

  // Any double, including NaNs, infinities and subnormals, with 0 to 17
  // decimals; 3 is what documents use, so it gets every other input.
  double number = 0;
  std::memcpy(&number, bytes.data(), std::min(bytes.size(), sizeof number));
  const unsigned selector = bytes.size() > sizeof number ? std::uint8_t(bytes[sizeof number]) : 1;
  const int decimals = selector % 2 == 0 ? int(selector / 2 % 18) : 3;
  char printed[400];
  std::snprintf(printed, sizeof printed, "%.*f", decimals, number);
  fuzz::check(xml::formatReal(number, decimals) == printed, "formatReal agrees with printf");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  escapeRoundTrip(bytes);
  base64RoundTrip(bytes);
  numbers(bytes);
  return 0;
}
