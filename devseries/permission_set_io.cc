// Permission sets, their screen options and calibration entries as
// elements, and the two rules that keep a permission set consistent with
// its separation: direction codes and screen angles.
//
// A PermissionSet element holds 4 positional fields, then named fields in
// any order; a screenOption element holds named fields only; a
// CalibrationInfo element is positional throughout.
//
// Lists grow through GrowableArray::add; should memory run out, std::bad_alloc
// propagates and ends the reading of the document like any other failure.
#include <cstdint>
#include <string>
#include <string_view>

#include "devseries/document_limits.h"
#include "devseries/media_info.h"
#include "devseries/media_io_helpers.h"
#include "xml/value_codec.h"

namespace devseries {
namespace {

using media_io::createFloatElement;
using media_io::forEachChild;
using media_io::readFloat;

void appendIntList(const xml::Node& node, GrowableArray<int>& list) {
  forEachChild(node, [&list](const xml::Node& item) { list.add(xml::readInt(item)); });
}

// A list element with one int child named |itemName| per entry.
xml::Node createIntListElement(const xml::Document& document, std::string_view name,
                               std::string_view itemName, const GrowableArray<int>& list) {
  xml::Node element = document.createElement(name);
  for (int value : list) element.appendChild(xml::createIntElement(document, itemName, value));
  return element;
}

// Reads one node of the named part of a permission set into its field;
// any other name is skipped. Returns true when the node is bRecommended.
bool readNamedPermissionField(const xml::Node& node, PermissionSet& record) {
  const std::string_view name = node.nodeName();
  if (name == "nPassmaskIndex") {
    record.nPassmaskIndex = xml::readInt(node);
  } else if (name == "eDirection") {
    record.eDirection = MediaInfoIO::normalizeDirection(xml::readInt(node));
  } else if (name == "eScreen") {
    record.eScreen = xml::readInt(node);
  } else if (name == "anVControlIndexList") {
    appendIntList(node, record.anVControlIndexList);
  } else if (name == "anFMPatternIndexList") {
    appendIntList(node, record.anFMPatternIndexList);
  } else if (name == "nSeparationIndex") {
    record.nSeparationIndex = xml::readInt(node);
  } else if (name == "aCalibrationInfoList") {
    forEachChild(node, [&record](const xml::Node& item) {
      CalibrationInfo entry;
      MediaInfoIO::readCalibrationInfo(item, entry);
      record.aCalibrationInfoList.add(entry);
    });
  } else if (name == "nInkLimit") {
    record.nInkLimit = xml::readInt(node);
  } else if (name == "strPrinterProfile") {
    record.strPrinterProfile = xml::readText(node);
  } else if (name == "nScanSpeed") {
    record.nScanSpeed = xml::readInt(node);
  } else if (name == "nFeedSpeed") {
    record.nFeedSpeed = xml::readInt(node);
  } else if (name == "bVisiblePermission") {
    record.bVisiblePermission = xml::readBool(node);
  } else if (name == "screenOption") {
    MediaInfoIO::readScreenOption(node, record.screenOption);
  } else if (name == "bRecommended") {
    record.bRecommended = xml::readBool(node);
    return true;
  } else if (name == "nRealPassCount") {
    record.nRealPassCount = xml::readInt(node);
  } else if (name == "strNextPermissionIndex") {
    record.strNextPermissionIndex = xml::readText(node);
  }
  return false;
}

}  // namespace

void MediaInfoIO::readPermissionSet(const xml::Node& element, PermissionSet& record) {
  xml::NodeList children = element.childNodes();
  record.nPermissionIndex = xml::readInt(children.nextNode());
  record.anInkConfigIndexList.clear();
  appendIntList(children.nextNode(), record.anInkConfigIndexList);
  record.nResolutionIndex = xml::readInt(children.nextNode());
  record.nModeIndex = xml::readInt(children.nextNode());

  // Documents without an eScreen element mean the ordinary screen, 1.
  record.eScreen = 1;
  record.anVControlIndexList.clear();

  bool recommendedSeen = false;
  for (xml::Node node = children.nextNode(); node; node = children.nextNode()) {
    if (readNamedPermissionField(node, record)) recommendedSeen = true;
  }
  // Older documents have no bRecommended: every visible set counts as
  // recommended.
  if (!recommendedSeen) record.bRecommended = record.bVisiblePermission;
}

xml::Node MediaInfoIO::writePermissionSet(const xml::Document& document,
                                          const PermissionSet& record) {
  xml::Node element = document.createElement("PermissionSet");
  auto add = [&element](const xml::Node& child) { element.appendChild(child); };

  add(xml::createIntElement(document, "nPermissionIndex", record.nPermissionIndex));
  add(createIntListElement(document, "anInkConfigIndexList", "anInkConfigIndex",
                           record.anInkConfigIndexList));
  add(xml::createIntElement(document, "nResolutionIndex", record.nResolutionIndex));
  add(xml::createIntElement(document, "nModeIndex", record.nModeIndex));
  add(xml::createIntElement(document, "nPassmaskIndex", record.nPassmaskIndex));
  add(xml::createIntElement(document, "eDirection", record.eDirection));
  add(xml::createIntElement(document, "eScreen", record.eScreen));
  // Only the custom screen (8) uses the screen option.
  if (record.eScreen == 8) add(writeScreenOption(document, record.screenOption));
  add(createIntListElement(document, "anVControlIndexList", "anVControlIndex",
                           record.anVControlIndexList));
  add(createIntListElement(document, "anFMPatternIndexList", "anFMPatternIndex",
                           record.anFMPatternIndexList));
  add(xml::createIntElement(document, "nSeparationIndex", record.nSeparationIndex));

  xml::Node calibrations = document.createElement("aCalibrationInfoList");
  for (const CalibrationInfo& entry : record.aCalibrationInfoList) {
    calibrations.appendChild(writeCalibrationInfo(document, entry));
  }
  add(calibrations);

  add(xml::createIntElement(document, "nInkLimit", record.nInkLimit));
  add(xml::createTextElement(document, "strPrinterProfile", record.strPrinterProfile));
  add(xml::createIntElement(document, "nScanSpeed", record.nScanSpeed));
  add(xml::createIntElement(document, "nFeedSpeed", record.nFeedSpeed));
  add(xml::createBoolElement(document, "bVisiblePermission", record.bVisiblePermission));
  // The reader derives an absent bRecommended from bVisiblePermission, so
  // it is written only when it says something else.
  if (record.bRecommended != record.bVisiblePermission) {
    add(xml::createBoolElement(document, "bRecommended", record.bRecommended));
  }
  add(xml::createIntElement(document, "nRealPassCount", record.nRealPassCount));
  add(xml::createTextElement(document, "strNextPermissionIndex", record.strNextPermissionIndex));
  return element;
}

void MediaInfoIO::readScreenOption(const xml::Node& element, ScreenOption& option) {
  option.bUseCustomSetting = false;
  option.nLineCount = 30;
  option.eDotShape = 1;
  forEachChild(element, [&option](const xml::Node& node) {
    const std::string_view name = node.nodeName();
    if (name == "bUseCustomSetting") {
      option.bUseCustomSetting = xml::readBool(node);
    } else if (name == "nLineCount") {
      option.nLineCount = xml::readInt(node);
    } else if (name == "eDotShape") {
      option.eDotShape = xml::readInt(node);
    } else if (name == "flDegrees") {
      option.flDegrees.clear();
      forEachChild(node, [&option](const xml::Node& item) {
        requireAtMost(option.flDegrees.size() + 1, kMaxChannels, "screen angles");
        option.flDegrees.add(readFloat(item));
      });
    }
  });
}

xml::Node MediaInfoIO::writeScreenOption(const xml::Document& document,
                                         const ScreenOption& option) {
  xml::Node element = document.createElement("screenOption");
  element.appendChild(
      xml::createBoolElement(document, "bUseCustomSetting", option.bUseCustomSetting));
  element.appendChild(xml::createIntElement(document, "nLineCount", option.nLineCount));
  element.appendChild(xml::createIntElement(document, "eDotShape", option.eDotShape));
  xml::Node degrees = document.createElement("flDegrees");
  for (int i = 0; i < option.flDegrees.size(); ++i) {
    degrees.appendChild(
        createFloatElement(document, "flDegree" + std::to_string(i), option.flDegrees[i]));
  }
  element.appendChild(degrees);
  return element;
}

void MediaInfoIO::readCalibrationInfo(const xml::Node& element, CalibrationInfo& record) {
  xml::NodeList children = element.childNodes();
  record.nOutputLimit = xml::readInt(children.nextNode());

  // Exactly the first 21 children count; further ones are ignored.
  xml::NodeList densities = children.nextNode().childNodes();
  for (float& density : record.density) density = readFloat(densities.nextNode());

  xml::NodeList labs = children.nextNode().childNodes();
  for (LabValue& lab : record.lab) {
    xml::NodeList coordinates = labs.nextNode().childNodes();
    lab.l = readFloat(coordinates.nextNode());
    lab.a = readFloat(coordinates.nextNode());
    lab.b = readFloat(coordinates.nextNode());
  }
}

xml::Node MediaInfoIO::writeCalibrationInfo(const xml::Document& document,
                                            const CalibrationInfo& record) {
  xml::Node element = document.createElement("CalibrationInfo");
  element.appendChild(xml::createIntElement(document, "nOutputLimit", record.nOutputLimit));

  xml::Node densities = document.createElement("density");
  for (float density : record.density) {
    densities.appendChild(createFloatElement(document, "value", density));
  }
  element.appendChild(densities);

  xml::Node labs = document.createElement("lab");
  for (const LabValue& lab : record.lab) {
    xml::Node value = document.createElement("value");
    value.appendChild(createFloatElement(document, "l", lab.l));
    value.appendChild(createFloatElement(document, "a", lab.a));
    value.appendChild(createFloatElement(document, "b", lab.b));
    labs.appendChild(value);
  }
  element.appendChild(labs);
  return element;
}

int MediaInfoIO::normalizeDirection(int value) {
  const auto bits = static_cast<std::uint32_t>(value);
  const std::uint32_t kind = bits >> 16;
  const std::uint32_t flags = bits & 0xFFFFu;
  if (kind == 1 || kind == 2) return value;
  // The kind follows from the flags; the flags themselves never change.
  if ((flags & 2u) != 0) return static_cast<int>((2u << 16) | flags);
  if ((flags & 1u) != 0) return static_cast<int>((1u << 16) | flags);
  return value;
}

void MediaInfoIO::fitScreenAngles(GrowableArray<MediaInfo>& media,
                                  const GrowableArray<SeparationInfo>& separations) {
  static constexpr float kFourChannelAngles[] = {30.0f, 45.0f, 90.0f, 60.0f};
  static constexpr float kSixChannelAngles[] = {15.0f, 45.0f, 90.0f, 75.0f, 45.0f, 45.0f};

  for (MediaInfo& entry : media) {
    for (PermissionSet& set : entry.aPermissionSetList) {
      const SeparationInfo* separation = nullptr;
      for (const SeparationInfo& candidate : separations) {
        if (candidate.nSeparationIndex == set.nSeparationIndex) {
          separation = &candidate;
          break;
        }
      }
      if (separation == nullptr) continue;

      const int channels = separation->anInputChannelInkIndexList.size();
      GrowableArray<float>& degrees = set.screenOption.flDegrees;
      if (degrees.size() == channels) continue;
      // Keeps the leading angles and zero-fills new places.
      degrees.setSize(channels);
      if (channels == 4) {
        for (int i = 0; i < 4; ++i) degrees[i] = kFourChannelAngles[i];
      } else if (channels == 6) {
        for (int i = 0; i < 6; ++i) degrees[i] = kSixChannelAngles[i];
      }
    }
  }
}

}  // namespace devseries
