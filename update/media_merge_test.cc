#include "update/media_merge.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace update {
namespace {

using devseries::CalibrationInfo;
using devseries::DeviceSeries;
using devseries::MediaInfo;
using devseries::PermissionSet;
using devseries::SeparationInfo;

// A name whose thirteen slots all differ: "<base> 0", "<base> 1", ...
xml::LocalizedText nameOf(const std::string& base) {
  xml::LocalizedText name;
  for (int slot = 0; slot < xml::kLanguageCount; ++slot) {
    name[static_cast<std::size_t>(slot)] = base + " " + std::to_string(slot);
  }
  return name;
}

MediaInfo media(const std::string& base, bool visible, int dryTime = 0) {
  MediaInfo record;
  record.strMediaName = nameOf(base);
  record.bVisibleMedia = visible;
  record.nDryTime = dryTime;
  return record;
}

// Calibration entries numbered through nOutputLimit, so a test can see which
// ones were kept.
PermissionSet permissionSet(int separationIndex, int calibrations) {
  PermissionSet set;
  set.nSeparationIndex = separationIndex;
  for (int i = 0; i < calibrations; ++i) {
    CalibrationInfo calibration;
    calibration.nOutputLimit = i;
    calibration.density[0] = static_cast<float>(i) / 10.0f;
    set.aCalibrationInfoList.add(calibration);
  }
  return set;
}

SeparationInfo separation(int index, int channels) {
  SeparationInfo record;
  record.nSeparationIndex = index;
  for (int i = 0; i < channels; ++i) record.anInputChannelInkIndexList.add(i);
  return record;
}

std::vector<std::string> englishNames(const DeviceSeries& record) {
  std::vector<std::string> names;
  for (const MediaInfo& entry : record.aMediaInfoList) names.push_back(entry.strMediaName[0]);
  return names;
}

std::vector<bool> visibility(const DeviceSeries& record) {
  std::vector<bool> flags;
  for (const MediaInfo& entry : record.aMediaInfoList) flags.push_back(entry.bVisibleMedia);
  return flags;
}

std::vector<int> outputLimits(const PermissionSet& set) {
  std::vector<int> limits;
  for (const CalibrationInfo& entry : set.aCalibrationInfoList)
    limits.push_back(entry.nOutputLimit);
  return limits;
}

// --- sameMediaName -------------------------------------------------------

TEST(SameMediaNameTest, EqualNamesMatchIncludingAllEmpty) {
  EXPECT_TRUE(sameMediaName(nameOf("Vinyl"), nameOf("Vinyl")));
  EXPECT_TRUE(sameMediaName(xml::LocalizedText{}, xml::LocalizedText{}));
}

TEST(SameMediaNameTest, EachOfTheFirstTenSlotsDecides) {
  for (int slot = 0; slot < 10; ++slot) {
    SCOPED_TRACE("slot " + std::to_string(slot));
    xml::LocalizedText other = nameOf("Vinyl");
    other[static_cast<std::size_t>(slot)] += "x";
    EXPECT_FALSE(sameMediaName(nameOf("Vinyl"), other));
    EXPECT_FALSE(sameMediaName(other, nameOf("Vinyl")));
  }
}

TEST(SameMediaNameTest, RussianTurkishAndArabicAreIgnored) {
  xml::LocalizedText other = nameOf("Vinyl");
  other[xml::kRussian] = "Винил";
  other[xml::kTurkish].clear();
  other[xml::kArabic] = "x";
  EXPECT_TRUE(sameMediaName(nameOf("Vinyl"), other));
}

TEST(SameMediaNameTest, ComparesCaseSensitively) {
  xml::LocalizedText lower = nameOf("Vinyl");
  lower[xml::kEnglish] = "vinyl 0";
  EXPECT_FALSE(sameMediaName(nameOf("Vinyl"), lower));
  xml::LocalizedText upperGerman = nameOf("Vinyl");
  upperGerman[xml::kGerman] = "VINYL 4";
  EXPECT_FALSE(sameMediaName(nameOf("Vinyl"), upperGerman));
}

TEST(SameMediaNameTest, TextsDifferingOnlyInLengthDoNotMatch) {
  xml::LocalizedText longer = nameOf("Vinyl");
  longer[xml::kSpanish] += " ";
  EXPECT_FALSE(sameMediaName(nameOf("Vinyl"), longer));
}

// --- carryMedia ----------------------------------------------------------

TEST(CarryMediaTest, IdenticalListsCopyFlagsAndAppendNothing) {
  DeviceSeries installed;
  installed.aMediaInfoList.add(media("Glossy", true));
  installed.aMediaInfoList.add(media("Matte", false));
  installed.aMediaInfoList.add(media("Canvas", true));
  DeviceSeries updated = installed;

  const std::vector<CarriedMedia> outcomes = carryMedia(installed, updated);

  EXPECT_EQ(updated, installed);
  ASSERT_EQ(outcomes.size(), 3u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(outcomes[static_cast<std::size_t>(i)].installedIndex, i);
    EXPECT_TRUE(outcomes[static_cast<std::size_t>(i)].matched);
    EXPECT_EQ(outcomes[static_cast<std::size_t>(i)].newIndex, i);
  }
}

TEST(CarryMediaTest, MatchCopiesOnlyTheVisibilityFlag) {
  DeviceSeries installed;
  installed.aMediaInfoList.add(media("Glossy", false, /*dryTime=*/10));
  installed.aMediaInfoList.add(media("Matte", true, /*dryTime=*/20));
  DeviceSeries updated;
  updated.aMediaInfoList.add(media("Matte", false, /*dryTime=*/200));
  updated.aMediaInfoList.add(media("Glossy", true, /*dryTime=*/100));
  updated.aMediaInfoList[1].aPermissionSetList.add(permissionSet(1, 2));

  DeviceSeries expected = updated;
  expected.aMediaInfoList[0].bVisibleMedia = true;
  expected.aMediaInfoList[1].bVisibleMedia = false;

  const std::vector<CarriedMedia> outcomes = carryMedia(installed, updated);

  EXPECT_EQ(updated, expected);
  ASSERT_EQ(outcomes.size(), 2u);
  EXPECT_EQ(outcomes[0].newIndex, 1);
  EXPECT_EQ(outcomes[1].newIndex, 0);
}

TEST(CarryMediaTest, HiddenPresetStaysHidden) {
  DeviceSeries installed;
  installed.aMediaInfoList.add(media("Glossy", false));
  DeviceSeries updated;
  updated.aMediaInfoList.add(media("Glossy", true));

  carryMedia(installed, updated);

  ASSERT_EQ(updated.aMediaInfoList.size(), 1);
  EXPECT_FALSE(updated.aMediaInfoList[0].bVisibleMedia);
}

TEST(CarryMediaTest, UserMediaFollowsTheNewMediaWhole) {
  MediaInfo user = media("My Banner", true, /*dryTime=*/33);
  user.strBaseMediaName = nameOf("Banner");
  PermissionSet set = permissionSet(2, 8);
  set.strPrinterProfile = "My Banner.icc";
  set.anInkConfigIndexList.add(3);
  user.aPermissionSetList.add(set);
  user.aPermissionSetList.add(permissionSet(1, 1));
  devseries::QualityInfo quality;
  quality.nQualityLevel = 2;
  quality.strQualityName = nameOf("Fine");
  quality.anPermissionIndexList.add(7);
  quality.bVisibleQuality = false;
  user.aQualityInfoList.add(quality);
  user.aflFeedCalibration.add(0.25f);
  user.timeStamp.year = 2021;
  user.flCutOffset = 1.5f;

  DeviceSeries installed;
  installed.aMediaInfoList.add(media("Glossy", true));
  installed.aMediaInfoList.add(user);
  DeviceSeries updated;
  updated.aMediaInfoList.add(media("Glossy", true));
  updated.aMediaInfoList.add(media("Canvas", true));

  const std::vector<CarriedMedia> outcomes = carryMedia(installed, updated);

  EXPECT_EQ(englishNames(updated),
            (std::vector<std::string>{"Glossy 0", "Canvas 0", "My Banner 0"}));
  EXPECT_EQ(updated.aMediaInfoList[2], user);
  ASSERT_EQ(outcomes.size(), 2u);
  EXPECT_FALSE(outcomes[1].matched);
  EXPECT_EQ(outcomes[1].installedIndex, 1);
  EXPECT_EQ(outcomes[1].newIndex, 2);
}

TEST(CarryMediaTest, JapaneseDifferenceAppendsAndTheNewEntryKeepsItsFlag) {
  MediaInfo renamed = media("Glossy", false);
  renamed.strMediaName[xml::kJapanese] = "光沢";
  DeviceSeries installed;
  installed.aMediaInfoList.add(renamed);
  DeviceSeries updated;
  updated.aMediaInfoList.add(media("Glossy", true));

  carryMedia(installed, updated);

  ASSERT_EQ(updated.aMediaInfoList.size(), 2);
  EXPECT_TRUE(updated.aMediaInfoList[0].bVisibleMedia);
  EXPECT_EQ(updated.aMediaInfoList[1], renamed);
}

TEST(CarryMediaTest, OnlyLastThreeLanguagesDifferingStillMatches) {
  for (int slot : {xml::kRussian, xml::kTurkish, xml::kArabic}) {
    SCOPED_TRACE("slot " + std::to_string(slot));
    MediaInfo installedMedia = media("Glossy", false);
    installedMedia.strMediaName[static_cast<std::size_t>(slot)] = "translated differently";
    DeviceSeries installed;
    installed.aMediaInfoList.add(installedMedia);
    DeviceSeries updated;
    updated.aMediaInfoList.add(media("Glossy", true));

    carryMedia(installed, updated);

    ASSERT_EQ(updated.aMediaInfoList.size(), 1);
    EXPECT_FALSE(updated.aMediaInfoList[0].bVisibleMedia);
    // The new entry keeps its own translation.
    EXPECT_EQ(updated.aMediaInfoList[0].strMediaName, nameOf("Glossy"));
  }
}

TEST(CarryMediaTest, CaseDifferenceDoesNotMatch) {
  MediaInfo installedMedia = media("Glossy", false);
  installedMedia.strMediaName[xml::kEnglish] = "GLOSSY 0";
  DeviceSeries installed;
  installed.aMediaInfoList.add(installedMedia);
  DeviceSeries updated;
  updated.aMediaInfoList.add(media("Glossy", true));

  carryMedia(installed, updated);

  EXPECT_EQ(englishNames(updated), (std::vector<std::string>{"Glossy 0", "GLOSSY 0"}));
  EXPECT_EQ(visibility(updated), (std::vector<bool>{true, false}));
}

TEST(CarryMediaTest, OnlyTheFirstOfSeveralEqualNewEntriesReceivesTheFlag) {
  DeviceSeries installed;
  installed.aMediaInfoList.add(media("Glossy", false));
  DeviceSeries updated;
  updated.aMediaInfoList.add(media("Glossy", true, 1));
  updated.aMediaInfoList.add(media("Glossy", true, 2));

  const std::vector<CarriedMedia> outcomes = carryMedia(installed, updated);

  EXPECT_EQ(visibility(updated), (std::vector<bool>{false, true}));
  EXPECT_EQ(outcomes[0].newIndex, 0);
}

TEST(CarryMediaTest, TheLastOfSeveralMatchingInstalledEntriesDecides) {
  {
    DeviceSeries installed;
    installed.aMediaInfoList.add(media("Glossy", false));
    installed.aMediaInfoList.add(media("Glossy", true));
    DeviceSeries updated;
    updated.aMediaInfoList.add(media("Glossy", false));
    carryMedia(installed, updated);
    EXPECT_EQ(visibility(updated), (std::vector<bool>{true}));
  }
  {
    DeviceSeries installed;
    installed.aMediaInfoList.add(media("Glossy", true));
    installed.aMediaInfoList.add(media("Glossy", false));
    DeviceSeries updated;
    updated.aMediaInfoList.add(media("Glossy", true));
    carryMedia(installed, updated);
    EXPECT_EQ(visibility(updated), (std::vector<bool>{false}));
  }
}

TEST(CarryMediaTest, UnmatchedEntriesSharingANameAreAllAppendedInOrder) {
  DeviceSeries installed;
  installed.aMediaInfoList.add(media("Mine", false, 1));
  installed.aMediaInfoList.add(media("Glossy", false));
  installed.aMediaInfoList.add(media("Mine", true, 2));
  installed.aMediaInfoList.add(media("Mine", false, 3));
  DeviceSeries updated;
  updated.aMediaInfoList.add(media("Glossy", true));

  const std::vector<CarriedMedia> outcomes = carryMedia(installed, updated);

  // Appended entries are no candidates: the later "Mine" entries do not
  // match the first one and leave its flag alone.
  ASSERT_EQ(updated.aMediaInfoList.size(), 4);
  EXPECT_EQ(updated.aMediaInfoList[1], installed.aMediaInfoList[0]);
  EXPECT_EQ(updated.aMediaInfoList[2], installed.aMediaInfoList[2]);
  EXPECT_EQ(updated.aMediaInfoList[3], installed.aMediaInfoList[3]);
  EXPECT_EQ(visibility(updated), (std::vector<bool>{false, false, true, false}));

  ASSERT_EQ(outcomes.size(), 4u);
  EXPECT_EQ(outcomes[0].newIndex, 1);
  EXPECT_TRUE(outcomes[1].matched);
  EXPECT_EQ(outcomes[1].newIndex, 0);
  EXPECT_EQ(outcomes[2].newIndex, 2);
  EXPECT_EQ(outcomes[3].newIndex, 3);
}

TEST(CarryMediaTest, EmptyListsOnEitherSide) {
  DeviceSeries installed;
  installed.aMediaInfoList.add(media("Mine", false));
  installed.aMediaInfoList.add(media("Mine", false));
  DeviceSeries updated;
  carryMedia(installed, updated);
  EXPECT_EQ(updated.aMediaInfoList, installed.aMediaInfoList);

  DeviceSeries none;
  DeviceSeries shipped;
  shipped.aMediaInfoList.add(media("Glossy", false));
  const DeviceSeries before = shipped;
  EXPECT_TRUE(carryMedia(none, shipped).empty());
  EXPECT_EQ(shipped, before);
}

// --- trimCalibrationLists ------------------------------------------------

TEST(TrimCalibrationListsTest, CutsToTheInputChannelsKeepingTheFirstEntries) {
  DeviceSeries record;
  record.aSeparationInfoList.add(separation(1, 4));
  record.aMediaInfoList.add(media("Glossy", true));
  record.aMediaInfoList[0].aPermissionSetList.add(permissionSet(1, 8));
  const PermissionSet original = record.aMediaInfoList[0].aPermissionSetList[0];

  trimCalibrationLists(record);

  const PermissionSet& trimmed = record.aMediaInfoList[0].aPermissionSetList[0];
  EXPECT_EQ(outputLimits(trimmed), (std::vector<int>{0, 1, 2, 3}));
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(trimmed.aCalibrationInfoList[i], original.aCalibrationInfoList[i]);
  }
}

