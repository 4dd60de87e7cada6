// Permission sets (one complete print setting allowed on a media) with their
// screen options and calibration entries.
#pragma once

#include <string>

#include "devseries/growable_array.h"

namespace devseries {

struct ScreenOption {
  bool bUseCustomSetting = false;
  int nLineCount = 30;
  int eDotShape = 1;
  // One screen angle per input channel, in channel order.
  GrowableArray<float> flDegrees;
  bool operator==(const ScreenOption&) const = default;
};

struct LabValue {
  float l = 0.0f;
  float a = 0.0f;
  float b = 0.0f;
  bool operator==(const LabValue&) const = default;
};

inline constexpr int kCalibrationSteps = 21;

// Calibration of one output channel.
struct CalibrationInfo {
  int nOutputLimit = 0;
  float density[kCalibrationSteps] = {};
  LabValue lab[kCalibrationSteps];
  bool operator==(const CalibrationInfo&) const = default;
};

struct PermissionSet {
  int nPermissionIndex = 0;
  GrowableArray<int> anInkConfigIndexList;
  int nResolutionIndex = 0;
  int nModeIndex = 0;
  int nPassmaskIndex = 0;
  int eDirection = 0;
  int eScreen = 0;
  GrowableArray<int> anVControlIndexList;
  GrowableArray<int> anFMPatternIndexList;
  int nSeparationIndex = 0;
  GrowableArray<CalibrationInfo> aCalibrationInfoList;
  int nInkLimit = 0;
  std::string strPrinterProfile;
  int nScanSpeed = 0;
  int nFeedSpeed = 0;
  bool bVisiblePermission = true;
  ScreenOption screenOption;
  bool bRecommended = false;
  int nRealPassCount = 0;
  std::string strNextPermissionIndex;
  bool operator==(const PermissionSet&) const = default;
};

}  // namespace devseries
