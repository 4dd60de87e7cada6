#include "tools/payloadgen/dsr_model.h"

#include <array>
#include <string>

#include "tools/payloadgen/dsr_random.h"

namespace dsr {
namespace {

// Name the printer reports in its management information base.
std::string mibName(const Variant& v) {
  std::string name = "OSTRAND KM";
  if (!v.wide) name += "-300";
  if (v.lx) name += " LX";
  return name;
}

// Opaque extension block for the host: a fixed-length hexadecimal text.
std::string extension(const Variant& v) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  Rng rng(v.seed ^ 0xE87E4510ULL);
  std::string text;
  for (int i = 0; i < 256; ++i) text.push_back(kHex[rng.next() & 0x0F]);
  return text;
}

}  // namespace

int headCount(const Variant& v) { return v.wide ? 6 : 4; }

devseries::ModelInfo modelInfo(const Variant& v) {
  const int heads = headCount(v);
  devseries::ModelInfo m;
  static constexpr std::array<int, 6> kHeadInks = {kInkCyan,  kInkMagenta, kInkYellow,
                                                   kInkBlack, kInkCyan,    kInkMagenta};
  for (int slot = 0; slot < heads; ++slot) {
    m.nHeadPositionIndex[slot] = slot;
    m.nDefaultInkIndex[slot] = kHeadInks[static_cast<size_t>(slot)];
  }
  for (int slot = heads; slot < 24; ++slot) m.nHeadPositionIndex[slot] = -1;

  m.strLongModelName = v.name;
  m.strMIBModelName = mibName(v);
  m.strFolderName = v.name;
  m.dMaxWidth = v.wide ? 1346.2 : 736.6;
  m.nHeadNum = heads;
  m.bCutFeature = true;
  m.nHeaterFeature = 2;
  m.nHeadHeightMask = 5;
  m.strStaticStatus = "MODEL;FIRMWARE;SERIAL;HEADS;INKSET";
  m.strActiveStatus = "STATE;INK_C;INK_M;INK_Y;INK_K;MEDIA;PREHEAT;PRINTHEAT;DRYHEAT";
  m.strPPDFile = std::string(v.name) + ".ppd";
  m.dCropMargin_mm = 5.0;
  m.dCropSize_mm = 10.0;
  m.dPageSpace_mm = 10.0;
  m.dHWLeftMargin_mm = 5.0;
  m.dHWRightMargin_mm = 5.0;
  m.dHWTopMargin_mm = 0.0;
  m.dHWBottomMargin_mm = 12.5;
  m.strBMPFileName = "Ostrand KM.bmp";
  m.nMaxCutSpeed = 60;
  m.strExtension = extension(v);
  m.nMinimumPageInterval_mm = 0;
  m.nMaximumPageInterval_mm = 200;
  m.nMinimumScanSpeed = 250;
  m.nMaximumScanSpeed = 1500;
  m.nMinimumFeedSpeed = 1;
  m.nMaximumFeedSpeed = 50;
  m.nMinimumPreHeaterTemperature = 35;
  m.nMaximumPreHeaterTemperature = 50;
  m.nMinimumHeaterTemperature = 35;
  m.nMaximumHeaterTemperature = 50;
  m.nMinimumDrierTemperature = 35;
  m.nMaximumDrierTemperature = 55;
  m.dMinimumFeedCalibration_mm = -2.0;
  m.dMaximumFeedCalibration_mm = 2.0;
  m.nMinimumCutForce = 30;
  m.nMaximumCutForce = 300;
  m.flMaximumCutOffset = 1.5f;
  m.nGetMethodType = 1;
  m.nScanSpeedType = 32;
  m.strRequiredFirmwareVersion = "0.00";
  m.strRecommendedFirmwareVersion = "0.00";
  m.nNozzleCountPerHeadColumn = 192;
  m.flNozzleResolution = 150.0f;
  m.nMinimumReturnScanSpeed = 1000;
  m.nMaximumReturnScanSpeed = 1000;
  m.dMaxLength = 0.0;
  m.bOverlapCutPerCutPath = false;
  m.nUVLampCount = 0;
  m.bHBridgeFeature = false;
  m.bHalfCutFeature = false;
  m.nMinimumHalfCutForce = 1;
  m.nMaximumHalfCutForce = 80;
  return m;
}

}  // namespace dsr
