#include "tools/payloadgen/device_series_docs.h"

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

#include <pugixml.hpp>

#include "tools/payloadgen/dsr_charts.h"
#include "tools/payloadgen/dsr_commands.h"
#include "tools/payloadgen/dsr_inks.h"
#include "tools/payloadgen/dsr_media.h"
#include "tools/payloadgen/dsr_model.h"
#include "tools/payloadgen/dsr_modes.h"
#include "tools/payloadgen/dsr_separations.h"
#include "tools/payloadgen/dsr_translations.h"
#include "tools/payloadgen/dsr_variant.h"
#include "tools/payloadgen/dsr_xml.h"
#include "xml/save_format.h"

namespace {

// Format version the payload documents carry; an update keeps it.
constexpr const char* kFormatVersion = "6.6.13.0";

// Builds one document in memory and returns its saved bytes.
std::string deviceSeriesDocument(const dsr::Variant& v) {
  pugi::xml_document doc;
  pugi::xml_node declaration = doc.append_child(pugi::node_declaration);
  declaration.append_attribute("version") = "1.0";
  declaration.append_attribute("encoding") = "UTF-8";

  pugi::xml_node root = doc.append_child("DeviceSeries");
  root.append_attribute("strVersion") = kFormatVersion;

  dsr::appendModelInfos(dsr::addElement(root, "aModelInfoList"), v);
  dsr::appendInkInfos(dsr::addElement(root, "aInkInfoList"));
  dsr::appendInkConfigInfos(dsr::addElement(root, "aInkConfigInfoList"), v);
  dsr::appendResolutionInfos(dsr::addElement(root, "aResolutionInfoList"));
  dsr::appendModeInfos(dsr::addElement(root, "aModeInfoList"));
  dsr::appendSeparationInfos(dsr::addElement(root, "aSeparationInfoList"), v);
  dsr::appendVControlPoints(dsr::addElement(root, "aVControlPointList"), v);
  dsr::appendPatternInfos(dsr::addElement(root, "aPatternInfoList"));
  dsr::appendCommandSet(root, v);
  dsr::appendMediaInfos(dsr::addElement(root, "aMediaInfoList"), v);
  dsr::appendPrintChartFileInfoSets(root);
  dsr::appendInkVolumeInfos(root, v);
  dsr::addLocalized(root, "strFirmwareDownloadURL", dsr::firmwareDownloadUrl());

  std::ostringstream out;
  doc.save(out, xml::kSaveIndent, xml::kSaveFlags, xml::kSaveEncoding);
  return out.str();
}

void writeFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  file.close();
  if (!file) throw std::runtime_error("cannot write " + path.string());
}

}  // namespace

void writeDeviceSeriesDocuments(const std::filesystem::path& outDir) {
  for (const dsr::Variant& v : dsr::kVariants) {
    writeFile(outDir / v.fileName, deviceSeriesDocument(v));
  }
}
