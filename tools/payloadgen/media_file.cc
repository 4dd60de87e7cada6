#include "tools/payloadgen/media_file.h"

#include <algorithm>

#include "tools/payloadgen/xml_output.h"

namespace payloadgen {
namespace {

// Settings of one medium on the base model (Ostrand ink, 1.6 m).
struct MediaPreset {
  const char* name;
  int mediaType;
  double thickness;  // mm
  double headGap;    // mm above the medium
  int vacuumPower;   // 1..5
  int preHeater;     // degrees Celsius
  int printHeater;
  int dryHeater;
  int curingTemperature;   // curing unit of the Tessel-ink machines
  double feedCalibration;  // percent of the nominal feed
  int passmaskIndex;       // an nPassmaskIndex of the pass-mask table
  int resolutionX;
  int resolutionY;
  int inkLimit;  // percent total coverage
  int dryTime;   // seconds between passes
};

constexpr MediaPreset kPresets[] = {
    {"Generic Vinyl", 1, 0.220, 2.0, 3, 35, 40, 45, 95, 0.000, 23, 900, 900, 300, 0},
    {"Generic Banner", 2, 0.450, 2.5, 4, 40, 45, 50, 100, 0.350, 17, 600, 600, 280, 10},
    {"Generic Paper", 3, 0.180, 1.8, 2, 30, 35, 40, 85, -0.100, 22, 900, 600, 240, 0},
    {"Generic Backlit", 4, 0.200, 2.0, 3, 35, 40, 45, 95, 0.050, 29, 900, 900, 340, 30},
    {"Generic Heat Transfer Sheet", 5, 0.120, 1.6, 2, 30, 30, 35, 80, -0.050, 18, 900, 600, 260, 0},
};

constexpr int kBaseWidthMm = 1620;
constexpr int kWideWidthMm = 3200;

void appendMedia(pugi::xml_node list, const MediaPreset& preset, const PrinterModel& model) {
  pugi::xml_node media = list.append_child("Media");
  appendText(media, "strMediaName", preset.name);
  appendInt(media, "nMediaType", preset.mediaType);
  appendReal(media, "flThickness", preset.thickness);
  appendReal(media, "flHeadGap", preset.headGap);
  // The wide machines hold the longer platen down with one step more vacuum.
  appendInt(media, "nVacuumPower", std::min(preset.vacuumPower + (model.wide ? 1 : 0), 5));
  // Tessel ink wants a warmer platen; its curing unit replaces the drier.
  appendInt(media, "nPreHeater", preset.preHeater + (model.tessel ? 5 : 0));
  appendInt(media, "nPrintHeater", preset.printHeater + (model.tessel ? 10 : 0));
  appendInt(media, "nDryHeater", model.tessel ? 0 : preset.dryHeater);
  appendInt(media, "nCuringTemperature", model.tessel ? preset.curingTemperature : 0);
  pugi::xml_node feed = media.append_child("aflFeedCalibration");
  // The wide machines' longer media path stretches the medium a little.
  appendReal(feed, "value", preset.feedCalibration + (model.wide ? 0.080 : 0.0));
  appendInt(media, "nPassmaskIndex", preset.passmaskIndex);
  appendInt(media, "nResolutionX", preset.resolutionX);
  appendInt(media, "nResolutionY", preset.resolutionY);
  appendInt(media, "nInkLimit", preset.inkLimit - (model.tessel ? 20 : 0));
  appendInt(media, "nDryTime", preset.dryTime);
  pugi::xml_node stamp = media.append_child("TimeStamp");
  appendInt(stamp, "year", 2016);
  appendInt(stamp, "month", 3);
  appendInt(stamp, "day", 1);
  appendInt(stamp, "hour", 0);
  appendInt(stamp, "minute", 0);
  appendInt(stamp, "second", 0);
  appendInt(stamp, "ms", 0);
  appendBool(media, "bVisibleMedia", true);
}

}  // namespace

const std::vector<PrinterModel>& printerModels() {
  static const std::vector<PrinterModel> models = {
      {"Ostrand KM", "ostrand_km", 139, false, false},
      {"Ostrand KM 300", "ostrand_km_300", 141, true, false},
      {"Ostrand KM LX", "ostrand_km_lx", 142, false, true},
      {"Ostrand KM 300 LX", "ostrand_km_300_lx", 143, true, true},
  };
  return models;
}

const std::vector<std::string>& mediaNames() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> result;
    for (const MediaPreset& preset : kPresets) result.emplace_back(preset.name);
    return result;
  }();
  return names;
}

std::string buildMediaFile(const PrinterModel& model) {
  pugi::xml_document document;
  startDocument(document);
  pugi::xml_node root = document.append_child("Harvel_Media_File");
  root.append_attribute("strVersion") = "1.0.0.0";
  appendText(root, "strModelName", model.name);
  appendText(root, "strInkSet", model.tessel ? "Ostrand Tessel CMYK" : "Ostrand CMYK");
  appendInt(root, "nMaxMediaWidth", model.wide ? kWideWidthMm : kBaseWidthMm);
  pugi::xml_node list = root.append_child("aMediaList");
  for (const MediaPreset& preset : kPresets) appendMedia(list, preset, model);
  return saveDocument(document);
}

}  // namespace payloadgen
