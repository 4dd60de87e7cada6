// Inks and ink configurations.
#pragma once

#include <cstdint>
#include <string>

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

}  // namespace devseries
