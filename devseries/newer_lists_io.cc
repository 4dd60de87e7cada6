// Reading and writing of the print-chart file sets and the ink volumes.
//
// Unlike the lists of the older format, these lists find their items and the
// items their fields by exact element name: children of other names, comments
// included, are skipped at every level, no child is required, and a repeated
// field overwrites. Texts are plain texts, never escaped.

#include <string_view>

#include "devseries/newer_lists.h"
#include "xml/value_codec.h"

namespace devseries {

namespace {

// Item and list elements are element nodes without a namespace.
xml::Node createPlainElement(const xml::Document& document, std::string_view name) {
  return document.createNode(xml::NodeType::kElement, name, "");
}

}  // namespace

void readPrintChartFileInfoSetList(const xml::Node& listElement,
                                   GrowableArray<PrintChartFileInfoSet>& list) {
  xml::NodeList children = listElement.childNodes();
  for (xml::Node child = children.nextNode(); child; child = children.nextNode()) {
    if (child.nodeName() != "PrintChartFileInfoSet") continue;
    // Each item starts from a fresh record (nIndex 0, texts empty), so an
    // item without nIndex reads as 0 and never inherits a neighbour's index.
    PrintChartFileInfoSet record;
    readPrintChartFileInfoSet(child, record);
    list.add(record);
  }
}

xml::Node writePrintChartFileInfoSetList(const xml::Document& document,
                                         const GrowableArray<PrintChartFileInfoSet>& list) {
  xml::Node element = createPlainElement(document, "aPrintChartFileInfoSetList");
  for (const PrintChartFileInfoSet& record : list) {
    element.appendChild(writePrintChartFileInfoSet(document, record));
  }
  return element;
}

void readPrintChartFileInfoSet(const xml::Node& element, PrintChartFileInfoSet& record) {
  xml::NodeList children = element.childNodes();
  for (xml::Node child = children.nextNode(); child; child = children.nextNode()) {
    const std::string_view name = child.nodeName();
    if (name == "nIndex") {
      record.nIndex = xml::readInt(child);
    } else if (name == "strCalibrationFileName") {
      record.strCalibrationFileName = xml::readText(child);
    } else if (name == "strInkLimitFileName") {
      record.strInkLimitFileName = xml::readText(child);
    } else if (name == "strTestPrintFileName") {
      record.strTestPrintFileName = xml::readText(child);
    }
  }
}

xml::Node writePrintChartFileInfoSet(const xml::Document& document,
                                     const PrintChartFileInfoSet& record) {
  xml::Node element = createPlainElement(document, "PrintChartFileInfoSet");
  element.appendChild(xml::createIntElement(document, "nIndex", record.nIndex));
  element.appendChild(
      xml::createTextElement(document, "strCalibrationFileName", record.strCalibrationFileName));
  element.appendChild(
      xml::createTextElement(document, "strInkLimitFileName", record.strInkLimitFileName));
  element.appendChild(
      xml::createTextElement(document, "strTestPrintFileName", record.strTestPrintFileName));
  return element;
}

void readInkVolumeInfoList(const xml::Node& listElement, GrowableArray<InkVolumeInfo>& list) {
  xml::NodeList children = listElement.childNodes();
  for (xml::Node child = children.nextNode(); child; child = children.nextNode()) {
    if (child.nodeName() != "InkVolumeInfo") continue;
    InkVolumeInfo record;  // nInkVolumeIndex 0, no texts
    readInkVolumeInfo(child, record);
    list.add(record);
  }
}

xml::Node writeInkVolumeInfoList(const xml::Document& document,
                                 const GrowableArray<InkVolumeInfo>& list) {
  xml::Node element = createPlainElement(document, "aInkVolumeInfoList");
  for (const InkVolumeInfo& record : list) {
    element.appendChild(writeInkVolumeInfo(document, record));
  }
  return element;
}

void readInkVolumeInfo(const xml::Node& element, InkVolumeInfo& record) {
  record.astrInkVolumeList.clear();
  xml::NodeList children = element.childNodes();
  for (xml::Node child = children.nextNode(); child; child = children.nextNode()) {
    const std::string_view name = child.nodeName();
    if (name == "nInkVolumeIndex") {
      record.nInkVolumeIndex = xml::readInt(child);
    } else if (name == "astrInkVolumeList") {
      // A second list element appends to the texts of the first.
      xml::NodeList volumes = child.childNodes();
      for (xml::Node volume = volumes.nextNode(); volume; volume = volumes.nextNode()) {
        if (volume.nodeName() != "strInkVolume_pl") continue;
        record.astrInkVolumeList.add(xml::readText(volume));
      }
    }
  }
}

xml::Node writeInkVolumeInfo(const xml::Document& document, const InkVolumeInfo& record) {
  xml::Node element = createPlainElement(document, "InkVolumeInfo");
  element.appendChild(xml::createIntElement(document, "nInkVolumeIndex", record.nInkVolumeIndex));
  xml::Node volumes = createPlainElement(document, "astrInkVolumeList");
  for (const std::string& volume : record.astrInkVolumeList) {
    volumes.appendChild(xml::createTextElement(document, "strInkVolume_pl", volume));
  }
  element.appendChild(volumes);
  return element;
}

}  // namespace devseries
