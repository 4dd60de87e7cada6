// Base64 (RFC 4648: standard alphabet, '=' padding) for the binary blocks of
// documents. Encoding writes no line breaks; decoding skips the XML white
// space that writers put in to wrap long blocks.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace xml {

class CBase64 {
 public:
  // Results of encode and decode.
  static constexpr int kOk = 0;
  // The source pointer is null while its size is not 0.
  static constexpr int kUnreadableSource = 1;
  // decode only: the text is no whole number of 4-character groups of the
  // alphabet, or its padding is misplaced.
  static constexpr int kMalformedSource = 2;
  // The output size cannot be represented.
  static constexpr int kTooLarge = 3;

  virtual ~CBase64() = default;

  // Encodes |size| bytes at |bytes| into |text|: 4 characters per started
  // group of 3 bytes, the last group padded with "==" (1 byte) or "=" (2
  // bytes). The text is allocated once at its final size. On a non-zero
  // result |text| is left unchanged.
  virtual int encode(const std::uint8_t* bytes, std::uint64_t size, std::string* text);

  // Decodes |length| characters at |text| into |bytes|: 3 bytes per group
  // of 4 characters, less one per '=' at the end. Space, tab, carriage
  // return and line feed are skipped wherever they stand. Of the rest,
  // only whole groups of the alphabet are accepted, with '=' only as the
  // last one or two characters; anything else (a stray character, a count
  // that is no multiple of 4) yields kMalformedSource. Unused low bits of
  // the last group are ignored. On a non-zero result |bytes| is left
  // unchanged.
  virtual int decode(const char* text, std::uint64_t length, std::vector<std::uint8_t>* bytes);
};

}  // namespace xml
