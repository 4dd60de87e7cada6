// Resolutions, print modes and halftone patterns.
#pragma once

#include <string>

#include "xml/dom.h"
#include "xml/language_table.h"

namespace devseries {

struct ResolutionInfo {
  int nResolutionIndex = 0;
  xml::LocalizedText strResolutionName;
  float flScanResolution = 0.0f;
  float flFeedResolution = 0.0f;
  bool operator==(const ResolutionInfo&) const = default;
};

struct PatternInfo {
  int nFMPatternIndex = 0;
  int nScanPixelSize = 0;
  int nFeedPixelSize = 0;
  std::string strPatternFile;
  bool operator==(const PatternInfo&) const = default;
};

// The power of one UV lamp position. |baseValue| is what the writer compares
// the powers against; it never comes from or goes to a document and is not
// copied, so it stays 100 in every entry.
struct UVLampPower {
  int baseValue = 100;
  int nForwardPower = 100;
  int nBackwardPower = 100;

  UVLampPower() = default;
  UVLampPower(const UVLampPower& other)
      : nForwardPower(other.nForwardPower), nBackwardPower(other.nBackwardPower) {}
  UVLampPower& operator=(const UVLampPower& other) {
    nForwardPower = other.nForwardPower;
    nBackwardPower = other.nBackwardPower;
    return *this;
  }
  bool operator==(const UVLampPower& other) const {
    return nForwardPower == other.nForwardPower && nBackwardPower == other.nBackwardPower;
  }
};

// clang-tidy takes the loop variable of the defaulted == over the slot
// array for a declared name.
struct ModeInfo {  // NOLINT(bugprone-reserved-identifier)
  int nModeIndex = 0;
  std::string strModeName;
  int nInkNum = 0;
  int nInkIndexList[24] = {};
  int nBitsPerPixel = 0;
  int nDotType = 0;
  std::string strDotSize;
  std::string strNozzleMask;
  int nPassesPerLine = 0;
  std::string strPJLOption;
  float flFeedResolutionPerPass = 180.0f;
  int nInkVolumeIndex = -1;
  int nNozzleMaskCount = 0;
  int nEmptyPathLength = 0;
  int nAdditionalPrintingTime = 0;
  // Lamp positions 0 and 1, in position order.
  UVLampPower aUVLampPowerList[2];
  bool operator==(const ModeInfo&) const = default;
};

class ResolutionInfoIO {
 public:
  static void readResolutionInfo(const xml::Node& element, ResolutionInfo& record);
  static xml::Node writeResolutionInfo(const xml::Document& document, const ResolutionInfo& record);
  // The same built in place as the last child of |parent|.
  static void appendResolutionInfo(const xml::Node& parent, const ResolutionInfo& record);
};

class ModeInfoIO {
 public:
  static void readModeInfo(const xml::Node& element, ModeInfo& record);
  static xml::Node writeModeInfo(const xml::Document& document, const ModeInfo& record);
  // The same built in place as the last child of |parent|.
  static void appendModeInfo(const xml::Node& parent, const ModeInfo& record);
  // Reads one UVLampPower element into |entry| and its position attribute
  // into |position|; false (nothing delivered) when the position is not 0
  // or 1.
  static bool readUVLampPower(const xml::Node& element, UVLampPower& entry, int& position);
  static xml::Node writeUVLampPower(const xml::Document& document, const UVLampPower& entry,
                                    int position);
  // The same built in place as the last child of |parent|.
  static void appendUVLampPower(const xml::Node& parent, const UVLampPower& entry, int position);
};

class PatternInfoIO {
 public:
  static void readPatternInfo(const xml::Node& element, PatternInfo& record);
  static xml::Node writePatternInfo(const xml::Document& document, const PatternInfo& record);
  // The same built in place as the last child of |parent|.
  static void appendPatternInfo(const xml::Node& parent, const PatternInfo& record);
};

}  // namespace devseries
