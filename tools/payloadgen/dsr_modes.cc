#include "tools/payloadgen/dsr_modes.h"

#include <stdexcept>
#include <string>

#include "tools/payloadgen/dsr_model.h"
#include "tools/payloadgen/dsr_translations.h"
#include "tools/payloadgen/dsr_xml.h"

namespace dsr {
namespace {

// Every scan resolution is offered with every feed resolution; the feed
// steps are multiples of the 150 dpi nozzle pitch.
constexpr std::array<int, 5> kScanDpi = {300, 600, 900, 1200, 1800};
constexpr std::array<int, 6> kFeedDpi = {150, 300, 450, 600, 900, 1200};

void addResolution(pugi::xml_node list, int index, const Localized& name, int scan, int feed) {
  pugi::xml_node node = addElement(list, "ResolutionInfo");
  addInt(node, "nResolutionIndex", index);
  addLocalized(node, "strResolutionName", name);
  addFloat(node, "flScanResolution", scan);
  addFloat(node, "flFeedResolution", feed);
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

void appendResolutionInfos(pugi::xml_node list) {
  addResolution(list, kDefaultResolutionIndex, defaultResolutionName(), 600, 600);
  for (const int scan : kScanDpi) {
    for (const int feed : kFeedDpi) {
      const std::string name = std::to_string(scan) + " x " + std::to_string(feed) + " dpi";
      addResolution(list, resolutionIndex(scan, feed), sameInAllLanguages(name), scan, feed);
    }
  }
}

void appendModeInfos(pugi::xml_node list) {
  std::array<int, 24> channels;
  channels.fill(-1);
  channels[0] = kInkCyan;
  channels[1] = kInkMagenta;
  channels[2] = kInkYellow;
  channels[3] = kInkBlack;
  for (const PrintMode& mode : kPrintModes) {
    pugi::xml_node node = addElement(list, "ModeInfo");
    addInt(node, "nModeIndex", mode.index);
    addText(node, "strModeName", mode.name);
    addInt(node, "nInkNum", 4);
    addValueArray(node, "nInkIndexList", channels);
    addInt(node, "nBitsPerPixel", 2);
    addInt(node, "nDotType", 1);
    addText(node, "strDotSize", "SML");
    addInt(node, "nInkVolumeIndex", mode.inkVolumeIndex);
    addText(node, "strNozzleMask", "1-192");
    addInt(node, "nPassesPerLine", mode.passes);
    addText(node, "strPJLOption", "SET JOBTYPE = CMYK");
    addFloat(node, "flFeedResolutionPerPass", static_cast<double>(mode.feedDpi) / mode.passes);
    addInt(node, "nNozzleMaskCount", 1);
    addInt(node, "nEmptyPathLength", 0);
    addInt(node, "nAdditionalPrintingTime", 0);
    // All lamp powers stay at 100, which the writer leaves out.
    addElement(node, "aUVLampPowerList");
  }
}

void appendPatternInfos(pugi::xml_node list) {
  for (int index = 0; index < kPatternCount; ++index) {
    pugi::xml_node node = addElement(list, "PatternInfo");
    addInt(node, "nFMPatternIndex", index);
    addInt(node, "nScanPixelSize", 128);
    addInt(node, "nFeedPixelSize", 128);
    addText(node, "strPatternFile", "OKM_FM128_" + std::to_string(index) + ".pat");
  }
}

}  // namespace dsr
