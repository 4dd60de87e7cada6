#include "tools/payloadgen/dsr_separations.h"

#include <array>
#include <string>
#include <vector>

#include "tools/payloadgen/dsr_model.h"
#include "tools/payloadgen/dsr_random.h"
#include "tools/payloadgen/dsr_translations.h"
#include "tools/payloadgen/dsr_xml.h"

namespace dsr {
namespace {

struct Separation {
  int index;
  Look look;
  bool dualCyanMagenta;  // six output channels: cyan and magenta printed twice
};

// Output channel -> (input channel, ink). The doubled heads of the wide
// models print cyan and magenta a second time.
constexpr std::array<int, 6> kInputChannel = {0, 1, 2, 3, 0, 1};
constexpr std::array<int, 6> kOutputInk = {kInkCyan,  kInkMagenta, kInkYellow,
                                           kInkBlack, kInkCyan,    kInkMagenta};
constexpr std::array<int, 4> kInputInks = {kInkCyan, kInkMagenta, kInkYellow, kInkBlack};

std::vector<Separation> separations(const Variant& v) {
  if (!v.wide) {
    return {{kProcessSeparationIndex, Look::kStandard, false}, {16, Look::kVivid, false}};
  }
  return {{kProcessSeparationIndex, Look::kStandard, false},
          {16, Look::kVivid, false},
          {17, Look::kSmooth, false},
          {18, Look::kBacklit, false},
          {19, Look::kTransfer, false},
          {25, Look::kStandard, true},
          {26, Look::kVivid, true},
          {27, Look::kSmooth, true}};
}

void addTable(pugi::xml_node list, size_t channel) {
  pugi::xml_node node = addElement(list, "SeparationTable");
  addInt(node, "nInputChannelNum", kInputChannel[channel]);
  // eType 0: the output table is not carried, so its element stays empty.
  addText(node, "usOutputTable", "");
  addDouble(node, "dStart", 0.0);
  addDouble(node, "dPeak", 0.0);
  addDouble(node, "dMax", 0.0);
  addDouble(node, "dEnd", 0.0);
  addDouble(node, "dEndMax", 0.0);
  addInt(node, "eType", 0);
  addText(node, "strInputChannel", std::to_string(kInputChannel[channel]));
  addInt(node, "nInkIndex", kOutputInk[channel]);
  addInt(node, "nHeadCount", 1);
}

// Five curve points of one dot size, rising from start to max.
void addCurve(pugi::xml_node node, const std::string& dot, Rng& rng, double start, double max) {
  const double peak = milli(start + (max - start) * rng.uniform(0.35, 0.55));
  const double end = milli(max + (1.0 - max) * rng.uniform(0.2, 0.6));
  addDouble(node, ("d" + dot + "Start").c_str(), milli(start));
  addDouble(node, ("d" + dot + "Peak").c_str(), peak);
  addDouble(node, ("d" + dot + "Max").c_str(), milli(max));
  addDouble(node, ("d" + dot + "End").c_str(), end);
  addDouble(node, ("d" + dot + "EndMax").c_str(), milli(rng.uniform(0.3, 0.6)));
}

}  // namespace

void appendSeparationInfos(pugi::xml_node list, const Variant& v) {
  for (const Separation& sep : separations(v)) {
    const size_t outputs = sep.dualCyanMagenta ? 6 : 4;
    pugi::xml_node node = addElement(list, "SeparationInfo");
    addInt(node, "nSeparationIndex", sep.index);
    addLocalized(node, "strSeparationName", separationName(sep.look, sep.dualCyanMagenta));
    addInt(node, "nOutputChannel", static_cast<int>(outputs));
    pugi::xml_node tables = addElement(node, "aSeparationTableList");
    for (size_t channel = 0; channel < outputs; ++channel) addTable(tables, channel);
    addInt(node, "nPrintChartFileInfoIndex", sep.dualCyanMagenta ? 1 : 0);
    addText(node, "strInkLimitTableFile", "OKM_Sep" + std::to_string(sep.index) + ".ilt");
    // Always filled: the reader fills an empty list with the process inks,
    // which a second write would then add to the document.
    pugi::xml_node inks = addElement(node, "anInputChannelInkIndexList");
    for (const int ink : kInputInks) addInt(inks, "nInkIndex", ink);
  }
}

void appendVControlPoints(pugi::xml_node list, const Variant& v) {
  Rng rng(v.seed ^ 0x5643504FULL);
  for (int index = 0; index < kVControlPointCount; ++index) {
    pugi::xml_node node = addElement(list, "VControlPoint");
    addInt(node, "nVControlIndex", index);
    const double smallMax = rng.uniform(0.35, 0.5);
    const double mediumMax = rng.uniform(0.6, 0.8);
    addCurve(node, "Small", rng, 0.0, smallMax);
    addCurve(node, "Medium", rng, smallMax * rng.uniform(0.5, 0.8), mediumMax);
    addCurve(node, "Large", rng, mediumMax * rng.uniform(0.6, 0.85), 1.0);
  }
}

}  // namespace dsr
