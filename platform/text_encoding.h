// Conversion of text in a legacy character encoding to UTF-8.
//
// A document may declare any encoding its writer used (a Japanese host may
// write Shift_JIS). The encodings known here are those both builds convert
// alike: the Windows backend with MultiByteToWideChar on the code page, the
// POSIX backend with iconv on the matching converter. Names compare without
// regard to letter case; each entry lists the names writers use for it.
//
//   code page  iconv        names
//   1250-1258  CP1250-1258  windows-125x, cp125x, x-cp125x
//   28591-99   ISO-8859-1-9 iso-8859-x, iso8859-x, iso_8859-x, latin1 (x = 1)
//   28603/05   ISO-8859-13/15
//   932        CP932        shift_jis, shift-jis, sjis, x-sjis, ms_kanji,
//                           windows-31j, cp932 (Windows' Shift_JIS)
//   20932      EUC-JP       euc-jp, x-euc-jp, eucjp
//   936        CP936        gb2312, gbk, cp936, x-gbk, gb_2312-80
//   950        CP950        big5, cp950, x-x-big5
//   949        CP949        euc-kr, ks_c_5601-1987, cp949, uhc, windows-949
//
// UTF-8 and UTF-16 are no legacy encodings: the XML layer reads them itself.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// One legacy encoding: its Windows code page and its iconv converter name.
struct LegacyEncoding {
  unsigned codePage;
  const char* iconvName;
};

// The legacy encoding named |name|, or null when it is not one of the table
// above.
const LegacyEncoding* findLegacyEncoding(std::string_view name);

// Converts |bytes| in |encoding| to UTF-8 into |utf8|. False, with |utf8|
// cleared, when a byte sequence is not valid in the encoding or the system
// lacks the converter. Implemented by each backend.
bool convertToUtf8(const LegacyEncoding& encoding, std::string_view bytes, std::string* utf8);

}  // namespace platform
