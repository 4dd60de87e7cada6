// Localized texts and the process-wide table of language names.
//
// A localized text holds one string per language slot; in a document it is
// an element with one child per language, named by the slot's language name.
// The names come from the program's string table (ids 1 to 10 for slots 0
// to 9, ids 14 to 16 for slots 10 to 12), so the element names and the media
// match of an update use exactly the same thirteen names.
#pragma once

#include <array>
#include <string>

namespace platform {
class Resources;
}

namespace xml {

inline constexpr int kLanguageCount = 13;

// Language slots in their fixed order.
enum LanguageSlot : int {
  kEnglish = 0,
  kChineseSimplified = 1,
  kChineseTraditional = 2,
  kFrench = 3,
  kGerman = 4,
  kItalian = 5,
  kJapanese = 6,
  kKorean = 7,
  kPortuguese = 8,
  kSpanish = 9,
  kRussian = 10,
  kTurkish = 11,
  kArabic = 12,
};

// The standard language names in slot order: the element names of a
// localized text when the string table gives no other.
inline constexpr const char* kStandardLanguageNames[kLanguageCount] = {"English",
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

// One narrow (UTF-8) string per language slot; all empty when new.
using LocalizedText = std::array<std::string, kLanguageCount>;

// The string-table id that names |slot|.
int languageStringId(int slot);

// The thirteen names that |resources| gives, in slot order; a string the
// table lacks is replaced by the slot's standard name ("English",
// "Chinese_Simplified", ...), since an empty name could not be written as an
// element.
std::array<std::string, kLanguageCount> languageNamesFrom(platform::Resources& resources);

// Fills the process-wide table from |resources| when it is still empty;
// later calls leave it unchanged. Every I/O object calls it with the
// resources of its environment, so the table holds the names of the first
// environment that reads or writes a document.
void fillLanguageTable(platform::Resources& resources);

// The language name of |slot| (0 to 12; std::out_of_range for any other):
// the table's name, or the slot's standard name while the table is empty.
// The returned reference stays valid for the life of the process.
const std::string& languageName(int slot);

}  // namespace xml
