// Reading and writing of the print-chart file sets and the ink volumes.
//
// Unlike the lists of the older format, these lists find their items and the
// items their fields by exact element name: children of other names, comments
// included, are skipped at every level, no child is required, and a repeated
// field overwrites. Texts are plain texts, never escaped.
#include "devseries/field_io.h"
#include "devseries/newer_lists.h"

namespace devseries {

namespace {

constexpr Field<PrintChartFileInfoSet> kPrintChartFileInfoSetFields[] = {
    field<&PrintChartFileInfoSet::nIndex>("nIndex"),
    field<&PrintChartFileInfoSet::strCalibrationFileName>("strCalibrationFileName"),
    field<&PrintChartFileInfoSet::strInkLimitFileName>("strInkLimitFileName"),
    field<&PrintChartFileInfoSet::strTestPrintFileName>("strTestPrintFileName"),
};
constexpr RecordForm<PrintChartFileInfoSet> kPrintChartFileInfoSetForm{
    kPrintChartFileInfoSetFields};

// A second list element appends to the texts of the first.
constexpr Items kInkVolumeItems{.name = "strInkVolume_pl", .byName = true};

constexpr Field<InkVolumeInfo> kInkVolumeInfoFields[] = {
    field<&InkVolumeInfo::nInkVolumeIndex>("nInkVolumeIndex"),
    field<&InkVolumeInfo::astrInkVolumeList, List<Plain<std::string>, kInkVolumeItems>>(
        "astrInkVolumeList"),
};
constexpr RecordForm<InkVolumeInfo> kInkVolumeInfoForm{kInkVolumeInfoFields};

// Each item starts from a fresh record (nIndex 0, texts empty), so an item
// without nIndex reads as 0 and never inherits a neighbour's index.
constexpr Items kPrintChartFileInfoSetItems{.name = "PrintChartFileInfoSet", .byName = true};
constexpr Items kInkVolumeInfoItems{.name = "InkVolumeInfo", .byName = true};

using PrintChartFileInfoSets =
    Entries<&readPrintChartFileInfoSet, &appendPrintChartFileInfoSet, kPrintChartFileInfoSetItems>;
using InkVolumeInfos = Entries<&readInkVolumeInfo, &appendInkVolumeInfo, kInkVolumeInfoItems>;

}  // namespace

void readPrintChartFileInfoSetList(const xml::Node& listElement,
                                   GrowableArray<PrintChartFileInfoSet>& list) {
  PrintChartFileInfoSets::read(listElement, list);
}

xml::Node writePrintChartFileInfoSetList(const xml::Document& document,
                                         const GrowableArray<PrintChartFileInfoSet>& list) {
  xml::Node element = document.createElement("aPrintChartFileInfoSetList");
  PrintChartFileInfoSets::fill(element, list);
  return element;
}

void appendPrintChartFileInfoSetList(const xml::Node& parent,
                                     const GrowableArray<PrintChartFileInfoSet>& list) {
  PrintChartFileInfoSets::append(parent, "aPrintChartFileInfoSetList", list);
}

void readPrintChartFileInfoSet(const xml::Node& element, PrintChartFileInfoSet& record) {
  readRecord(element, kPrintChartFileInfoSetForm, record);
}

xml::Node writePrintChartFileInfoSet(const xml::Document& document,
                                     const PrintChartFileInfoSet& record) {
  return writeRecord(document, "PrintChartFileInfoSet", kPrintChartFileInfoSetForm, record);
}

void appendPrintChartFileInfoSet(const xml::Node& parent, const PrintChartFileInfoSet& record) {
  appendRecord(parent, "PrintChartFileInfoSet", kPrintChartFileInfoSetForm, record);
}

void readInkVolumeInfoList(const xml::Node& listElement, GrowableArray<InkVolumeInfo>& list) {
  InkVolumeInfos::read(listElement, list);
}

xml::Node writeInkVolumeInfoList(const xml::Document& document,
                                 const GrowableArray<InkVolumeInfo>& list) {
  xml::Node element = document.createElement("aInkVolumeInfoList");
  InkVolumeInfos::fill(element, list);
  return element;
}

void appendInkVolumeInfoList(const xml::Node& parent, const GrowableArray<InkVolumeInfo>& list) {
  InkVolumeInfos::append(parent, "aInkVolumeInfoList", list);
}

void readInkVolumeInfo(const xml::Node& element, InkVolumeInfo& record) {
  record.astrInkVolumeList.clear();
  readRecord(element, kInkVolumeInfoForm, record);
}

xml::Node writeInkVolumeInfo(const xml::Document& document, const InkVolumeInfo& record) {
  return writeRecord(document, "InkVolumeInfo", kInkVolumeInfoForm, record);
}

void appendInkVolumeInfo(const xml::Node& parent, const InkVolumeInfo& record) {
  appendRecord(parent, "InkVolumeInfo", kInkVolumeInfoForm, record);
}

}  // namespace devseries
