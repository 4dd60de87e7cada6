// ResolutionInfo, PatternInfo and ModeInfo elements with the UV lamp powers.
#include "devseries/field_io.h"
#include "devseries/resolution_mode_pattern.h"
#include "xml/number_text.h"

namespace devseries {
namespace {

constexpr Field<ResolutionInfo> kResolutionInfoFields[] = {
    field<&ResolutionInfo::nResolutionIndex>("nResolutionIndex"),
    field<&ResolutionInfo::strResolutionName>("strResolutionName"),
    field<&ResolutionInfo::flScanResolution>("flScanResolution"),
    field<&ResolutionInfo::flFeedResolution>("flFeedResolution"),
};
constexpr RecordForm<ResolutionInfo> kResolutionInfoForm{kResolutionInfoFields, 4};

constexpr Field<PatternInfo> kPatternInfoFields[] = {
    field<&PatternInfo::nFMPatternIndex>("nFMPatternIndex"),
    field<&PatternInfo::nScanPixelSize>("nScanPixelSize"),
    field<&PatternInfo::nFeedPixelSize>("nFeedPixelSize"),
    field<&PatternInfo::strPatternFile>("strPatternFile"),
};
constexpr RecordForm<PatternInfo> kPatternInfoForm{kPatternInfoFields, 4};

// A lamp power is stored only when it lies in 0 to 100.
struct LampPower : Plain<int> {
  static void read(const xml::Node& node, int& power) {
    const int value = xml::readInt(node);
    if (value >= 0 && value <= 100) power = value;
  }
};

constexpr Field<UVLampPower> kUVLampPowerFields[] = {
    field<&UVLampPower::nForwardPower, LampPower>("nForwardPower"),
    field<&UVLampPower::nBackwardPower, LampPower>("nBackwardPower"),
};
constexpr RecordForm<UVLampPower> kUVLampPowerForm{kUVLampPowerFields};

// The lamp positions of a mode. Every child of the list element, whatever
// its name, is a UVLampPower entry placed by its position attribute; a later
// entry for a position overwrites an earlier one, and entries with another
// position are skipped. The entries are written only when a power differs
// from its entry's base value.
struct UVLampPowers {
  static void read(const xml::Node& node, UVLampPower (&entries)[2]) {
    xml::NodeList children = node.childNodes();
    for (xml::Node child = children.nextNode(); child; child = children.nextNode()) {
      UVLampPower entry;
      int position = -1;
      if (!ModeInfoIO::readUVLampPower(child, entry, position)) continue;
      // Assignment copies the powers only; the base value stays as it is.
      entries[position] = entry;
    }
  }
  static void append(const xml::Node& parent, xml::ElementName name,
                     const UVLampPower (&entries)[2]) {
    const xml::Node list = parent.appendElement(name);
    bool differs = false;
    for (const UVLampPower& entry : entries) {
      differs = differs || entry.nForwardPower != entry.baseValue ||
                entry.nBackwardPower != entry.baseValue;
    }
    if (!differs) return;
    for (int position = 0; position < 2; ++position) {
      ModeInfoIO::appendUVLampPower(list, entries[position], position);
    }
  }
};

// All fields in document order.
constexpr Field<ModeInfo> kModeInfoFields[] = {
    // Positional part.
    field<&ModeInfo::nModeIndex>("nModeIndex"),
    field<&ModeInfo::strModeName>("strModeName"),
    field<&ModeInfo::nInkNum>("nInkNum"),
    field<&ModeInfo::nInkIndexList, IntSlots>("nInkIndexList"),
    field<&ModeInfo::nBitsPerPixel>("nBitsPerPixel"),
    field<&ModeInfo::nDotType>("nDotType"),
    field<&ModeInfo::strDotSize>("strDotSize"),
    // Named part.
    field<&ModeInfo::nInkVolumeIndex>("nInkVolumeIndex"),
    field<&ModeInfo::strNozzleMask>("strNozzleMask"),
    field<&ModeInfo::nPassesPerLine>("nPassesPerLine"),
    field<&ModeInfo::strPJLOption>("strPJLOption"),
    field<&ModeInfo::flFeedResolutionPerPass>("flFeedResolutionPerPass"),
    field<&ModeInfo::nNozzleMaskCount>("nNozzleMaskCount"),
    field<&ModeInfo::nEmptyPathLength>("nEmptyPathLength"),
    field<&ModeInfo::nAdditionalPrintingTime>("nAdditionalPrintingTime"),
    field<&ModeInfo::aUVLampPowerList, UVLampPowers>("aUVLampPowerList"),
};
constexpr RecordForm<ModeInfo> kModeInfoForm{kModeInfoFields, 7};

}  // namespace

void ResolutionInfoIO::readResolutionInfo(const xml::Node& element, ResolutionInfo& record) {
  readRecord(element, kResolutionInfoForm, record);
}

xml::Node ResolutionInfoIO::writeResolutionInfo(const xml::Document& document,
                                                const ResolutionInfo& record) {
  return writeRecord(document, "ResolutionInfo", kResolutionInfoForm, record);
}

void ResolutionInfoIO::appendResolutionInfo(const xml::Node& parent, const ResolutionInfo& record) {
  appendRecord(parent, "ResolutionInfo", kResolutionInfoForm, record);
}

void PatternInfoIO::readPatternInfo(const xml::Node& element, PatternInfo& record) {
  readRecord(element, kPatternInfoForm, record);
}

xml::Node PatternInfoIO::writePatternInfo(const xml::Document& document,
                                          const PatternInfo& record) {
  return writeRecord(document, "PatternInfo", kPatternInfoForm, record);
}

void PatternInfoIO::appendPatternInfo(const xml::Node& parent, const PatternInfo& record) {
  appendRecord(parent, "PatternInfo", kPatternInfoForm, record);
}

void ModeInfoIO::readModeInfo(const xml::Node& element, ModeInfo& record) {
  record.nNozzleMaskCount = 0;
  readRecord(element, kModeInfoForm, record);
}

xml::Node ModeInfoIO::writeModeInfo(const xml::Document& document, const ModeInfo& record) {
  return writeRecord(document, "ModeInfo", kModeInfoForm, record);
}

void ModeInfoIO::appendModeInfo(const xml::Node& parent, const ModeInfo& record) {
  appendRecord(parent, "ModeInfo", kModeInfoForm, record);
}

bool ModeInfoIO::readUVLampPower(const xml::Node& element, UVLampPower& entry, int& position) {
  const int value = xml::readIntAttribute(element, "position");
  if (value != 0 && value != 1) return false;
  position = value;
  readRecord(element, kUVLampPowerForm, entry);
  return true;
}

xml::Node ModeInfoIO::writeUVLampPower(const xml::Document& document, const UVLampPower& entry,
                                       int position) {
  xml::Node element = writeRecord(document, "UVLampPower", kUVLampPowerForm, entry);
  element.setAttributeNode(xml::createIntAttribute(document, "position", position));
  return element;
}

void ModeInfoIO::appendUVLampPower(const xml::Node& parent, const UVLampPower& entry,
                                   int position) {
  const xml::Node element = appendRecord(parent, "UVLampPower", kUVLampPowerForm, entry);
  element.setAttribute("position", xml::formatInt(position));
}

}  // namespace devseries