TEST(TrimCalibrationListsTest, ShorterOrEqualListsAreNeverPadded) {
  DeviceSeries record;
  record.aSeparationInfoList.add(separation(1, 4));
  record.aMediaInfoList.add(media("Glossy", true));
  record.aMediaInfoList[0].aPermissionSetList.add(permissionSet(1, 2));
  record.aMediaInfoList[0].aPermissionSetList.add(permissionSet(1, 4));
  record.aMediaInfoList[0].aPermissionSetList.add(permissionSet(1, 0));
  const DeviceSeries before = record;

  trimCalibrationLists(record);

  EXPECT_EQ(record, before);
}

TEST(TrimCalibrationListsTest, UnknownSeparationLeavesTheSetUnchanged) {
  DeviceSeries record;
  record.aSeparationInfoList.add(separation(1, 4));
  record.aMediaInfoList.add(media("Glossy", true));
  record.aMediaInfoList[0].aPermissionSetList.add(permissionSet(9, 8));
  const DeviceSeries before = record;

  trimCalibrationLists(record);

  EXPECT_EQ(record, before);
}

TEST(TrimCalibrationListsTest, TheFirstSeparationWithTheIndexDecides) {
  DeviceSeries record;
  record.aSeparationInfoList.add(separation(2, 6));
  record.aSeparationInfoList.add(separation(1, 3));
  record.aSeparationInfoList.add(separation(1, 7));
  record.aMediaInfoList.add(media("Glossy", true));
  record.aMediaInfoList[0].aPermissionSetList.add(permissionSet(1, 8));

  trimCalibrationLists(record);

  EXPECT_EQ(outputLimits(record.aMediaInfoList[0].aPermissionSetList[0]),
            (std::vector<int>{0, 1, 2}));
}

