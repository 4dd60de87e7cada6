#include "tools/payloadgen/dsr_modes.h"

#include <algorithm>
#include <iterator>
#include <stdexcept>
#include <string>

#include "tools/payloadgen/dsr_model.h"
#include "tools/payloadgen/dsr_translations.h"

namespace dsr {
namespace {

// Every scan resolution is offered with every feed resolution; the feed
// steps are multiples of the 150 dpi nozzle pitch.
constexpr std::array<int, 5> kScanDpi = {300, 600, 900, 1200, 1800};
constexpr std::array<int, 6> kFeedDpi = {150, 300, 450, 600, 900, 1200};

devseries::ResolutionInfo resolution(int index, const Localized& name, int scan, int feed) {
  devseries::ResolutionInfo info;
  info.nResolutionIndex = index;
  info.strResolutionName = name;
  info.flScanResolution = static_cast<float>(scan);
  info.flFeedResolution = static_cast<float>(feed);
  return info;
}

}  // namespace

int resolutionIndex(int scanDpi, int feedDpi) {
  for (size_t s = 0; s < kScanDpi.size(); ++s) {
    for (size_t f = 0; f < kFeedDpi.size(); ++f) {
      if (kScanDpi[s] == scanDpi && kFeedDpi[f] == feedDpi) {
        return static_cast<int>(1 + s * kFeedDpi.size() + f);
      }
    }
  }
  throw std::logic_error("no such resolution");
}

const PrintMode& printMode(int index) {
  for (const PrintMode& mode : kPrintModes) {
    if (mode.index == index) return mode;
  }
  throw std::logic_error("no such print mode");
}

devseries::GrowableArray<devseries::ResolutionInfo> resolutionInfos() {
  devseries::GrowableArray<devseries::ResolutionInfo> list;
  list.add(resolution(kDefaultResolutionIndex, defaultResolutionName(), 600, 600));
  for (const int scan : kScanDpi) {
    for (const int feed : kFeedDpi) {
      const std::string name = std::to_string(scan) + " x " + std::to_string(feed) + " dpi";
      list.add(resolution(resolutionIndex(scan, feed), sameInAllLanguages(name), scan, feed));
    }
  }
  return list;
}

devseries::GrowableArray<devseries::ModeInfo> modeInfos() {
  devseries::GrowableArray<devseries::ModeInfo> list;
  for (const PrintMode& mode : kPrintModes) {
    devseries::ModeInfo info;
    info.nModeIndex = mode.index;
    info.strModeName = mode.name;
    info.nInkNum = 4;
    std::fill(std::begin(info.nInkIndexList), std::end(info.nInkIndexList), -1);
    info.nInkIndexList[0] = kInkCyan;
    info.nInkIndexList[1] = kInkMagenta;
    info.nInkIndexList[2] = kInkYellow;
    info.nInkIndexList[3] = kInkBlack;
    info.nBitsPerPixel = 2;
    info.nDotType = 1;
    info.strDotSize = "SML";
    info.nInkVolumeIndex = mode.inkVolumeIndex;
    info.strNozzleMask = "1-192";
    info.nPassesPerLine = mode.passes;
    info.strPJLOption = "SET JOBTYPE = CMYK";
    info.flFeedResolutionPerPass =
        static_cast<float>(static_cast<double>(mode.feedDpi) / mode.passes);
    info.nNozzleMaskCount = 1;
    info.nEmptyPathLength = 0;
    info.nAdditionalPrintingTime = 0;
    // The lamp powers stay at 100 each, which the document leaves out.
    list.add(info);
  }
  return list;
}

devseries::GrowableArray<devseries::PatternInfo> patternInfos() {
  devseries::GrowableArray<devseries::PatternInfo> list;
  for (int index = 0; index < kPatternCount; ++index) {
    devseries::PatternInfo info;
    info.nFMPatternIndex = index;
    info.nScanPixelSize = 128;
    info.nFeedPixelSize = 128;
    info.strPatternFile = "OKM_FM128_" + std::to_string(index) + ".pat";
    list.add(info);
  }
  return list;
}

}  // namespace dsr
