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

// The language name of |slot| (0 to 12; std::out_of_range for any other).
// On first use the table is filled from the program's string table; a string the table lacks is
// replaced by the slot's standard name ("English", "Chinese_Simplified", ...), since an empty name
// could not be written as an element. The returned reference stays valid until resetLanguageTable.
const std::string& languageName(int slot);

// Empties the table so that the next languageName fills it again, from
// |source| when given (which must then outlive that use), otherwise from the
// resources of platform::Env::Default(). For tests and tools.
void resetLanguageTable(platform::Resources* source = nullptr);

}  // namespace xml
