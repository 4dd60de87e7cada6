#include "tools/payloadgen/dsr_charts.h"

#include <cstdio>
#include <string>
#include <vector>

#include "tools/payloadgen/dsr_random.h"

namespace dsr {
namespace {

std::string picolitres(double value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.2f", value);
  return buffer;
}

std::vector<int> inkVolumeIndices() {
  std::vector<int> indices = {1};
  for (int i = 1001; i <= 1020; ++i) indices.push_back(i);
  for (int i = 2001; i <= 2021; ++i) indices.push_back(i);
  return indices;
}

// The dot sizes a volume text lists: the generic entry gives one figure,
// the 1000 series (variable dot) two or three, the 2000 series three.
int dotSizes(int index, Rng& rng) {
  if (index < 1000) return 1;
  if (index < 2000) return rng.between(2, 3);
  return 3;
}

}  // namespace

devseries::GrowableArray<devseries::PrintChartFileInfoSet> printChartFileInfoSets() {
  devseries::GrowableArray<devseries::PrintChartFileInfoSet> list;
  for (int index = 0; index < 2; ++index) {
    devseries::PrintChartFileInfoSet set;
    set.nIndex = index;
    set.strCalibrationFileName = "CMYK Calibration 84.ps";
    set.strInkLimitFileName = "CMYK Ink Limit 1.0.ps";
    set.strTestPrintFileName = index == 0 ? "CMYK Test Print.ps" : "CMYK Test Print Dual CM.ps";
    list.add(set);
  }
  return list;
}

devseries::GrowableArray<devseries::InkVolumeInfo> inkVolumeInfos(const Variant& v) {
  Rng rng(v.seed ^ 0x564F4CULL);
  devseries::GrowableArray<devseries::InkVolumeInfo> list;
  for (const int index : inkVolumeIndices()) {
    devseries::InkVolumeInfo info;
    info.nInkVolumeIndex = index;
    const int sizes = dotSizes(index, rng);
    const int count = rng.between(4, 8);
    // One text per drive waveform; the drops grow slightly from one to the
    // next.
    double small = rng.uniform(3.5, 5.0);
    for (int t = 0; t < count; ++t) {
      std::string text = picolitres(small);
      double dot = small;
      for (int s = 1; s < sizes; ++s) {
        dot *= rng.uniform(1.6, 2.2);
        text += ',';
        text += picolitres(dot);
      }
      info.astrInkVolumeList.add(text);
      small *= rng.uniform(1.02, 1.08);
    }
    list.add(info);
  }
  return list;
}

}  // namespace dsr
