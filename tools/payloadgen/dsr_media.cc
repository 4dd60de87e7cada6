#include "tools/payloadgen/dsr_media.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/payloadgen/dsr_permissions.h"
#include "tools/payloadgen/dsr_random.h"
#include "tools/payloadgen/dsr_translations.h"

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

devseries::TimeStamp timeStamp(const Date& date) {
  devseries::TimeStamp stamp;
  stamp.year = static_cast<std::uint16_t>(date.year);
  stamp.month = static_cast<std::uint8_t>(date.month);
  stamp.day = static_cast<std::uint8_t>(date.day);
  return stamp;
}

std::string profileName(const Variant& v, const MediaPreset& preset, const Level& level) {
  return std::string(profilePrefix(v)) + preset.profileMedium + "_" +
         std::to_string(level.scanDpi) + "x" + std::to_string(level.feedDpi) + ".icc";
}

devseries::MediaInfo media(const Variant& v, const MediaPreset& preset, int ordinal) {
  Rng rng(v.seed ^ (0x4D454449ULL + static_cast<unsigned>(ordinal)));
  devseries::MediaInfo info;
  info.strMediaName = mediaName(preset.medium);
  // The generic media derive from no other media: strBaseMediaName stays
  // empty.

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
      info.aPermissionSetList.add(permissionSet(set, rng));
    }
  }

  for (size_t l = 0; l < preset.levels.size(); ++l) {
    devseries::QualityInfo quality;
    quality.nQualityLevel = static_cast<int>(l);
    quality.strQualityName = qualityName(preset.levels[l].quality);
    for (int s = 0; s < preset.setsPerLevel; ++s) {
      quality.anPermissionIndexList.add(static_cast<int>(10 * (l + 1)) + s);
    }
    quality.bVisibleQuality = true;
    info.aQualityInfoList.add(quality);
  }

  info.nDefaultLevel = preset.defaultLevel;
  info.nDryTime = 0;
  info.nVacuumPower = 1;
  info.eHeadHeight = 1;
  // One feed calibration value per model of the document.
  info.aflFeedCalibration.add(0.0f);
  info.nPreHeater = 40;
  info.nPrintHeater = 40;
  info.nDryHeater = 45;
  info.nCutCount = 1;
  info.nCutVelocity = 30;
  info.nCutForce = 50;
  info.flCutOffset = 0.25f;
  info.timeStamp = timeStamp(preset.date);
  info.bVisibleMedia = true;
  info.bCuttingMedia = preset.medium != Medium::kBacklit;
  info.bUpdateNeeded = false;
  info.nInputRoute = 0;
  info.bPreHeaterEnable = true;
  info.bPrinterHeaterEnable = true;
  // The drier runs (nDryHeater 45); with 0 the reader would switch it off.
  info.bDrierEnable = true;
  info.nMediaAttribute = 1;
  info.bHideUnrecommendedMode = 1;
  info.flNormalCutForceRange = 0.5f;
  info.flDeepCutForceRange = 50.0f;
  info.nDeepCutForce = 170;
  info.nHalfCutForce = 0;
  info.nOverPrintCount = preset.overPrintCount;
  info.bUseDensityCalibration = true;
  return info;
}

}  // namespace

devseries::GrowableArray<devseries::MediaInfo> mediaInfos(const Variant& v) {
  devseries::GrowableArray<devseries::MediaInfo> list;
  int ordinal = 0;
  for (const MediaPreset& preset : mediaPresets()) {
    if (preset.wideOnly && !v.wide) continue;
    list.add(media(v, preset, ordinal++));
  }
  return list;
}

}  // namespace dsr
