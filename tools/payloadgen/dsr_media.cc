#include "tools/payloadgen/dsr_media.h"

#include <array>
#include <string>
#include <vector>

#include "tools/payloadgen/dsr_permissions.h"
#include "tools/payloadgen/dsr_random.h"
#include "tools/payloadgen/dsr_translations.h"
#include "tools/payloadgen/dsr_xml.h"

namespace dsr {
namespace {

struct Date {
  int year, month, day;
};

struct Level {
  Quality quality;
  int scanDpi;
  int feedDpi;
  std::array<int, 2> modes;  // nModeIndex of the first and second set
};

struct MediaPreset {
  Medium medium;
  const char* profileMedium;  // medium part of the profile file names
  bool wideOnly;              // the 300 profiles do not cover it
  std::vector<Level> levels;
  int setsPerLevel;  // 1 or 2
  int defaultLevel;
  int inkLimit;
  int overPrintCount;
  Date date;
  int outputLimitCut;
  double densityScale;
  Lab paper;
};

const Level kFast = {Quality::kFast, 600, 600, {200, 201}};
const Level kStandard = {Quality::kStandard, 900, 600, {203, 204}};
const Level kHigh = {Quality::kHigh, 900, 900, {209, 210}};

const std::vector<MediaPreset>& mediaPresets() {
  static const std::vector<MediaPreset> presets = {
      {.medium = Medium::kVinyl,
       .profileMedium = "GenericPVC",
       .wideOnly = false,
       .levels = {kFast, kStandard, kHigh},
       .setsPerLevel = 2,
       .defaultLevel = 1,
       .inkLimit = 240,
       .overPrintCount = 1,
       .date = {2016, 3, 1},
       .outputLimitCut = 0,
       .densityScale = 1.0,
       .paper = {94.0, 0.5, -3.0}},
      {.medium = Medium::kBanner,
       .profileMedium = "GenericBanner",
       .wideOnly = true,
       .levels = {kFast, kStandard},
       .setsPerLevel = 2,
       .defaultLevel = 0,
       .inkLimit = 220,
       .overPrintCount = 1,
       .date = {2016, 3, 1},
       .outputLimitCut = 5,
       .densityScale = 0.93,
       .paper = {91.0, 0.8, -1.5}},
      {.medium = Medium::kPaper,
       .profileMedium = "GenericPaper",
       .wideOnly = false,
       .levels = {kFast, kStandard, kHigh},
       .setsPerLevel = 2,
       .defaultLevel = 1,
       .inkLimit = 200,
       .overPrintCount = 1,
       .date = {2016, 3, 1},
       .outputLimitCut = 10,
       .densityScale = 0.88,
       .paper = {95.0, 1.5, -6.0}},
      // Backlit film is printed twice over; its profiles start at 900 x 600.
      {.medium = Medium::kBacklit,
       .profileMedium = "GenericBacklit",
       .wideOnly = false,
       .levels = {kStandard, kHigh},
       .setsPerLevel = 2,
       .defaultLevel = 1,
       .inkLimit = 240,
       .overPrintCount = 2,
       .date = {2016, 8, 2},
       .outputLimitCut = 0,
       .densityScale = 1.05,
       .paper = {92.0, -0.5, 1.0}},
      {.medium = Medium::kHeatTransferSheet,
       .profileMedium = "GenericHeatTransferSheet",
       .wideOnly = false,
       .levels = {kStandard, kHigh},
       .setsPerLevel = 1,
       .defaultLevel = 0,
       .inkLimit = 210,
       .overPrintCount = 1,
       .date = {2016, 8, 2},
       .outputLimitCut = 5,
       .densityScale = 0.9,
       .paper = {93.0, 0.2, -2.0}},
  };
  return presets;
}

void addTimeStamp(pugi::xml_node parent, const Date& date) {
  pugi::xml_node node = addElement(parent, "TimeStamp");
  addInt(node, "year", date.year);
  addInt(node, "month", date.month);
  addInt(node, "day", date.day);
  addInt(node, "hour", 0);
  addInt(node, "minute", 0);
  addInt(node, "second", 0);
  addInt(node, "ms", 0);
}

std::string profileName(const Variant& v, const MediaPreset& preset, const Level& level) {
  return std::string(profilePrefix(v)) + preset.profileMedium + "_" +
         std::to_string(level.scanDpi) + "x" + std::to_string(level.feedDpi) + ".icc";
}

void appendMedia(pugi::xml_node list, const Variant& v, const MediaPreset& preset, int ordinal) {
  Rng rng(v.seed ^ (0x4D454449ULL + static_cast<unsigned>(ordinal)));
  pugi::xml_node node = addElement(list, "MediaInfo");
  addLocalized(node, "strMediaName", mediaName(preset.medium));
  // The generic media derive from no other media.
  addLocalized(node, "strBaseMediaName", Localized{});

  pugi::xml_node sets = addElement(node, "aPermissionSetList");
  for (size_t l = 0; l < preset.levels.size(); ++l) {
    const Level& level = preset.levels[l];
    for (int s = 0; s < preset.setsPerLevel; ++s) {
      const PermissionSetting set = {
          .index = static_cast<int>(10 * (l + 1)) + s,
          .scanDpi = level.scanDpi,
          .feedDpi = level.feedDpi,
          .modeIndex = level.modes[static_cast<size_t>(s)],
          .fast = level.quality == Quality::kFast,
          .inkLimit = preset.inkLimit,
          .profile = profileName(v, preset, level),
          .vControlBase = ordinal * 12 + static_cast<int>(l) * 4 + s * 2,
          .outputLimitCut = preset.outputLimitCut,
          .densityScale = preset.densityScale,
          .paper = preset.paper,
      };
      appendPermissionSet(sets, set, rng);
    }
  }

  pugi::xml_node qualities = addElement(node, "aQualityInfoList");
  for (size_t l = 0; l < preset.levels.size(); ++l) {
    pugi::xml_node quality = addElement(qualities, "QualityInfo");
    addInt(quality, "nQualityLevel", static_cast<int>(l));
    addLocalized(quality, "strQualityName", qualityName(preset.levels[l].quality));
    pugi::xml_node indices = addElement(quality, "anPermissionIndexList");
    for (int s = 0; s < preset.setsPerLevel; ++s) {
      addInt(indices, "anPermissionIndex", static_cast<int>(10 * (l + 1)) + s);
    }
    addBool(quality, "bVisibleQuality", true);
  }

  addInt(node, "nDefaultLevel", preset.defaultLevel);
  addInt(node, "nDryTime", 0);
  addInt(node, "nVacuumPower", 1);
  addInt(node, "eHeadHeight", 1);
  // One feed calibration value per model of the document.
  pugi::xml_node feed = addElement(node, "aflFeedCalibration");
  addFloat(feed, "value", 0.0);
  addInt(node, "nPreHeater", 40);
  addInt(node, "nPrintHeater", 40);
  addInt(node, "nDryHeater", 45);
  addInt(node, "nCutCount", 1);
  addInt(node, "nCutVelocity", 30);
  addInt(node, "nCutForce", 50);
  addFloat(node, "flCutOffset", 0.25);
  addTimeStamp(node, preset.date);
  addBool(node, "bVisibleMedia", true);
  addBool(node, "bCuttingMedia", preset.medium != Medium::kBacklit);
  addBool(node, "bUpdateNeeded", false);
  addInt(node, "nInputRoute", 0);
  addBool(node, "bPreHeaterEnable", true);
  addBool(node, "bPrinterHeaterEnable", true);
  // The drier runs (nDryHeater 45); with 0 the reader would switch it off.
  addBool(node, "bDrierEnable", true);
  addInt(node, "nMediaAttribute", 1);
  addBool(node, "bHideUnrecommendedMode", true);
  addFloat(node, "flNormalCutForceRange", 0.5);
  addFloat(node, "flDeepCutForceRange", 50.0);
  // Two int fields the writer prints as reals.
  addDouble(node, "nDeepCutForce", 170);
  addDouble(node, "nHalfCutForce", 0);
  addInt(node, "nOverPrintCount", preset.overPrintCount);
  addBool(node, "bUseDensityCalibration", true);
}

}  // namespace

void appendMediaInfos(pugi::xml_node list, const Variant& v) {
  int ordinal = 0;
  for (const MediaPreset& preset : mediaPresets()) {
    if (preset.wideOnly && !v.wide) continue;
    appendMedia(list, v, preset, ordinal++);
  }
}

}  // namespace dsr
