// Media presets with their quality levels and time stamp.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "devseries/growable_array.h"
#include "devseries/permission_set.h"
#include "devseries/separation_info.h"
#include "xml/dom.h"
#include "xml/language_table.h"

namespace devseries {

struct TimeStamp {
  std::uint16_t year = 0;
  std::uint8_t month = 0;
  std::uint8_t day = 0;
  std::uint8_t hour = 0;
  std::uint8_t minute = 0;
  std::uint8_t second = 0;
  std::uint16_t ms = 0;
  bool operator==(const TimeStamp&) const = default;
};

struct QualityInfo {
  int nQualityLevel = 0;
  xml::LocalizedText strQualityName;
  // nPermissionIndex values of the permission sets of this level.
  GrowableArray<int> anPermissionIndexList;
  bool bVisibleQuality = true;
  bool operator==(const QualityInfo&) const = default;
};

struct MediaInfo {
  xml::LocalizedText strMediaName;
  xml::LocalizedText strBaseMediaName;
  GrowableArray<PermissionSet> aPermissionSetList;
  GrowableArray<QualityInfo> aQualityInfoList;
  int nDefaultLevel = 0;
  int nDryTime = 0;
  int nVacuumPower = 0;
  int eHeadHeight = 0;
  GrowableArray<float> aflFeedCalibration;
  int nPreHeater = 0;
  int nPrintHeater = 0;
  int nDryHeater = 0;
  int nCutCount = 0;
  int nCutVelocity = 0;
  int nCutForce = 0;
  float flCutOffset = 0.0f;
  TimeStamp timeStamp;  // element TimeStamp
  bool bVisibleMedia = true;
  bool bCuttingMedia = true;
  bool bUpdateNeeded = false;
  int nInputRoute = 0;
  bool bPreHeaterEnable = true;
  bool bPrinterHeaterEnable = true;
  bool bDrierEnable = true;
  int nMediaAttribute = 0;
  // A 32-bit truth value: 1 true, 0 false.
  int bHideUnrecommendedMode = 1;
  float flNormalCutForceRange = 0.5f;
  float flDeepCutForceRange = 50.0f;
  int nDeepCutForce = 170;
  int nHalfCutForce = 0;
  int nOverPrintCount = 1;
  bool bUseDensityCalibration = false;
  bool operator==(const MediaInfo&) const = default;
};

// Reads and writes media entries and everything inside them: quality
// levels, permission sets, screen options and calibration entries.
class MediaInfoIO {
 public:
  static void readMediaInfo(const xml::Node& element, MediaInfo& record);
  static xml::Node writeMediaInfo(const xml::Document& document, const MediaInfo& record);
  // The same built in place as the last child of |parent|.
  static void appendMediaInfo(const xml::Node& parent, const MediaInfo& record);
  static void readQualityInfo(const xml::Node& element, QualityInfo& record);
  static xml::Node writeQualityInfo(const xml::Document& document, const QualityInfo& record);
  // The same built in place as the last child of |parent|.
  static void appendQualityInfo(const xml::Node& parent, const QualityInfo& record);

  static void readPermissionSet(const xml::Node& element, PermissionSet& record);
  static xml::Node writePermissionSet(const xml::Document& document, const PermissionSet& record);
  // The same built in place as the last child of |parent|.
  static void appendPermissionSet(const xml::Node& parent, const PermissionSet& record);
  static void readScreenOption(const xml::Node& element, ScreenOption& option);
  static xml::Node writeScreenOption(const xml::Document& document, const ScreenOption& option);
  // The same built in place as the last child of |parent|.
  static void appendScreenOption(const xml::Node& parent, const ScreenOption& option);
  static void readCalibrationInfo(const xml::Node& element, CalibrationInfo& record);
  static xml::Node writeCalibrationInfo(const xml::Document& document,
                                        const CalibrationInfo& record);
  // The same built in place as the last child of |parent|.
  static void appendCalibrationInfo(const xml::Node& parent, const CalibrationInfo& record);

  // A direction code whose kind (high 16 bits) is not 1 or 2 takes kind 2
  // when flag bit 1 is set, else kind 1 when flag bit 0 is set.
  static int normalizeDirection(int value);

  // Gives every permission set of every media one screen angle per input
  // channel of its separation (4 channels: 30, 45, 90, 60; 6 channels: 15,
  // 45, 90, 75, 45, 45; otherwise kept and zero-filled).
  static void fitScreenAngles(GrowableArray<MediaInfo>& media,
                              const GrowableArray<SeparationInfo>& separations);
};

// The seven children year, month, day, hour, minute, second, ms, by position.
void readTimeStamp(const xml::Node& element, TimeStamp& out);
xml::Node writeTimeStamp(const xml::Document& document, std::string_view name,
                         const TimeStamp& value);
// The same built in place as the last child of |parent|.
void appendTimeStamp(const xml::Node& parent, xml::ElementName name, const TimeStamp& value);

}  // namespace devseries
