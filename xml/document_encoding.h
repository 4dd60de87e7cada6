// The bytes of a document brought to UTF-8 before it is parsed.
//
// The parser reads UTF-8 only; a document may come in any encoding XML
// allows, as the host's own XML engine reads them:
//  - a byte-order mark decides: UTF-8 (the mark is dropped), UTF-16 or
//    UTF-32, little or big endian;
//  - without a mark, a document whose first character is '<' in UTF-32 or
//    UTF-16 ("<\0\0\0", "\0\0\0<", "<\0", "\0<") is in that encoding;
//  - otherwise the encoding its XML declaration names decides: a legacy
//    encoding of platform/text_encoding.h is converted; no name, UTF-8,
//    UTF-16, US-ASCII and names nobody knows leave the bytes as they are, so
//    they must be UTF-8 to load.
// A declaration that names an encoding other than the one a mark or UTF-16
// found is not consulted: the mark wins.
#pragma once

#include <string>
#include <string_view>

namespace xml {

// Replaces |bytes| by their UTF-8 form as said above. False when they are
// not text in their encoding (a UTF-16 document of odd length, an unpaired
// surrogate, a code point above U+10FFFF, a sequence the legacy encoding
// does not have); |bytes| is then unspecified.
bool convertDocumentToUtf8(std::string& bytes);

// The value of the encoding pseudo-attribute of the XML declaration at the
// start of |text|; empty when there is no declaration or it names none.
std::string_view declaredEncoding(std::string_view text);

}  // namespace xml
