// The in-memory device-series record: one printer series, all its lists.
#pragma once

#include <string>

#include "devseries/growable_array.h"
#include "devseries/ink_info.h"
#include "devseries/media_info.h"
#include "devseries/model_info.h"
#include "devseries/newer_lists.h"
#include "devseries/resolution_mode_pattern.h"
#include "devseries/separation_info.h"
#include "xml/language_table.h"

namespace devseries {

// Printer command sequences; any bytes, zero bytes included.
struct CommandSet {
  std::string strInitialize;
  std::string strPrintHeader;
  std::string strPrintTailer;
  std::string strCutHeader;
  std::string strCutTailer;
  std::string strPageFeed;
  std::string strPageRewind;
  std::string strSheetCut;
  std::string strCancel;
  bool operator==(const CommandSet&) const = default;
};

struct DeviceSeries {
  GrowableArray<ModelInfo> aModelInfoList;
  GrowableArray<InkInfo> aInkInfoList;
  GrowableArray<InkConfigInfo> aInkConfigInfoList;
  GrowableArray<ResolutionInfo> aResolutionInfoList;
  GrowableArray<ModeInfo> aModeInfoList;
  GrowableArray<SeparationInfo> aSeparationInfoList;
  GrowableArray<VControlPoint> aVControlPointList;
  GrowableArray<PatternInfo> aPatternInfoList;
  CommandSet commandSet;
  GrowableArray<MediaInfo> aMediaInfoList;
  GrowableArray<PrintChartFileInfoSet> aPrintChartFileInfoSetList;
  GrowableArray<InkVolumeInfo> aInkVolumeInfoList;
  xml::LocalizedText strFirmwareDownloadURL;
  bool operator==(const DeviceSeries&) const = default;
};

// Gives every media one feed calibration value per model: a longer list is
// cut, a shorter one filled with zeros. Writers store lists as they are; the
// host expects this length, so whoever builds a record from parts (a merge,
// a round trip of a foreign file) fits the lists before writing.
inline void fitFeedCalibrationLists(DeviceSeries& record) {
  const int models = record.aModelInfoList.size();
  for (MediaInfo& media : record.aMediaInfoList) media.aflFeedCalibration.setSize(models);
}

}  // namespace devseries
