// The two lists that the newer document format added: print-chart file sets
// and ink volumes.
#pragma once

#include <string>

#include "devseries/growable_array.h"

namespace devseries {

struct PrintChartFileInfoSet {
  int nIndex = 0;
  std::string strCalibrationFileName;
  std::string strInkLimitFileName;
  std::string strTestPrintFileName;
  bool operator==(const PrintChartFileInfoSet&) const = default;
};

struct InkVolumeInfo {
  int nInkVolumeIndex = 0;
  GrowableArray<std::string> astrInkVolumeList;
  bool operator==(const InkVolumeInfo&) const = default;
};

}  // namespace devseries
