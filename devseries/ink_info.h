// Inks and ink configurations.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "devseries/growable_array.h"
#include "xml/dom.h"
#include "xml/language_table.h"

namespace devseries {

struct RgbColor {
  std::uint8_t R = 0;
  std::uint8_t G = 0;
  std::uint8_t B = 0;
  bool operator==(const RgbColor&) const = default;
};

// One ink of the series; other records refer to it by nInkIndex.
struct InkInfo {
  int nInkIndex = 0;
  xml::LocalizedText strLongInkName;
  std::string strShortInkName;
  RgbColor lightColor;
  RgbColor darkColor;
  float flPrice = 0.0f;
  int nCapacity = 0;
  bool operator==(const InkInfo&) const = default;
};

// An ink set: the ink of each of 24 channel slots.
struct InkConfigInfo {
  int nInkConfigIndex = 0;
  xml::LocalizedText strInkConfigName;
  std::string strFolderName;
  int nInkIndexList[24] = {};
  bool operator==(const InkConfigInfo&) const = default;
};

class InkInfoIO {
 public:
  // Fills |record| from an InkInfo element: five positional children, then
  // flPrice and nCapacity by name.
  static void readInkInfo(const xml::Node& element, InkInfo& record);
  static xml::Node writeInkInfo(const xml::Document& document, const InkInfo& record);
  // The same built in place as the last child of |parent|.
  static void appendInkInfo(const xml::Node& parent, const InkInfo& record);
  // The nInkIndex of the inks whose short names are exactly "C", "M", "Y"
  // and "K", in that order; 0 where no ink bears the name; a later ink wins.
  static std::array<int, 4> findCmykInks(const GrowableArray<InkInfo>& inks);
};

class InkConfigInfoIO {
 public:
  // Fills |record| from an InkConfigInfo element: four positional children.
  static void readInkConfigInfo(const xml::Node& element, InkConfigInfo& record);
  static xml::Node writeInkConfigInfo(const xml::Document& document, const InkConfigInfo& record);
  // The same built in place as the last child of |parent|.
  static void appendInkConfigInfo(const xml::Node& parent, const InkConfigInfo& record);
};

}  // namespace devseries
