#include "xml/base64.h"

#include <array>
#include <limits>
#include <string_view>

namespace xml {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

constexpr std::uint8_t kInvalid = 0xFF;

constexpr std::array<std::uint8_t, 256> makeReverse() {
  std::array<std::uint8_t, 256> reverse{};
  for (auto& value : reverse) value = kInvalid;
  for (std::uint8_t i = 0; i < 64; ++i) reverse[static_cast<unsigned char>(kAlphabet[i])] = i;
  return reverse;
}

constexpr std::array<std::uint8_t, 256> kReverse = makeReverse();

constexpr std::string_view kXmlSpace = " \t\r\n";

}  // namespace

int CBase64::encode(const std::uint8_t* bytes, std::uint64_t size, std::string* text) {
  if (text == nullptr || (bytes == nullptr && size != 0)) return kUnreadableSource;
  std::uint64_t groups = size / 3 + (size % 3 != 0 ? 1 : 0);
  if (groups > std::numeric_limits<std::size_t>::max() / 4 - 1) return kTooLarge;

  std::string out(static_cast<std::size_t>(groups * 4), '=');
  std::size_t o = 0;
  std::uint64_t i = 0;
  for (; i + 3 <= size; i += 3) {
    std::uint32_t v =
        (std::uint32_t{bytes[i]} << 16) | (std::uint32_t{bytes[i + 1]} << 8) | bytes[i + 2];
    out[o++] = kAlphabet[v >> 18];
    out[o++] = kAlphabet[(v >> 12) & 0x3F];
    out[o++] = kAlphabet[(v >> 6) & 0x3F];
    out[o++] = kAlphabet[v & 0x3F];
  }
  if (std::uint64_t rest = size - i; rest != 0) {
    std::uint32_t v = std::uint32_t{bytes[i]} << 16;
    if (rest == 2) v |= std::uint32_t{bytes[i + 1]} << 8;
    out[o++] = kAlphabet[v >> 18];
    out[o++] = kAlphabet[(v >> 12) & 0x3F];
    if (rest == 2) out[o] = kAlphabet[(v >> 6) & 0x3F];
  }
  *text = std::move(out);
  return kOk;
}

int CBase64::decode(const char* text, std::uint64_t length, std::vector<std::uint8_t>* bytes) {
  if (bytes == nullptr || (text == nullptr && length != 0)) return kUnreadableSource;
  if (length > std::numeric_limits<std::size_t>::max()) return kTooLarge;
  std::string_view source(text, static_cast<std::size_t>(length));
  // Wrapped text is decoded from a copy without its white space.
  std::string compact;
  if (source.find_first_of(kXmlSpace) != std::string_view::npos) {
    compact.reserve(source.size());
    for (char c : source) {
      if (kXmlSpace.find(c) == std::string_view::npos) compact += c;
    }
    source = compact;
  }
  text = source.data();
  length = source.size();
  if (length % 4 != 0) return kMalformedSource;
  if (length / 4 > std::numeric_limits<std::size_t>::max() / 3) return kTooLarge;

  std::uint64_t padding = 0;
  while (padding < 2 && padding < length && text[length - 1 - padding] == '=') ++padding;
  // Every character before the padding must be of the alphabet; a third
  // '=' is caught here too.
  for (std::uint64_t i = 0; i < length - padding; ++i) {
    if (kReverse[static_cast<unsigned char>(text[i])] == kInvalid) return kMalformedSource;
  }

  std::vector<std::uint8_t> out(static_cast<std::size_t>(length / 4 * 3 - padding));
  std::size_t o = 0;
  for (std::uint64_t i = 0; i < length; i += 4) {
    std::uint32_t v = 0;
    for (std::uint64_t k = 0; k < 4; ++k) {
      char c = text[i + k];
      v = (v << 6) | (c == '=' ? 0 : kReverse[static_cast<unsigned char>(c)]);
    }
    const std::uint8_t group[3] = {static_cast<std::uint8_t>(v >> 16),
                                   static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)};
    for (int k = 0; k < 3 && o < out.size(); ++k) out[o++] = group[k];
  }
  *bytes = std::move(out);
  return kOk;
}

}  // namespace xml
