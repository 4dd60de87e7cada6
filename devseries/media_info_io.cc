// Media entries, their quality levels and time stamps as elements.
//
// A MediaInfo element holds 16 leading fields by position, then a time stamp
// (the 17th child, whatever its name), then named fields in any order. The
// QualityInfo element holds 3 positional fields and one named field.
//
// Lists grow through GrowableArray::add; should memory run out, std::bad_alloc
// propagates and ends the reading of the document like any other failure.
#include <cstdint>
#include <string_view>

#include "devseries/document_limits.h"
#include "devseries/media_info.h"
#include "devseries/media_io_helpers.h"
#include "xml/value_codec.h"

namespace devseries {
namespace {

using media_io::createFloatElement;
using media_io::forEachChild;
using media_io::kDecimals;
using media_io::readFloat;

// Reads the named fields of a media entry: one node compared with the names
// of fields 18 to 32; any other name is skipped.
void readNamedMediaField(const xml::Node& node, MediaInfo& record) {
  const std::string_view name = node.nodeName();
  if (name == "bVisibleMedia") {
    record.bVisibleMedia = xml::readBool(node);
  } else if (name == "bCuttingMedia") {
    record.bCuttingMedia = xml::readBool(node);
  } else if (name == "bUpdateNeeded") {
    record.bUpdateNeeded = xml::readBool(node);
  } else if (name == "nInputRoute") {
    record.nInputRoute = xml::readInt(node);
  } else if (name == "bPreHeaterEnable") {
    record.bPreHeaterEnable = xml::readBool(node);
  } else if (name == "bPrinterHeaterEnable") {
    record.bPrinterHeaterEnable = xml::readBool(node);
  } else if (name == "bDrierEnable") {
    record.bDrierEnable = xml::readBool(node);
  } else if (name == "nMediaAttribute") {
    record.nMediaAttribute = xml::readInt(node);
  } else if (name == "bHideUnrecommendedMode") {
    record.bHideUnrecommendedMode = xml::readBool(node) ? 1 : 0;
  } else if (name == "flNormalCutForceRange") {
    record.flNormalCutForceRange = readFloat(node);
  } else if (name == "flDeepCutForceRange") {
    record.flDeepCutForceRange = readFloat(node);
  } else if (name == "nDeepCutForce") {
    // Written as "170.000"; read as an int, so the decimals are dropped.
    record.nDeepCutForce = xml::readInt(node);
  } else if (name == "nHalfCutForce") {
    record.nHalfCutForce = xml::readInt(node);
  } else if (name == "nOverPrintCount") {
    record.nOverPrintCount = xml::readInt(node);
  } else if (name == "bUseDensityCalibration") {
    record.bUseDensityCalibration = xml::readBool(node);
  }
}

}  // namespace

void MediaInfoIO::readMediaInfo(const xml::Node& element, MediaInfo& record) {
  xml::NodeList children = element.childNodes();

  xml::readLocalizedText(children.nextNode(), record.strMediaName);
  xml::readLocalizedText(children.nextNode(), record.strBaseMediaName);

  // Every child of a list element is an entry, whatever its name.
  forEachChild(children.nextNode(), [&record](const xml::Node& item) {
    PermissionSet entry;
    readPermissionSet(item, entry);
    record.aPermissionSetList.add(entry);
  });
  forEachChild(children.nextNode(), [&record](const xml::Node& item) {
    QualityInfo entry;
    readQualityInfo(item, entry);
    record.aQualityInfoList.add(entry);
  });

  record.nDefaultLevel = xml::readInt(children.nextNode());
  record.nDryTime = xml::readInt(children.nextNode());
  record.nVacuumPower = xml::readInt(children.nextNode());
  // -1 is an old way of saying "off".
  if (record.nVacuumPower == -1) record.nVacuumPower = 0;
  record.eHeadHeight = xml::readInt(children.nextNode());

  forEachChild(children.nextNode(), [&record](const xml::Node& item) {
    requireAtMost(record.aflFeedCalibration.size() + 1, kMaxModels, "feed calibration values");
    record.aflFeedCalibration.add(readFloat(item));
  });

  record.nPreHeater = xml::readInt(children.nextNode());
  record.nPrintHeater = xml::readInt(children.nextNode());
  record.nDryHeater = xml::readInt(children.nextNode());
  record.nCutCount = xml::readInt(children.nextNode());
  record.nCutVelocity = xml::readInt(children.nextNode());
  record.nCutForce = xml::readInt(children.nextNode());
  record.flCutOffset = readFloat(children.nextNode());

  // The time stamp is optional, but when a 17th child exists it is taken as
  // the time stamp whatever its name.
  if (xml::Node stamp = children.nextNode(); stamp) {
    readTimeStamp(stamp, record.timeStamp);
  }

  // A drier temperature of 0 means the drier is off, unless the entry says
  // otherwise by a bDrierEnable element of its own.
  if (record.nDryHeater == 0) record.bDrierEnable = false;

  for (xml::Node node = children.nextNode(); node; node = children.nextNode()) {
    readNamedMediaField(node, record);
  }
}

xml::Node MediaInfoIO::writeMediaInfo(const xml::Document& document, const MediaInfo& record) {
  xml::Node element = document.createElement("MediaInfo");
  auto add = [&element](const xml::Node& child) { element.appendChild(child); };

  add(xml::createLocalizedTextElement(document, "strMediaName", record.strMediaName));
  add(xml::createLocalizedTextElement(document, "strBaseMediaName", record.strBaseMediaName));

  xml::Node permissionSets = document.createElement("aPermissionSetList");
  for (const PermissionSet& entry : record.aPermissionSetList) {
    permissionSets.appendChild(writePermissionSet(document, entry));
  }
  add(permissionSets);

  xml::Node qualities = document.createElement("aQualityInfoList");
  for (const QualityInfo& entry : record.aQualityInfoList) {
    qualities.appendChild(writeQualityInfo(document, entry));
  }
  add(qualities);

  add(xml::createIntElement(document, "nDefaultLevel", record.nDefaultLevel));
  add(xml::createIntElement(document, "nDryTime", record.nDryTime));
  add(xml::createIntElement(document, "nVacuumPower", record.nVacuumPower));
  add(xml::createIntElement(document, "eHeadHeight", record.eHeadHeight));

  xml::Node feed = document.createElement("aflFeedCalibration");
  for (float value : record.aflFeedCalibration) {
    feed.appendChild(createFloatElement(document, "value", value));
  }
  add(feed);

  add(xml::createIntElement(document, "nPreHeater", record.nPreHeater));
  add(xml::createIntElement(document, "nPrintHeater", record.nPrintHeater));
  add(xml::createIntElement(document, "nDryHeater", record.nDryHeater));
  add(xml::createIntElement(document, "nCutCount", record.nCutCount));
  add(xml::createIntElement(document, "nCutVelocity", record.nCutVelocity));
  add(xml::createIntElement(document, "nCutForce", record.nCutForce));
  add(createFloatElement(document, "flCutOffset", record.flCutOffset));
  add(writeTimeStamp(document, "TimeStamp", record.timeStamp));

  add(xml::createBoolElement(document, "bVisibleMedia", record.bVisibleMedia));
  add(xml::createBoolElement(document, "bCuttingMedia", record.bCuttingMedia));
  add(xml::createBoolElement(document, "bUpdateNeeded", record.bUpdateNeeded));
  add(xml::createIntElement(document, "nInputRoute", record.nInputRoute));
  add(xml::createBoolElement(document, "bPreHeaterEnable", record.bPreHeaterEnable));
  add(xml::createBoolElement(document, "bPrinterHeaterEnable", record.bPrinterHeaterEnable));
  add(xml::createBoolElement(document, "bDrierEnable", record.bDrierEnable));
  add(xml::createIntElement(document, "nMediaAttribute", record.nMediaAttribute));
  add(xml::createBoolElement(document, "bHideUnrecommendedMode",
                             record.bHideUnrecommendedMode == 1));
  add(createFloatElement(document, "flNormalCutForceRange", record.flNormalCutForceRange));
  add(createFloatElement(document, "flDeepCutForceRange", record.flDeepCutForceRange));
  // The two forces are ints stored as decimals ("170.000").
  add(xml::createRealElement(document, "nDeepCutForce", static_cast<double>(record.nDeepCutForce),
                             kDecimals));
  add(xml::createRealElement(document, "nHalfCutForce", static_cast<double>(record.nHalfCutForce),
                             kDecimals));
  add(xml::createIntElement(document, "nOverPrintCount", record.nOverPrintCount));
  add(xml::createBoolElement(document, "bUseDensityCalibration", record.bUseDensityCalibration));
  return element;
}

void MediaInfoIO::readQualityInfo(const xml::Node& element, QualityInfo& record) {
  xml::NodeList children = element.childNodes();
  record.nQualityLevel = xml::readInt(children.nextNode());
  xml::readLocalizedText(children.nextNode(), record.strQualityName);

  forEachChild(children.nextNode(), [&record](const xml::Node& item) {
    record.anPermissionIndexList.add(xml::readInt(item));
  });

  for (xml::Node node = children.nextNode(); node; node = children.nextNode()) {
    if (node.nodeName() == "bVisibleQuality") record.bVisibleQuality = xml::readBool(node);
  }
}

xml::Node MediaInfoIO::writeQualityInfo(const xml::Document& document, const QualityInfo& record) {
  xml::Node element = document.createElement("QualityInfo");
  element.appendChild(xml::createIntElement(document, "nQualityLevel", record.nQualityLevel));
  element.appendChild(
      xml::createLocalizedTextElement(document, "strQualityName", record.strQualityName));
  xml::Node list = document.createElement("anPermissionIndexList");
  for (int index : record.anPermissionIndexList) {
    list.appendChild(xml::createIntElement(document, "anPermissionIndex", index));
  }
  element.appendChild(list);
  element.appendChild(xml::createBoolElement(document, "bVisibleQuality", record.bVisibleQuality));
  return element;
}

void readTimeStamp(const xml::Node& element, TimeStamp& out) {
  xml::NodeList children = element.childNodes();
  // Read all seven before storing, so a short element leaves |out| unchanged.
  int values[7];
  for (int& value : values) value = xml::readInt(children.nextNode());
  out.year = static_cast<std::uint16_t>(values[0]);
  out.month = static_cast<std::uint8_t>(values[1]);
  out.day = static_cast<std::uint8_t>(values[2]);
  out.hour = static_cast<std::uint8_t>(values[3]);
  out.minute = static_cast<std::uint8_t>(values[4]);
  out.second = static_cast<std::uint8_t>(values[5]);
  out.ms = static_cast<std::uint16_t>(values[6]);
}

xml::Node writeTimeStamp(const xml::Document& document, std::string_view name,
                         const TimeStamp& value) {
  xml::Node element = document.createElement(name);
  element.appendChild(xml::createIntElement(document, "year", value.year));
  element.appendChild(xml::createIntElement(document, "month", value.month));
  element.appendChild(xml::createIntElement(document, "day", value.day));
  element.appendChild(xml::createIntElement(document, "hour", value.hour));
  element.appendChild(xml::createIntElement(document, "minute", value.minute));
  element.appendChild(xml::createIntElement(document, "second", value.second));
  element.appendChild(xml::createIntElement(document, "ms", value.ms));
  return element;
}

}  // namespace devseries
