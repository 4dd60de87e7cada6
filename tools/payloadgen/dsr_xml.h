// Element builders for the payload device-series documents.
//
// Each builder appends one child element to a parent and writes the value in
// the text form the system's device-series writer uses, so that a document
// built here comes back byte for byte when it is read and written again:
// ints in decimal, reals with exactly three decimals in the C locale, bools
// as "true" / "false", an empty text as an element without any child, and
// command strings in the escaped form.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include <pugixml.hpp>

namespace dsr {

inline constexpr int kLanguageCount = 13;

// The language element names, in slot order.
inline constexpr std::array<const char*, kLanguageCount> kLanguageNames = {"English",
                                                                           "Chinese_Simplified",
                                                                           "Chinese_Traditional",
                                                                           "French",
                                                                           "German",
                                                                           "Italian",
                                                                           "Japanese",
                                                                           "Korean",
                                                                           "Portuguese",
                                                                           "Spanish",
                                                                           "Russian",
                                                                           "Turkish",
                                                                           "Arabic"};

// One text per language slot, UTF-8.
using Localized = std::array<std::string, kLanguageCount>;

// The same text in every slot (names that read alike in every language).
Localized sameInAllLanguages(std::string_view text);

// Rounds to three decimals; never yields negative zero.
double milli(double value);

// "%.3f" of the value in the C locale.
std::string formatReal(double value);

// The escaped form of a command string: every byte outside 0x20..0x7E and
// each of " & ' < > \ becomes \xHH with upper-case hex digits.
std::string escapeCommand(std::string_view bytes);

pugi::xml_node addElement(pugi::xml_node parent, const char* name);
void addText(pugi::xml_node parent, const char* name, std::string_view text);
void addInt(pugi::xml_node parent, const char* name, long long value);
void addBool(pugi::xml_node parent, const char* name, bool value);
// A 64-bit real field.
void addDouble(pugi::xml_node parent, const char* name, double value);
// A 32-bit real field: the value is narrowed to float first, as the record
// holds it, so the written text is the one a read and write reproduces.
void addFloat(pugi::xml_node parent, const char* name, double value);
void addLocalized(pugi::xml_node parent, const char* name, const Localized& text);
void addCommand(pugi::xml_node parent, const char* name, std::string_view bytes);
// A fixed array of 24 ints written as children value0 .. value23.
void addValueArray(pugi::xml_node parent, const char* name, const std::array<int, 24>& slots);

}  // namespace dsr
