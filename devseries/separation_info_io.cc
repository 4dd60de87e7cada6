// Reading and writing of separations, their separation tables and the
// V-control points.
//
// SeparationInfo and VControlPoint find every child by its exact name; a
// SeparationTable takes its first six children by position and the rest by
// name. The output table of a SeparationTable travels as 256 samples in
// Base64 and only when eType is 1; it is decoded once all children are read,
// because eType may follow usOutputTable anywhere among the named children.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "devseries/document_limits.h"
#include "devseries/output_table_codec.h"
#include "devseries/separation_info.h"
#include "xml/base64.h"
#include "xml/com_error.h"
#include "xml/value_codec.h"

namespace devseries {

namespace {

// eType of a table whose output table is carried in the document.
constexpr int kOutputTableInDocument = 1;

constexpr int kRealDecimals = 3;

void appendReal(const xml::Document& document, const xml::Node& parent, std::string_view name,
                double value) {
  parent.appendChild(xml::createRealElement(document, name, value, kRealDecimals));
}

void appendInt(const xml::Document& document, const xml::Node& parent, std::string_view name,
               int value) {
  parent.appendChild(xml::createIntElement(document, name, value));
}

// Rebuilds the output table of |record| from the Base64 text of its
// samples. Text that does not decode, or holds fewer than 256 samples,
// cannot be a table: the table is left as it was rather than filled from
// partial data. Text that is not exactly 256 samples is kept as read, for
// the writer.
void decodeOutputTable(const std::string& text, SeparationTable& record) {
  xml::CBase64 base64;
  std::vector<std::uint8_t> bytes;
  if (base64.decode(text.data(), text.size(), &bytes) == xml::CBase64::kOk) {
    rebuildOutputTable(bytes.data(), bytes.size(), record.usOutputTable);
  }
  if (bytes.size() != kOutputTableSampleBytes) record.rawOutputTable = text;
}

// The Base64 text of the 256 samples of |table| (684 characters).
std::string encodeOutputTable(const OutputTable& table) {
  const auto samples = sampleOutputTable(table);
  xml::CBase64 base64;
  std::string text;
  // Encoding 512 bytes from a valid buffer cannot fail; should it ever,
  // writing a table without its curve would lose data silently.
  if (base64.encode(samples.data(), samples.size(), &text) != xml::CBase64::kOk) {
    throw xml::_com_error(xml::kEFail);
  }
  return text;
}

}  // namespace

void SeparationInfoIO::readSeparationInfo(const xml::Node& element, SeparationInfo& record) {
  xml::NodeList children = element.childNodes();
  for (xml::Node child = children.nextNode(); child; child = children.nextNode()) {
    const std::string_view name = child.nodeName();
    if (name == "nSeparationIndex") {
      record.nSeparationIndex = xml::readInt(child);
    } else if (name == "strSeparationName") {
      xml::readLocalizedText(child, record.strSeparationName);
    } else if (name == "nOutputChannel") {
      record.nOutputChannel = xml::readInt(child);
    } else if (name == "aSeparationTableList") {
      xml::NodeList tables = child.childNodes();
      for (xml::Node item = tables.nextNode(); item; item = tables.nextNode()) {
        if (item.nodeName() != "SeparationTable") continue;
        requireAtMost(record.aSeparationTableList.size() + 1, kMaxChannels,
                      "separation tables in a separation");
        SeparationTable table;
        readSeparationTable(item, table);
        record.aSeparationTableList.add(table);
      }
    } else if (name == "nPrintChartFileInfoIndex") {
      record.nPrintChartFileInfoIndex = xml::readInt(child);
    } else if (name == "strInkLimitTableFile") {
      record.strInkLimitTableFile = xml::readText(child);
    } else if (name == "anInputChannelInkIndexList") {
      xml::NodeList inks = child.childNodes();
      for (xml::Node item = inks.nextNode(); item; item = inks.nextNode()) {
        if (item.nodeName() != "nInkIndex") continue;
        requireAtMost(record.anInputChannelInkIndexList.size() + 1, kMaxChannels,
                      "input channels in a separation");
        record.anInputChannelInkIndexList.add(xml::readInt(item));
      }
    }
  }
}

xml::Node SeparationInfoIO::writeSeparationInfo(const xml::Document& document,
                                                const SeparationInfo& record) {
  xml::Node element = document.createElement("SeparationInfo");
  appendInt(document, element, "nSeparationIndex", record.nSeparationIndex);
  element.appendChild(
      xml::createLocalizedTextElement(document, "strSeparationName", record.strSeparationName));
  appendInt(document, element, "nOutputChannel", record.nOutputChannel);

  xml::Node tables = document.createElement("aSeparationTableList");
  for (const SeparationTable& table : record.aSeparationTableList) {
    tables.appendChild(writeSeparationTable(document, table));
  }
  element.appendChild(tables);

  appendInt(document, element, "nPrintChartFileInfoIndex", record.nPrintChartFileInfoIndex);
  element.appendChild(
      xml::createTextElement(document, "strInkLimitTableFile", record.strInkLimitTableFile));

  xml::Node inks = document.createElement("anInputChannelInkIndexList");
  for (int inkIndex : record.anInputChannelInkIndexList) {
    appendInt(document, inks, "nInkIndex", inkIndex);
  }
  element.appendChild(inks);
  return element;
}

void SeparationInfoIO::readSeparationTable(const xml::Node& element, SeparationTable& record) {
  xml::NodeList children = element.childNodes();

  // The leading six children by position, whatever their names; a missing
  // one raises E_POINTER through the value reader.
  record.nInputChannelNum = xml::readInt(children.nextNode());
  const std::string outputTableText = xml::readText(children.nextNode());
  record.dStart = xml::readReal(children.nextNode());
  record.dPeak = xml::readReal(children.nextNode());
  record.dMax = xml::readReal(children.nextNode());
  record.dEnd = xml::readReal(children.nextNode());

  for (xml::Node child = children.nextNode(); child; child = children.nextNode()) {
    const std::string_view name = child.nodeName();
    if (name == "dEndMax") {
      record.dEndMax = xml::readReal(child);
    } else if (name == "eType") {
      record.eType = xml::readInt(child);
    } else if (name == "strInputChannel") {
      record.strInputChannel = xml::readText(child);
    } else if (name == "nInkIndex") {
      record.nInkIndex = xml::readInt(child);
    } else if (name == "nHeadCount") {
      record.nHeadCount = xml::readInt(child);
    }
  }

  record.rawOutputTable.clear();
  if (record.eType == kOutputTableInDocument && !outputTableText.empty()) {
    decodeOutputTable(outputTableText, record);
  }
}

xml::Node SeparationInfoIO::writeSeparationTable(const xml::Document& document,
                                                 const SeparationTable& record) {
  xml::Node element = document.createElement("SeparationTable");
  appendInt(document, element, "nInputChannelNum", record.nInputChannelNum);
  std::string outputTableText;
  if (record.eType == kOutputTableInDocument) {
    outputTableText = record.rawOutputTable.empty() ? encodeOutputTable(record.usOutputTable)
                                                    : record.rawOutputTable;
  }
  element.appendChild(xml::createTextElement(document, "usOutputTable", outputTableText));
  appendReal(document, element, "dStart", record.dStart);
  appendReal(document, element, "dPeak", record.dPeak);
  appendReal(document, element, "dMax", record.dMax);
  appendReal(document, element, "dEnd", record.dEnd);
  appendReal(document, element, "dEndMax", record.dEndMax);
  appendInt(document, element, "eType", record.eType);
  element.appendChild(xml::createTextElement(document, "strInputChannel", record.strInputChannel));
  appendInt(document, element, "nInkIndex", record.nInkIndex);
  appendInt(document, element, "nHeadCount", record.nHeadCount);
  return element;
}

namespace {

// The 15 curve points of a VControlPoint, in document order.
struct CurvePointField {
  const char* name;
  double VControlPoint::*field;
};

constexpr CurvePointField kCurvePoints[] = {
    {"dSmallStart", &VControlPoint::dSmallStart},
    {"dSmallPeak", &VControlPoint::dSmallPeak},
    {"dSmallMax", &VControlPoint::dSmallMax},
    {"dSmallEnd", &VControlPoint::dSmallEnd},
    {"dSmallEndMax", &VControlPoint::dSmallEndMax},
    {"dMediumStart", &VControlPoint::dMediumStart},
    {"dMediumPeak", &VControlPoint::dMediumPeak},
    {"dMediumMax", &VControlPoint::dMediumMax},
    {"dMediumEnd", &VControlPoint::dMediumEnd},
    {"dMediumEndMax", &VControlPoint::dMediumEndMax},
    {"dLargeStart", &VControlPoint::dLargeStart},
    {"dLargePeak", &VControlPoint::dLargePeak},
    {"dLargeMax", &VControlPoint::dLargeMax},
    {"dLargeEnd", &VControlPoint::dLargeEnd},
    {"dLargeEndMax", &VControlPoint::dLargeEndMax},
};

}  // namespace

void SeparationInfoIO::readVControlPoint(const xml::Node& element, VControlPoint& record) {
  xml::NodeList children = element.childNodes();
  for (xml::Node child = children.nextNode(); child; child = children.nextNode()) {
    const std::string_view name = child.nodeName();
    if (name == "nVControlIndex") {
      record.nVControlIndex = xml::readInt(child);
      continue;
    }
    for (const CurvePointField& point : kCurvePoints) {
      if (name == point.name) {
        record.*point.field = xml::readReal(child);
        break;
      }
    }
  }
}

xml::Node SeparationInfoIO::writeVControlPoint(const xml::Document& document,
                                               const VControlPoint& record) {
  xml::Node element = document.createElement("VControlPoint");
  appendInt(document, element, "nVControlIndex", record.nVControlIndex);
  for (const CurvePointField& point : kCurvePoints) {
    appendReal(document, element, point.name, record.*point.field);
  }
  return element;
}

}  // namespace devseries