TEST(TrimCalibrationListsTest, EverySetOfEveryMediaIsTrimmedByItsOwnSeparation) {
  DeviceSeries record;
  record.aSeparationInfoList.add(separation(1, 4));
  record.aSeparationInfoList.add(separation(2, 6));
  record.aSeparationInfoList.add(separation(3, 0));
  record.aMediaInfoList.add(media("Glossy", true));
  record.aMediaInfoList[0].aPermissionSetList.add(permissionSet(1, 8));
  record.aMediaInfoList[0].aPermissionSetList.add(permissionSet(2, 8));
  record.aMediaInfoList.add(media("Matte", true));
  record.aMediaInfoList[1].aPermissionSetList.add(permissionSet(1, 5));
  record.aMediaInfoList[1].aPermissionSetList.add(permissionSet(3, 2));

  trimCalibrationLists(record);

  const auto& glossy = record.aMediaInfoList[0].aPermissionSetList;
  const auto& matte = record.aMediaInfoList[1].aPermissionSetList;
  EXPECT_EQ(glossy[0].aCalibrationInfoList.size(), 4);
  EXPECT_EQ(glossy[1].aCalibrationInfoList.size(), 6);
  EXPECT_EQ(matte[0].aCalibrationInfoList.size(), 4);
  // A separation without input channels leaves no calibration entry.
  EXPECT_EQ(matte[1].aCalibrationInfoList.size(), 0);
}

