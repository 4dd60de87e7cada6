// Permission sets (PermissionSet) of the payload media, with their
// calibration entries (CalibrationInfo).
#pragma once

#include <string>

#include "devseries/permission_set.h"
#include "tools/payloadgen/dsr_random.h"

namespace dsr {

// A CIELAB colour.
struct Lab {
  double l, a, b;
};

// What distinguishes one permission set from another.
struct PermissionSetting {
  int index;    // nPermissionIndex: 10, 11, 20, 21, 30 or 31
  int scanDpi;  // the resolution, which the profile name repeats
  int feedDpi;
  int modeIndex;        // nModeIndex
  bool fast;            // high scan and feed speeds
  int inkLimit;         // nInkLimit
  std::string profile;  // strPrinterProfile
  int vControlBase;     // first of the four V-control points
  int outputLimitCut;   // lowers every channel's output limit
  double densityScale;  // solid density of the medium relative to vinyl
  Lab paper;            // colour of the unprinted medium
};

// One permission set: ink configuration 0, the process separation,
// one calibration entry per output channel (cyan, magenta, yellow, black),
// direction kind 2 with flags 3, the FM screen (so no screen option, which
// belongs to eScreen 8 only); visible and recommended. The calibration
// curves take their small variations from rng.
devseries::PermissionSet permissionSet(const PermissionSetting& setting, Rng& rng);

}  // namespace dsr
