// Small device-series records for tests, and what a user does to one.
#pragma once

#include <string>
#include <vector>

#include "devseries/device_series.h"

namespace testsupport {

// The name of the media a user adds (addUserMediaAndHidePreset).
inline constexpr const char* kUserMedia = "My Studio Vinyl";

// |base| in every language slot.
inline xml::LocalizedText nameOf(const std::string& base) {
  xml::LocalizedText name;
  for (std::string& text : name) text = base;
  return name;
}

inline devseries::MediaInfo media(const std::string& name, bool visible, int dryTime = 0) {
  devseries::MediaInfo record;
  record.strMediaName = nameOf(name);
  record.bVisibleMedia = visible;
  record.nDryTime = dryTime;
  return record;
}

// A small series: one model, four process inks, separation 1 with four
// input channels, and the given media.
inline devseries::DeviceSeries series(const std::vector<devseries::MediaInfo>& mediaList) {
  devseries::DeviceSeries record;
  record.aModelInfoList.add(devseries::ModelInfo{});
  devseries::SeparationInfo separation;
  separation.nSeparationIndex = 1;
  for (int ink = 0; ink < 4; ++ink) separation.anInputChannelInkIndexList.add(ink);
  record.aSeparationInfoList.add(separation);
  for (const devseries::MediaInfo& entry : mediaList) record.aMediaInfoList.add(entry);
  return record;
}

// What a user does in the host: adds a media of their own (a copy of the
// first preset named kUserMedia) and hides the second preset.
inline void addUserMediaAndHidePreset(devseries::DeviceSeries& record) {
  devseries::MediaInfo mine = record.aMediaInfoList[0];
  mine.strMediaName = nameOf(kUserMedia);
  mine.nPreHeater = 37;
  record.aMediaInfoList.add(mine);
  record.aMediaInfoList[1].bVisibleMedia = false;
}

}  // namespace testsupport
