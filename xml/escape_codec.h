// The escaped form of printer command strings.
//
// Command strings hold arbitrary bytes (escape sequences, line feeds, zero
// bytes) that XML text cannot carry as they are. Printable ASCII other than
// the six characters " & ' < > \ is kept; every other byte becomes the four
// characters \xHH (upper-case hex). So ESC E LF & is written \x1BE\x0A\x26.
#pragma once

#include <string>
#include <string_view>

namespace xml {

// The escaped text of |bytes|. Zero bytes inside are escaped like any other
// control byte. The result is allocated once at its final size.
std::string encodeEscapedString(std::string_view bytes);

// The bytes an escaped text stands for, zero bytes included. Characters
// other than a backslash are copied as they are (markup included). Each
// backslash must be followed by a lower-case 'x' and two more characters,
// which are read as hex like strtol: conversion stops at the first non-hex
// character ("4G" gives 4, "GG" gives 0), and the low byte of the number is
// stored. Raises std::runtime_error with the message
//  "decodeEscapedString(): invalid source string" when a backslash is the
//    last character or fewer than two characters follow its "x", and
//  "decodeEscapedString(): unrecognized escape sequence" when a backslash is
//    followed by anything but 'x'.
// The input is checked before the output is allocated once at its size.
std::string decodeEscapedString(std::string_view text);

}  // namespace xml
