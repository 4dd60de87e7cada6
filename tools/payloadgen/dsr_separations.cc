#include "tools/payloadgen/dsr_separations.h"

#include <array>
#include <string>
#include <vector>

#include "tools/payloadgen/dsr_model.h"
#include "tools/payloadgen/dsr_random.h"
#include "tools/payloadgen/dsr_translations.h"

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

devseries::SeparationTable table(size_t channel) {
  devseries::SeparationTable t;
  t.nInputChannelNum = kInputChannel[channel];
  // eType 0: the output table is not carried, so its element stays empty.
  t.eType = 0;
  t.strInputChannel = std::to_string(kInputChannel[channel]);
  t.nInkIndex = kOutputInk[channel];
  t.nHeadCount = 1;
  return t;
}

// Sets the five curve points of one dot size, rising from start to max.
void setCurve(Rng& rng, double start, double max, double& startOut, double& peakOut, double& maxOut,
              double& endOut, double& endMaxOut) {
  peakOut = milli(start + (max - start) * rng.uniform(0.35, 0.55));
  endOut = milli(max + (1.0 - max) * rng.uniform(0.2, 0.6));
  startOut = milli(start);
  maxOut = milli(max);
  endMaxOut = milli(rng.uniform(0.3, 0.6));
}

}  // namespace

devseries::GrowableArray<devseries::SeparationInfo> separationInfos(const Variant& v) {
  devseries::GrowableArray<devseries::SeparationInfo> list;
  for (const Separation& sep : separations(v)) {
    const size_t outputs = sep.dualCyanMagenta ? 6 : 4;
    devseries::SeparationInfo info;
    info.nSeparationIndex = sep.index;
    info.strSeparationName = separationName(sep.look, sep.dualCyanMagenta);
    info.nOutputChannel = static_cast<int>(outputs);
    for (size_t channel = 0; channel < outputs; ++channel) {
      info.aSeparationTableList.add(table(channel));
    }
    info.nPrintChartFileInfoIndex = sep.dualCyanMagenta ? 1 : 0;
    info.strInkLimitTableFile = "OKM_Sep" + std::to_string(sep.index) + ".ilt";
    // Always filled: the reader fills an empty list with the process inks,
    // which a second write would then add to the document.
    for (const int ink : kInputInks) info.anInputChannelInkIndexList.add(ink);
    list.add(info);
  }
  return list;
}

devseries::GrowableArray<devseries::VControlPoint> vControlPoints(const Variant& v) {
  devseries::GrowableArray<devseries::VControlPoint> list;
  Rng rng(v.seed ^ 0x5643504FULL);
  for (int index = 0; index < kVControlPointCount; ++index) {
    devseries::VControlPoint p;
    p.nVControlIndex = index;
    const double smallMax = rng.uniform(0.35, 0.5);
    const double mediumMax = rng.uniform(0.6, 0.8);
    setCurve(rng, 0.0, smallMax, p.dSmallStart, p.dSmallPeak, p.dSmallMax, p.dSmallEnd,
             p.dSmallEndMax);
    setCurve(rng, smallMax * rng.uniform(0.5, 0.8), mediumMax, p.dMediumStart, p.dMediumPeak,
             p.dMediumMax, p.dMediumEnd, p.dMediumEndMax);
    setCurve(rng, mediumMax * rng.uniform(0.6, 0.85), 1.0, p.dLargeStart, p.dLargePeak, p.dLargeMax,
             p.dLargeEnd, p.dLargeEndMax);
    list.add(p);
  }
  return list;
}

}  // namespace dsr
