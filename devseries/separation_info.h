// Separations (how image colours become ink channels) and V-control points.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "devseries/growable_array.h"
#include "xml/dom.h"
#include "xml/language_table.h"

namespace devseries {

inline constexpr int kOutputTableSize = 4096;

// One output channel of a separation.
struct SeparationTable {
  int nInputChannelNum = 0;
  // 1 when the output table is carried in the document (usOutputTable).
  int eType = 0;
  std::array<std::uint16_t, kOutputTableSize> usOutputTable = {};
  double dStart = 0.0;
  double dPeak = 0.0;
  double dMax = 0.0;
  double dEnd = 0.0;
  double dEndMax = 0.0;
  std::string strInputChannel;
  int nInkIndex = -1;
  int nHeadCount = 1;
  // The usOutputTable text as read, kept only when it is no table of 256
  // samples (it does not decode, or decodes to another size): the writer
  // then writes it back instead of usOutputTable, so a table we cannot read
  // is never replaced by another curve. Empty otherwise.
  std::string rawOutputTable;
  bool operator==(const SeparationTable&) const = default;
};

struct SeparationInfo {
  int nSeparationIndex = 0;
  xml::LocalizedText strSeparationName;
  int nOutputChannel = 0;
  GrowableArray<SeparationTable> aSeparationTableList;
  int nPrintChartFileInfoIndex = 0;
  std::string strInkLimitTableFile;
  // The ink of each input channel; its count is the separation's channel count.
  GrowableArray<int> anInputChannelInkIndexList;
  bool operator==(const SeparationInfo&) const = default;
};

// Curve points of the small, medium and large dot for one V-control index.
struct VControlPoint {
  int nVControlIndex = 0;
  double dSmallStart = 0.0;
  double dSmallPeak = 0.0;
  double dSmallMax = 0.0;
  double dSmallEnd = 0.0;
  double dSmallEndMax = 0.0;
  double dMediumStart = 0.0;
  double dMediumPeak = 0.0;
  double dMediumMax = 0.0;
  double dMediumEnd = 0.0;
  double dMediumEndMax = 0.0;
  double dLargeStart = 0.0;
  double dLargePeak = 0.0;
  double dLargeMax = 0.0;
  double dLargeEnd = 0.0;
  double dLargeEndMax = 0.0;
  bool operator==(const VControlPoint&) const = default;
};

// The first separation of |separations| whose nSeparationIndex is |index|,
// or null.
const SeparationInfo* findSeparation(const GrowableArray<SeparationInfo>& separations, int index);

class SeparationInfoIO {
 public:
  static void readSeparationInfo(const xml::Node& element, SeparationInfo& record);
  static xml::Node writeSeparationInfo(const xml::Document& document, const SeparationInfo& record);
  // The same built in place as the last child of |parent|.
  static void appendSeparationInfo(const xml::Node& parent, const SeparationInfo& record);
  static void readSeparationTable(const xml::Node& element, SeparationTable& record);
  static xml::Node writeSeparationTable(const xml::Document& document,
                                        const SeparationTable& record);
  // The same built in place as the last child of |parent|.
  static void appendSeparationTable(const xml::Node& parent, const SeparationTable& record);
  static void readVControlPoint(const xml::Node& element, VControlPoint& record);
  static xml::Node writeVControlPoint(const xml::Document& document, const VControlPoint& record);
  // The same built in place as the last child of |parent|.
  static void appendVControlPoint(const xml::Node& parent, const VControlPoint& record);
};

}  // namespace devseries