// --- mergeRecords ----------------------------------------------------------

TEST(MergeRecordsTest, CarriesThenTrimsThenFitsTheFeedCalibrationLists) {
  DeviceSeries installed;
  installed.aSeparationInfoList.add(separation(1, 8));
  installed.aMediaInfoList.add(media("Mine", true));
  installed.aMediaInfoList[0].aPermissionSetList.add(permissionSet(1, 8));
  for (float value : {1.5f, 2.5f, 3.5f}) installed.aMediaInfoList[0].aflFeedCalibration.add(value);
  DeviceSeries updated;
  updated.aSeparationInfoList.add(separation(1, 4));
  updated.aModelInfoList.setSize(2);

  const std::vector<CarriedMedia> outcomes = mergeRecords(installed, updated);

  ASSERT_EQ(outcomes.size(), 1u);
  EXPECT_FALSE(outcomes[0].matched);
  ASSERT_EQ(updated.aMediaInfoList.size(), 1);
  const MediaInfo& mine = updated.aMediaInfoList[0];
  EXPECT_EQ(outputLimits(mine.aPermissionSetList[0]), (std::vector<int>{0, 1, 2, 3}));
  // One feed calibration value per model of the new record.
  ASSERT_EQ(mine.aflFeedCalibration.size(), 2);
  EXPECT_EQ(mine.aflFeedCalibration[1], 2.5f);
  // The installed record itself is not touched.
  EXPECT_EQ(installed.aMediaInfoList[0].aPermissionSetList[0].aCalibrationInfoList.size(), 8);
}

}  // namespace
}  // namespace update
