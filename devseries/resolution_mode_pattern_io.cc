// ResolutionInfo, PatternInfo and ModeInfo elements with the UV lamp powers.
#include <span>

#include "devseries/field_io.h"
#include "devseries/resolution_mode_pattern.h"
#include "xml/value_codec.h"

namespace devseries {
namespace {

using ModeField = Field<ModeInfo>;

// Fields 1 to 15 of ModeInfo in document order; aUVLampPowerList follows.
constexpr ModeField kModeInfoFields[] = {
    // Positional part.
    {"nModeIndex", &ModeInfo::nModeIndex},
    {"strModeName", &ModeInfo::strModeName},
    {"nInkNum", &ModeInfo::nInkNum},
    {"nInkIndexList", &ModeInfo::nInkIndexList},
    {"nBitsPerPixel", &ModeInfo::nBitsPerPixel},
    {"nDotType", &ModeInfo::nDotType},
    {"strDotSize", &ModeInfo::strDotSize},
    // Named part.
    {"nInkVolumeIndex", &ModeInfo::nInkVolumeIndex},
    {"strNozzleMask", &ModeInfo::strNozzleMask},
    {"nPassesPerLine", &ModeInfo::nPassesPerLine},
    {"strPJLOption", &ModeInfo::strPJLOption},
    {"flFeedResolutionPerPass", &ModeInfo::flFeedResolutionPerPass},
    {"nNozzleMaskCount", &ModeInfo::nNozzleMaskCount},
    {"nEmptyPathLength", &ModeInfo::nEmptyPathLength},
    {"nAdditionalPrintingTime", &ModeInfo::nAdditionalPrintingTime},
};

constexpr std::size_t kModePositionalCount = 7;
constexpr std::span<const ModeField> kModeAll(kModeInfoFields);
constexpr std::span<const ModeField> kModePositional = kModeAll.first(kModePositionalCount);
constexpr std::span<const ModeField> kModeNamed = kModeAll.subspan(kModePositionalCount);

constexpr std::string_view kUVLampPowerListName = "aUVLampPowerList";
constexpr int kUVLampPositionCount = 2;

// Every UVLampPower child of an aUVLampPowerList element, whatever its
// name, in document order; a later entry for a position overwrites an
// earlier one, and entries with another position are skipped.
void readUVLampPowerList(const xml::Node& list, ModeInfo& record) {
  xml::NodeList children = list.childNodes();
  for (xml::Node child = children.nextNode(); child; child = children.nextNode()) {
    UVLampPower entry;
    int position = -1;
    if (!ModeInfoIO::readUVLampPower(child, entry, position)) continue;
    // Assignment copies the powers only; the base value stays as it is.
    record.aUVLampPowerList[position] = entry;
  }
}

// Whether any power differs from its entry's base value; only then are the
// entries written.
bool differsFromBase(const ModeInfo& record) {
  for (const UVLampPower& entry : record.aUVLampPowerList) {
    if (entry.nForwardPower != entry.baseValue || entry.nBackwardPower != entry.baseValue) {
      return true;
    }
  }
  return false;
}

// A lamp power is stored only when it lies in 0 to 100.
void storePower(const xml::Node& node, int& power) {
  const int value = xml::readInt(node);
  if (value >= 0 && value <= 100) power = value;
}

}  // namespace

void ResolutionInfoIO::readResolutionInfo(const xml::Node& element, ResolutionInfo& record) {
  xml::NodeList children = element.childNodes();
  record.nResolutionIndex = xml::readInt(children.nextNode());
  xml::readLocalizedText(children.nextNode(), record.strResolutionName);
  record.flScanResolution = readFloat(children.nextNode());
  record.flFeedResolution = readFloat(children.nextNode());
}

xml::Node ResolutionInfoIO::writeResolutionInfo(const xml::Document& document,
                                                const ResolutionInfo& record) {
  xml::Node element = document.createElement("ResolutionInfo");
  element.appendChild(xml::createIntElement(document, "nResolutionIndex", record.nResolutionIndex));
  element.appendChild(
      xml::createLocalizedTextElement(document, "strResolutionName", record.strResolutionName));
  element.appendChild(xml::createRealElement(
      document, "flScanResolution", static_cast<double>(record.flScanResolution), kRealDecimals));
  element.appendChild(xml::createRealElement(
      document, "flFeedResolution", static_cast<double>(record.flFeedResolution), kRealDecimals));
  return element;
}

void PatternInfoIO::readPatternInfo(const xml::Node& element, PatternInfo& record) {
  xml::NodeList children = element.childNodes();
  record.nFMPatternIndex = xml::readInt(children.nextNode());
  record.nScanPixelSize = xml::readInt(children.nextNode());
  record.nFeedPixelSize = xml::readInt(children.nextNode());
  record.strPatternFile = xml::readText(children.nextNode());
}

xml::Node PatternInfoIO::writePatternInfo(const xml::Document& document,
                                          const PatternInfo& record) {
  xml::Node element = document.createElement("PatternInfo");
  element.appendChild(xml::createIntElement(document, "nFMPatternIndex", record.nFMPatternIndex));
  element.appendChild(xml::createIntElement(document, "nScanPixelSize", record.nScanPixelSize));
  element.appendChild(xml::createIntElement(document, "nFeedPixelSize", record.nFeedPixelSize));
  element.appendChild(xml::createTextElement(document, "strPatternFile", record.strPatternFile));
  return element;
}

void ModeInfoIO::readModeInfo(const xml::Node& element, ModeInfo& record) {
  record.nNozzleMaskCount = 0;
  xml::NodeList children = element.childNodes();
  readPositionalFields(children, kModePositional, record);
  for (xml::Node node = children.nextNode(); node; node = children.nextNode()) {
    const std::string_view name = node.nodeName();
    if (name == kUVLampPowerListName) {
      readUVLampPowerList(node, record);
    } else if (const ModeField* field = findField(kModeNamed, name)) {
      readField(*field, node, record);
    }
  }
}

xml::Node ModeInfoIO::writeModeInfo(const xml::Document& document, const ModeInfo& record) {
  xml::Node element = document.createElement("ModeInfo");
  appendFields(document, element, kModeAll, record);
  xml::Node list = document.createElement(kUVLampPowerListName);
  if (differsFromBase(record)) {
    for (int position = 0; position < kUVLampPositionCount; ++position) {
      list.appendChild(writeUVLampPower(document, record.aUVLampPowerList[position], position));
    }
  }
  element.appendChild(list);
  return element;
}

bool ModeInfoIO::readUVLampPower(const xml::Node& element, UVLampPower& entry, int& position) {
  const int value = xml::readIntAttribute(element, "position");
  if (value != 0 && value != 1) return false;
  position = value;
  xml::NodeList children = element.childNodes();
  for (xml::Node child = children.nextNode(); child; child = children.nextNode()) {
    const std::string_view name = child.nodeName();
    if (name == "nForwardPower") {
      storePower(child, entry.nForwardPower);
    } else if (name == "nBackwardPower") {
      storePower(child, entry.nBackwardPower);
    }
  }
  return true;
}

xml::Node ModeInfoIO::writeUVLampPower(const xml::Document& document, const UVLampPower& entry,
                                       int position) {
  xml::Node element = document.createElement("UVLampPower");
  element.setAttributeNode(xml::createIntAttribute(document, "position", position));
  element.appendChild(xml::createIntElement(document, "nForwardPower", entry.nForwardPower));
  element.appendChild(xml::createIntElement(document, "nBackwardPower", entry.nBackwardPower));
  return element;
}

}  // namespace devseries
