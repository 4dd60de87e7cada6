#include "update/media_merge.h"

namespace update {

bool sameMediaName(const xml::LocalizedText& a, const xml::LocalizedText& b) {
  // English through Spanish; Russian, Turkish and Arabic are not compared.
  for (int slot = xml::kEnglish; slot < xml::kRussian; ++slot) {
    if (a[static_cast<std::size_t>(slot)] != b[static_cast<std::size_t>(slot)]) return false;
  }
  return true;
}

std::vector<CarriedMedia> carryMedia(const devseries::DeviceSeries& installed,
                                     devseries::DeviceSeries& updated) {
  std::vector<CarriedMedia> outcomes;
  const int candidates = updated.aMediaInfoList.size();
  for (int i = 0; i < installed.aMediaInfoList.size(); ++i) {
    const devseries::MediaInfo& media = installed.aMediaInfoList[i];
    CarriedMedia outcome;
    outcome.installedIndex = i;
    for (int j = 0; j < candidates; ++j) {
      devseries::MediaInfo& candidate = updated.aMediaInfoList[j];
      if (sameMediaName(media.strMediaName, candidate.strMediaName)) {
        candidate.bVisibleMedia = media.bVisibleMedia;
        outcome.matched = true;
        outcome.newIndex = j;
        break;
      }
    }
    if (!outcome.matched) outcome.newIndex = updated.aMediaInfoList.add(media);
    outcomes.push_back(outcome);
  }
  return outcomes;
}

void trimCalibrationLists(devseries::DeviceSeries& record) {
  for (devseries::MediaInfo& media : record.aMediaInfoList) {
    for (devseries::PermissionSet& set : media.aPermissionSetList) {
      const devseries::SeparationInfo* separation =
          devseries::findSeparation(record.aSeparationInfoList, set.nSeparationIndex);
      if (separation == nullptr) continue;
      const int channels = separation->anInputChannelInkIndexList.size();
      auto& calibrations = set.aCalibrationInfoList;
      while (calibrations.size() > channels) calibrations.removeAt(calibrations.size() - 1, 1);
    }
  }
}

std::vector<CarriedMedia> mergeRecords(const devseries::DeviceSeries& installed,
                                       devseries::DeviceSeries& updated) {
  std::vector<CarriedMedia> outcomes = carryMedia(installed, updated);
  trimCalibrationLists(updated);
  devseries::fitFeedCalibrationLists(updated);
  return outcomes;
}

}  // namespace update
