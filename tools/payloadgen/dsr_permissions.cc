#include "tools/payloadgen/dsr_permissions.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "tools/payloadgen/dsr_modes.h"
#include "tools/payloadgen/dsr_separations.h"
#include "tools/payloadgen/dsr_xml.h"

namespace dsr {
namespace {

// Print direction: kind 2 in the high 16 bits, flags 3 in the low ones.
// The reader rewrites any other kind, so the payload uses the normal form.
constexpr int kDirection = (2 << 16) | 3;
// FM screening; screenOption belongs only to the code 8.
constexpr int kScreen = 65569;

constexpr int kCalibrationSteps = 21;

struct Channel {
  int outputLimit;      // before the medium's cut
  double solidDensity;  // on vinyl
  Lab solid;            // colour of the full-tone patch on vinyl
};

// Output channels of the process separation, in channel order C, M, Y, K.
constexpr std::array<Channel, 4> kChannels = {{
    {100, 2.05, {55.0, -37.0, -50.0}},
    {95, 1.95, {48.0, 74.0, -3.0}},
    {85, 1.60, {89.0, -5.0, 93.0}},
    {90, 2.20, {16.0, 0.5, 0.5}},
}};

// Share of the full tone reached at step t (0 .. 1): steep at first, then
// levelling off, as ink on a medium saturates.
double tone(double t) { return 1.0 - std::pow(1.0 - t, 2.2); }

void addCalibration(pugi::xml_node list, const Channel& channel, const PermissionSetting& setting,
                    Rng& rng) {
  pugi::xml_node node = addElement(list, "CalibrationInfo");
  addInt(node, "nOutputLimit", std::clamp(channel.outputLimit - setting.outputLimitCut, 75, 100));

  const double base = milli(0.07 + rng.uniform(-0.01, 0.01));
  const double solid = channel.solidDensity * setting.densityScale;
  pugi::xml_node density = addElement(node, "density");
  double previous = -1.0;
  for (int step = 0; step < kCalibrationSteps; ++step) {
    const double t = step / static_cast<double>(kCalibrationSteps - 1);
    double d = base + (solid - base) * tone(t);
    if (step > 0 && step < kCalibrationSteps - 1) d += rng.uniform(-0.008, 0.008);
    // A measured density curve rises strictly.
    d = std::max(milli(d), milli(previous + 0.001));
    addFloat(density, "value", d);
    previous = d;
  }

  pugi::xml_node lab = addElement(node, "lab");
  for (int step = 0; step < kCalibrationSteps; ++step) {
    const double t = tone(step / static_cast<double>(kCalibrationSteps - 1));
    const double jitter = step == 0 ? 0.0 : 0.25;
    pugi::xml_node value = addElement(lab, "value");
    addFloat(value, "l",
             milli(setting.paper.l + (channel.solid.l - setting.paper.l) * t +
                   rng.uniform(-jitter, jitter)));
    addFloat(value, "a",
             milli(setting.paper.a + (channel.solid.a - setting.paper.a) * t +
                   rng.uniform(-jitter, jitter)));
    addFloat(value, "b",
             milli(setting.paper.b + (channel.solid.b - setting.paper.b) * t +
                   rng.uniform(-jitter, jitter)));
  }
}

void addIntList(pugi::xml_node parent, const char* name, const char* item,
                std::initializer_list<int> values) {
  pugi::xml_node node = addElement(parent, name);
  for (const int value : values) addInt(node, item, value);
}

}  // namespace

void appendPermissionSet(pugi::xml_node list, const PermissionSetting& setting, Rng& rng) {
  const PrintMode& mode = printMode(setting.modeIndex);
  const bool fine = mode.feedDpi != 600;
  pugi::xml_node node = addElement(list, "PermissionSet");
  addInt(node, "nPermissionIndex", setting.index);
  addIntList(node, "anInkConfigIndexList", "anInkConfigIndex", {0});
  addInt(node, "nResolutionIndex", resolutionIndex(setting.scanDpi, setting.feedDpi));
  addInt(node, "nModeIndex", mode.index);
  // The pass-mask tables hold masks 11 to 35: one per pass count, the fine
  // modes five further on.
  addInt(node, "nPassmaskIndex", 10 + mode.passes + (fine ? 5 : 0));
  addInt(node, "eDirection", kDirection);
  addInt(node, "eScreen", kScreen);
  const int v = setting.vControlBase;
  addIntList(node, "anVControlIndexList", "anVControlIndex", {v, v + 1, v + 2, v + 3});
  addIntList(node, "anFMPatternIndexList", "anFMPatternIndex", {0, 1, 2, 3});
  addInt(node, "nSeparationIndex", kProcessSeparationIndex);
  pugi::xml_node calibrations = addElement(node, "aCalibrationInfoList");
  for (const Channel& channel : kChannels) addCalibration(calibrations, channel, setting, rng);
  addInt(node, "nInkLimit", setting.inkLimit);
  addText(node, "strPrinterProfile", setting.profile);
  addInt(node, "nScanSpeed", setting.fast ? 1185 : 889);
  addInt(node, "nFeedSpeed", setting.fast ? 30 : 16);
  addBool(node, "bVisiblePermission", true);
  addInt(node, "nRealPassCount", mode.passes);
  addText(node, "strNextPermissionIndex", "");
}

}  // namespace dsr
