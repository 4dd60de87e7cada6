// The two lists that the newer document format added: print-chart file sets
// and ink volumes.
#pragma once

#include <string>

#include "devseries/growable_array.h"
#include "xml/dom.h"

namespace devseries {

struct PrintChartFileInfoSet {
  int nIndex = 0;
  std::string strCalibrationFileName;
  std::string strInkLimitFileName;
  std::string strTestPrintFileName;
  bool operator==(const PrintChartFileInfoSet&) const = default;
};

struct InkVolumeInfo {
  int nInkVolumeIndex = 0;
  GrowableArray<std::string> astrInkVolumeList;
  bool operator==(const InkVolumeInfo&) const = default;
};

// The list readers append one record per child of the exact item name
// (other children are skipped); the writers return a new list element.
// Each item is read into a fresh record, so a PrintChartFileInfoSet item
// without nIndex reads as 0.
void readPrintChartFileInfoSetList(const xml::Node& listElement,
                                   GrowableArray<PrintChartFileInfoSet>& list);
xml::Node writePrintChartFileInfoSetList(const xml::Document& document,
                                         const GrowableArray<PrintChartFileInfoSet>& list);
// The same built in place as the last child of |parent|.
void appendPrintChartFileInfoSetList(const xml::Node& parent,
                                     const GrowableArray<PrintChartFileInfoSet>& list);
void readPrintChartFileInfoSet(const xml::Node& element, PrintChartFileInfoSet& record);
xml::Node writePrintChartFileInfoSet(const xml::Document& document,
                                     const PrintChartFileInfoSet& record);
// The same built in place as the last child of |parent|.
void appendPrintChartFileInfoSet(const xml::Node& parent, const PrintChartFileInfoSet& record);

void readInkVolumeInfoList(const xml::Node& listElement, GrowableArray<InkVolumeInfo>& list);
xml::Node writeInkVolumeInfoList(const xml::Document& document,
                                 const GrowableArray<InkVolumeInfo>& list);
// The same built in place as the last child of |parent|.
void appendInkVolumeInfoList(const xml::Node& parent, const GrowableArray<InkVolumeInfo>& list);
void readInkVolumeInfo(const xml::Node& element, InkVolumeInfo& record);
xml::Node writeInkVolumeInfo(const xml::Document& document, const InkVolumeInfo& record);
// The same built in place as the last child of |parent|.
void appendInkVolumeInfo(const xml::Node& parent, const InkVolumeInfo& record);

}  // namespace devseries
