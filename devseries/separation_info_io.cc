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
#include <utility>
#include <vector>

#include "devseries/field_io.h"
#include "devseries/output_table_codec.h"
#include "devseries/separation_info.h"
#include "xml/base64.h"
#include "xml/com_error.h"

namespace devseries {

namespace {

// eType of a table whose output table is carried in the document.
constexpr int kOutputTableInDocument = 1;

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

// usOutputTable: the reader keeps the text in rawOutputTable until eType is
// known; the writer writes the table only when eType says it is carried,
// the text as read when it was no table, else the table's samples.
constexpr Field<SeparationTable> kOutputTableField{
    "usOutputTable",
    [](const xml::Node& node, SeparationTable& record) {
      record.rawOutputTable = xml::readText(node);
    },
    [](const xml::Node& parent, xml::ElementName name, const SeparationTable& record) {
      std::string text;
      if (record.eType == kOutputTableInDocument) {
        text = record.rawOutputTable.empty() ? encodeOutputTable(record.usOutputTable)
                                             : record.rawOutputTable;
      }
      xml::appendTextElement(parent, name, text);
    }};

constexpr Field<SeparationTable> kSeparationTableFields[] = {
    // Positional part.
    field<&SeparationTable::nInputChannelNum>("nInputChannelNum"),
    kOutputTableField,
    field<&SeparationTable::dStart>("dStart"),
    field<&SeparationTable::dPeak>("dPeak"),
    field<&SeparationTable::dMax>("dMax"),
    field<&SeparationTable::dEnd>("dEnd"),
    // Named part.
    field<&SeparationTable::dEndMax>("dEndMax"),
    field<&SeparationTable::eType>("eType"),
    field<&SeparationTable::strInputChannel>("strInputChannel"),
    field<&SeparationTable::nInkIndex>("nInkIndex"),
    field<&SeparationTable::nHeadCount>("nHeadCount"),
};
constexpr RecordForm<SeparationTable> kSeparationTableForm{kSeparationTableFields, 6};

constexpr Items kSeparationTableItems{.name = "SeparationTable",
                                      .byName = true,
                                      .limit = kMaxChannels,
                                      .what = "separation tables in a separation"};
constexpr Items kInputChannelItems{.name = "nInkIndex",
                                   .byName = true,
                                   .limit = kMaxChannels,
                                   .what = "input channels in a separation"};

using SeparationTables = Entries<&SeparationInfoIO::readSeparationTable,
                                 &SeparationInfoIO::appendSeparationTable, kSeparationTableItems>;

constexpr Field<SeparationInfo> kSeparationInfoFields[] = {
    field<&SeparationInfo::nSeparationIndex>("nSeparationIndex"),
    field<&SeparationInfo::strSeparationName>("strSeparationName"),
    field<&SeparationInfo::nOutputChannel>("nOutputChannel"),
    field<&SeparationInfo::aSeparationTableList, SeparationTables>("aSeparationTableList"),
    field<&SeparationInfo::nPrintChartFileInfoIndex>("nPrintChartFileInfoIndex"),
    field<&SeparationInfo::strInkLimitTableFile>("strInkLimitTableFile"),
    field<&SeparationInfo::anInputChannelInkIndexList, List<Plain<int>, kInputChannelItems>>(
        "anInputChannelInkIndexList"),
};
constexpr RecordForm<SeparationInfo> kSeparationInfoForm{kSeparationInfoFields};

constexpr Field<VControlPoint> kVControlPointFields[] = {
    field<&VControlPoint::nVControlIndex>("nVControlIndex"),
    field<&VControlPoint::dSmallStart>("dSmallStart"),
    field<&VControlPoint::dSmallPeak>("dSmallPeak"),
    field<&VControlPoint::dSmallMax>("dSmallMax"),
    field<&VControlPoint::dSmallEnd>("dSmallEnd"),
    field<&VControlPoint::dSmallEndMax>("dSmallEndMax"),
    field<&VControlPoint::dMediumStart>("dMediumStart"),
    field<&VControlPoint::dMediumPeak>("dMediumPeak"),
    field<&VControlPoint::dMediumMax>("dMediumMax"),
    field<&VControlPoint::dMediumEnd>("dMediumEnd"),
    field<&VControlPoint::dMediumEndMax>("dMediumEndMax"),
    field<&VControlPoint::dLargeStart>("dLargeStart"),
    field<&VControlPoint::dLargePeak>("dLargePeak"),
    field<&VControlPoint::dLargeMax>("dLargeMax"),
    field<&VControlPoint::dLargeEnd>("dLargeEnd"),
    field<&VControlPoint::dLargeEndMax>("dLargeEndMax"),
};
constexpr RecordForm<VControlPoint> kVControlPointForm{kVControlPointFields};

}  // namespace

const SeparationInfo* findSeparation(const GrowableArray<SeparationInfo>& separations, int index) {
  for (const SeparationInfo& separation : separations) {
    if (separation.nSeparationIndex == index) return &separation;
  }
  return nullptr;
}

void SeparationInfoIO::readSeparationInfo(const xml::Node& element, SeparationInfo& record) {
  readRecord(element, kSeparationInfoForm, record);
}

xml::Node SeparationInfoIO::writeSeparationInfo(const xml::Document& document,
                                                const SeparationInfo& record) {
  return writeRecord(document, "SeparationInfo", kSeparationInfoForm, record);
}

void SeparationInfoIO::appendSeparationInfo(const xml::Node& parent, const SeparationInfo& record) {
  appendRecord(parent, "SeparationInfo", kSeparationInfoForm, record);
}

void SeparationInfoIO::readSeparationTable(const xml::Node& element, SeparationTable& record) {
  readRecord(element, kSeparationTableForm, record);
  const std::string text = std::exchange(record.rawOutputTable, std::string());
  if (record.eType == kOutputTableInDocument && !text.empty()) decodeOutputTable(text, record);
}

xml::Node SeparationInfoIO::writeSeparationTable(const xml::Document& document,
                                                 const SeparationTable& record) {
  return writeRecord(document, "SeparationTable", kSeparationTableForm, record);
}

void SeparationInfoIO::appendSeparationTable(const xml::Node& parent,
                                             const SeparationTable& record) {
  appendRecord(parent, "SeparationTable", kSeparationTableForm, record);
}

void SeparationInfoIO::readVControlPoint(const xml::Node& element, VControlPoint& record) {
  readRecord(element, kVControlPointForm, record);
}

xml::Node SeparationInfoIO::writeVControlPoint(const xml::Document& document,
                                               const VControlPoint& record) {
  return writeRecord(document, "VControlPoint", kVControlPointForm, record);
}

void SeparationInfoIO::appendVControlPoint(const xml::Node& parent, const VControlPoint& record) {
  appendRecord(parent, "VControlPoint", kVControlPointForm, record);
}

}  // namespace devseries
