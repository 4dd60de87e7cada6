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
// A declaration must agree with the form a mark or the first '<' found: with
// the UTF-8 mark it names UTF-8; in UTF-16 or UTF-32 it names that form
// (or UCS-2, UCS-4); a document of 8-bit bytes cannot claim UTF-16 or
// UTF-32. A document whose declaration disagrees is not text in its
// encoding, as for a conforming parser.
#pragma once

#include <string>
#include <string_view>

namespace xml {

// Replaces |bytes| by their UTF-8 form as said above. False when they are
// not text in their encoding (a UTF-16 document of odd length, an unpaired
// surrogate, a code point above U+10FFFF, a sequence the legacy encoding
// does not have, a declaration that disagrees with the form found);
// |bytes| is then unspecified.
bool convertDocumentToUtf8(std::string& bytes);

// The value of the encoding pseudo-attribute of the XML declaration at the
// start of |text|; empty when there is no declaration or it names none.
std::string_view declaredEncoding(std::string_view text);

}  // namespace xml
