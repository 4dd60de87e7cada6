#include "tools/payloadgen/dsr_permissions.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "tools/payloadgen/dsr_modes.h"
#include "tools/payloadgen/dsr_separations.h"

namespace dsr {
namespace {

// Print direction: kind 2 in the high 16 bits, flags 3 in the low ones.
// The reader rewrites any other kind, so the payload uses the normal form.
constexpr int kDirection = (2 << 16) | 3;
// FM screening; screenOption belongs only to the code 8.
constexpr int kScreen = 65569;

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

devseries::CalibrationInfo calibration(const Channel& channel, const PermissionSetting& setting,
                                       Rng& rng) {
  devseries::CalibrationInfo info;
  info.nOutputLimit = std::clamp(channel.outputLimit - setting.outputLimitCut, 75, 100);

  const double base = milli(0.07 + rng.uniform(-0.01, 0.01));
  const double solid = channel.solidDensity * setting.densityScale;
  double previous = -1.0;
  for (int step = 0; step < devseries::kCalibrationSteps; ++step) {
    const double t = step / static_cast<double>(devseries::kCalibrationSteps - 1);
    double d = base + (solid - base) * tone(t);
    if (step > 0 && step < devseries::kCalibrationSteps - 1) d += rng.uniform(-0.008, 0.008);
    // A measured density curve rises strictly.
    d = std::max(milli(d), milli(previous + 0.001));
    info.density[step] = static_cast<float>(d);
    previous = d;
  }

  for (int step = 0; step < devseries::kCalibrationSteps; ++step) {
    const double t = tone(step / static_cast<double>(devseries::kCalibrationSteps - 1));
    const double jitter = step == 0 ? 0.0 : 0.25;
    devseries::LabValue& lab = info.lab[step];
    lab.l = static_cast<float>(milli(setting.paper.l + (channel.solid.l - setting.paper.l) * t +
                                     rng.uniform(-jitter, jitter)));
    lab.a = static_cast<float>(milli(setting.paper.a + (channel.solid.a - setting.paper.a) * t +
                                     rng.uniform(-jitter, jitter)));
    lab.b = static_cast<float>(milli(setting.paper.b + (channel.solid.b - setting.paper.b) * t +
                                     rng.uniform(-jitter, jitter)));
  }
  return info;
}

}  // namespace

devseries::PermissionSet permissionSet(const PermissionSetting& setting, Rng& rng) {
  const PrintMode& mode = printMode(setting.modeIndex);
  const bool fine = mode.feedDpi != 600;
  devseries::PermissionSet set;
  set.nPermissionIndex = setting.index;
  set.anInkConfigIndexList.add(0);
  set.nResolutionIndex = resolutionIndex(setting.scanDpi, setting.feedDpi);
  set.nModeIndex = mode.index;
  // The pass-mask tables hold masks 11 to 35: one per pass count, the fine
  // modes five further on.
  set.nPassmaskIndex = 10 + mode.passes + (fine ? 5 : 0);
  set.eDirection = kDirection;
  set.eScreen = kScreen;
  for (int i = 0; i < 4; ++i) set.anVControlIndexList.add(setting.vControlBase + i);
  for (int i = 0; i < 4; ++i) set.anFMPatternIndexList.add(i);
  set.nSeparationIndex = kProcessSeparationIndex;
  for (const Channel& channel : kChannels) {
    set.aCalibrationInfoList.add(calibration(channel, setting, rng));
  }
  set.nInkLimit = setting.inkLimit;
  set.strPrinterProfile = setting.profile;
  set.nScanSpeed = setting.fast ? 1185 : 889;
  set.nFeedSpeed = setting.fast ? 30 : 16;
  set.bVisiblePermission = true;
  set.bRecommended = true;
  set.nRealPassCount = mode.passes;
  return set;
}

}  // namespace dsr
