#include "tools/payloadgen/ink_model.h"

#include <algorithm>
#include <cmath>

namespace payloadgen {
namespace {

using Bands = std::array<double, 3>;

// Red, green and blue bands to XYZ: the sRGB primaries adapted to D50, so
// that equal bands give a neutral grey under the profile connection space's
// illuminant.
constexpr double kBandToXyz[3][3] = {
    {0.4361, 0.3851, 0.1431},
    {0.2225, 0.7169, 0.0606},
    {0.0139, 0.0971, 0.7141},
};

// Full-tone band transmittances of the two ink sets at the reference load.
constexpr std::array<Bands, 4> kOstrandInks = {{
    {0.06, 0.62, 0.90},   // cyan
    {0.88, 0.08, 0.45},   // magenta
    {0.96, 0.86, 0.06},   // yellow
    {0.04, 0.04, 0.045},  // black
}};
constexpr std::array<Bands, 4> kTesselInks = {{
    {0.05, 0.68, 0.88},
    {0.90, 0.06, 0.52},
    {0.95, 0.82, 0.05},
    {0.03, 0.035, 0.04},
}};

struct MediumTraits {
  double inkLoad;  // how much of the ink stays on the surface
  double dotGain;  // at 50 %, reference resolution
  double surfaceReflection;
  double totalInkLimit;
  LabColour white;  // absolute colour of the bare medium
};

MediumTraits traitsOf(ProfileMedium medium) {
  switch (medium) {
    case ProfileMedium::kBacklit:  // printed heavier, it is seen against light
      return {1.25, 0.11, 0.003, 3.4, {88.0, -0.5, 2.5}};
    case ProfileMedium::kBanner:
      return {0.88, 0.15, 0.022, 2.8, {92.0, 0.4, 1.8}};
    case ProfileMedium::kHeatTransferSheet:
      return {0.85, 0.13, 0.012, 2.6, {90.5, 0.2, 3.5}};
    case ProfileMedium::kPvc:
      return {1.0, 0.10, 0.005, 3.0, {95.5, -0.3, -2.2}};
    case ProfileMedium::kPaper:  // optical brighteners make it bluish
      return {0.92, 0.18, 0.016, 2.4, {94.5, 1.2, -5.0}};
  }
  return {1.0, 0.1, 0.01, 3.0, {95.0, 0.0, 0.0}};
}

XyzColour labToXyzD50(const LabColour& lab) {
  constexpr double kDelta = 6.0 / 29.0;
  auto finv = [](double t) {
    return t > kDelta ? t * t * t : 3.0 * kDelta * kDelta * (t - 4.0 / 29.0);
  };
  const double fy = (lab.L + 16.0) / 116.0;
  return {0.9642 * finv(fy + lab.a / 500.0), finv(fy), 0.8249 * finv(fy - lab.b / 200.0)};
}

double labF(double t) {
  constexpr double kDelta = 6.0 / 29.0;
  return t > kDelta * kDelta * kDelta ? std::cbrt(t) : t / (3.0 * kDelta * kDelta) + 4.0 / 29.0;
}

}  // namespace

InkModel inkModelFor(const ProfileEntry& entry) {
  const MediumTraits medium = traitsOf(entry.medium);
  // Dots per square inch relative to 900x600: more dots put down more ink
  // and spread further.
  const double dotArea = static_cast<double>(entry.resolution.horizontalDpi) *
                         entry.resolution.verticalDpi / (900.0 * 600.0);
  const bool tessel = entry.inkSet == InkSet::kOstrandTesselCmyk;

  double load = medium.inkLoad * std::pow(dotArea, 0.4);
  if (entry.secondGeneration) load *= 1.06;  // newer heads fire larger drops

  InkModel model;
  const std::array<Bands, 4>& inks = tessel ? kTesselInks : kOstrandInks;
  constexpr std::array<double, 4> kInkGainOffset = {0.0, 0.01, -0.015, 0.02};
  for (int ink = 0; ink < 4; ++ink) {
    for (int band = 0; band < 3; ++band) {
      model.solidTransmittance[ink][band] = std::pow(inks[ink][band], load);
    }
    double gain = medium.dotGain + 0.04 * (dotArea - 1.0) + kInkGainOffset[ink];
    if (tessel) gain -= 0.02;  // the Tessel inks pin faster and spread less
    model.dotGain[ink] = std::clamp(gain, 0.02, 0.22);
  }
  model.surfaceReflection = medium.surfaceReflection;
  model.totalInkLimit = medium.totalInkLimit - (dotArea > 1.2 ? 0.2 : 0.0);
  model.mediaWhite = labToXyzD50(medium.white);
  return model;
}

double effectiveCoverage(double nominal, double dotGain) {
  const double a = std::clamp(nominal, 0.0, 1.0);
  return a + 4.0 * dotGain * a * (1.0 - a);
}

LabColour relativeLab(const InkModel& model, const Cmyk& cmyk) {
  Bands bands = {1.0, 1.0, 1.0};
  for (int ink = 0; ink < 4; ++ink) {
    const double cover = effectiveCoverage(cmyk[ink], model.dotGain[ink]);
    for (int band = 0; band < 3; ++band) {
      bands[band] *= 1.0 - cover * (1.0 - model.solidTransmittance[ink][band]);
    }
  }
  // Written as 1 - absorbed so that the bare medium is exactly 1.
  const double s = model.surfaceReflection;
  for (double& band : bands) band = 1.0 - (1.0 - s) * (1.0 - band);

  double xyz[3];
  double white[3];
  for (int row = 0; row < 3; ++row) {
    xyz[row] = 0.0;
    white[row] = 0.0;
    for (int band = 0; band < 3; ++band) {
      xyz[row] += kBandToXyz[row][band] * bands[band];
      white[row] += kBandToXyz[row][band];
    }
  }
  const double fx = labF(xyz[0] / white[0]);
  const double fy = labF(xyz[1] / white[1]);
  const double fz = labF(xyz[2] / white[2]);
  return {116.0 * fy - 16.0, 500.0 * (fx - fy), 200.0 * (fy - fz)};
}

double deltaE(const LabColour& x, const LabColour& y) {
  const double dL = x.L - y.L;
  const double da = x.a - y.a;
  const double db = x.b - y.b;
  return std::sqrt(dL * dL + da * da + db * db);
}

}  // namespace payloadgen
