#include "tools/payloadgen/dsr_model.h"

#include <array>
#include <string>

#include "tools/payloadgen/dsr_random.h"
#include "tools/payloadgen/dsr_xml.h"

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

void appendModelInfos(pugi::xml_node list, const Variant& v) {
  const int heads = headCount(v);
  std::array<int, 24> positions;
  std::array<int, 24> inks;
  positions.fill(-1);
  inks.fill(0);
  static constexpr std::array<int, 6> kHeadInks = {kInkCyan,  kInkMagenta, kInkYellow,
                                                   kInkBlack, kInkCyan,    kInkMagenta};
  for (int slot = 0; slot < heads; ++slot) {
    positions[static_cast<size_t>(slot)] = slot;
    inks[static_cast<size_t>(slot)] = kHeadInks[static_cast<size_t>(slot)];
  }

  pugi::xml_node m = addElement(list, "ModelInfo");
  addText(m, "strLongModelName", v.name);
  addText(m, "strMIBModelName", mibName(v));
  addText(m, "strFolderName", v.name);
  addDouble(m, "dMaxWidth", v.wide ? 1346.2 : 736.6);
  addInt(m, "nHeadNum", heads);
  addValueArray(m, "nHeadPositionIndex", positions);
  addValueArray(m, "nDefaultInkIndex", inks);
  addBool(m, "bCutFeature", true);
  addInt(m, "nHeaterFeature", 2);
  addInt(m, "nHeadHeightMask", 5);
  addText(m, "strStaticStatus", "MODEL;FIRMWARE;SERIAL;HEADS;INKSET");
  addText(m, "strStaticExtraStatus", "");
  addText(m, "strActiveStatus", "STATE;INK_C;INK_M;INK_Y;INK_K;MEDIA;PREHEAT;PRINTHEAT;DRYHEAT");
  addText(m, "strPPDFile", std::string(v.name) + ".ppd");
  addDouble(m, "dCropMargin_mm", 5.0);
  addDouble(m, "dCropSize_mm", 10.0);
  addDouble(m, "dPageSpace_mm", 10.0);
  addDouble(m, "dHWLeftMargin_mm", 5.0);
  addDouble(m, "dHWRightMargin_mm", 5.0);
  addDouble(m, "dHWTopMargin_mm", 0.0);
  addDouble(m, "dHWBottomMargin_mm", 12.5);
  addText(m, "strBMPFileName", "Ostrand KM.bmp");
  addInt(m, "nMaxCutSpeed", 60);
  addText(m, "strExtension", extension(v));
  addInt(m, "nMinimumPageInterval_mm", 0);
  addInt(m, "nMaximumPageInterval_mm", 200);
  addInt(m, "nMinimumScanSpeed", 250);
  addInt(m, "nMaximumScanSpeed", 1500);
  addInt(m, "nMinimumFeedSpeed", 1);
  addInt(m, "nMaximumFeedSpeed", 50);
  addInt(m, "nMinimumPreHeaterTemperature", 35);
  addInt(m, "nMaximumPreHeaterTemperature", 50);
  addInt(m, "nMinimumHeaterTemperature", 35);
  addInt(m, "nMaximumHeaterTemperature", 50);
  addInt(m, "nMinimumDrierTemperature", 35);
  addInt(m, "nMaximumDrierTemperature", 55);
  addDouble(m, "dMinimumFeedCalibration_mm", -2.0);
  addDouble(m, "dMaximumFeedCalibration_mm", 2.0);
  addInt(m, "nMinimumCutForce", 30);
  addInt(m, "nMaximumCutForce", 300);
  addFloat(m, "flMaximumCutOffset", 1.5);
  addInt(m, "nGetMethodType", 1);
  addInt(m, "nScanSpeedType", 32);
  addText(m, "strDllName", "");
  addText(m, "strDriverName", "");
  addText(m, "strRequiredFirmwareVersion", "0.00");
  addText(m, "strRecommendedFirmwareVersion", "0.00");
  addInt(m, "nNozzleCountPerHeadColumn", 192);
  addFloat(m, "flNozzleResolution", 150.0);
  addInt(m, "nMinimumReturnScanSpeed", 1000);
  addInt(m, "nMaximumReturnScanSpeed", 1000);
  addDouble(m, "dMaxLength", 0.0);
  addBool(m, "bOverlapCutPerCutPath", false);
  addInt(m, "nUVLampCount", 0);
  addBool(m, "bHBridgeFeature", false);
  addBool(m, "bHalfCutFeature", false);
  addInt(m, "nMinimumHalfCutForce", 1);
  addInt(m, "nMaximumHalfCutForce", 80);
}

}  // namespace dsr
