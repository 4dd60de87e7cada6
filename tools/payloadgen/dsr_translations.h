// Display names of the payload documents in all thirteen language slots
// (English, Chinese_Simplified, Chinese_Traditional, French, German, Italian,
// Japanese, Korean, Portuguese, Spanish, Russian, Turkish, Arabic).
#pragma once

#include <string_view>

#include "xml/language_table.h"

namespace dsr {

// One text per language slot, UTF-8, in the library's slot order.
using Localized = xml::LocalizedText;

// The same text in every slot (names that read alike in every language).
Localized sameInAllLanguages(std::string_view text);

// The generic media of the family, in the order of the media lists.
enum class Medium { kVinyl, kBanner, kPaper, kBacklit, kHeatTransferSheet };

// Quality levels, in level order.
enum class Quality { kFast, kStandard, kHigh };

// Separation looks; each is offered with and without the doubled cyan and
// magenta heads of the wide models.
enum class Look { kStandard, kVivid, kSmooth, kBacklit, kTransfer };

const Localized& mediaName(Medium medium);
const Localized& qualityName(Quality quality);
// Ink name by short name "K", "C", "M" or "Y".
const Localized& inkName(char shortName);
const Localized& inkConfigName(bool tessel);
Localized separationName(Look look, bool dualCyanMagenta);
// Name of the resolution entry that stands for the printer's own default.
const Localized& defaultResolutionName();
// Support page of the firmware downloads: the Japanese site in the Japanese
// slot, the international site in every other slot.
Localized firmwareDownloadUrl();

}  // namespace dsr
