// A small physical model of CMYK ink on a medium, used to fill the colour
// tables of the payload's ICC output profiles.
//
// Each ink absorbs part of the light in three broad bands (red, green, blue);
// overprinted inks multiply their transmittances, a dot covers more area than
// its nominal value (dot gain), and a medium's surface reflects a little light
// that no ink removes. The band reflectances are turned into CIE XYZ under
// D50 and then into CIELAB. Colours are media-relative, as the colour tables
// of output profiles are: the bare medium is L* 100, a* 0, b* 0, and the
// medium's own colour lives in its white point.
#pragma once

#include <array>

#include "tools/payloadgen/profile_list.h"

namespace payloadgen {

// Colorant amounts 0..1 in the order cyan, magenta, yellow, black.
using Cmyk = std::array<double, 4>;

struct LabColour {
  double L = 0.0;
  double a = 0.0;
  double b = 0.0;
};

struct XyzColour {
  double X = 0.0;
  double Y = 0.0;
  double Z = 0.0;
};

struct InkModel {
  // Fraction of the red, green and blue band that a full-tone layer of each
  // ink lets through, already raised to the ink load of the resolution.
  std::array<std::array<double, 3>, 4> solidTransmittance{};
  // Extra area covered at a 50 % tint, per ink (below 0.25 so tone curves
  // stay strictly rising).
  std::array<double, 4> dotGain{};
  // Fraction of light reflected by the medium's surface before it meets ink.
  double surfaceReflection = 0.0;
  // Total ink coverage the medium accepts, as a sum of amounts (3.0 = 300 %).
  double totalInkLimit = 4.0;
  // The bare medium measured under D50, Y = 1 for a perfect diffuser.
  XyzColour mediaWhite;
};

// The model of the printing condition that a profile entry describes:
// depends on its ink set, printer generation, medium and resolution.
InkModel inkModelFor(const ProfileEntry& entry);

// The area an ink really covers when amount |nominal| is printed.
double effectiveCoverage(double nominal, double dotGain);

// Media-relative CIELAB (D50) of a colorant combination.
LabColour relativeLab(const InkModel& model, const Cmyk& cmyk);

// Colour difference CIE76 (Euclidean distance in CIELAB).
double deltaE(const LabColour& x, const LabColour& y);

}  // namespace payloadgen
