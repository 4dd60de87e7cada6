// Checks the generated payload device-series records for the lists and
// cross references the host needs, and that their documents, written by the
// system's device-series writer, read back as the same records.
#include "tools/payloadgen/device_series_docs.h"

#include <algorithm>
#include <functional>
#include <map>
#include <regex>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "devseries/device_series_io.h"
#include "testsupport/scratch_dir.h"
#include "testsupport/test_env.h"

namespace {

using devseries::DeviceSeries;
using testsupport::ScratchDir;
using testsupport::TestEnv;

struct Expected {
  const char* file;
  const char* model;
  double width;
  const char* prefix;
  const char* folder;
  int separations;
  int tables;
  int media;
};

const Expected kDocs[] = {
    {"ostrand_km.dsr", "Ostrand KM", 1346.2, "KMOS_", "Ostrand CMYK", 8, 38, 5},
    {"ostrand_km_300.dsr", "Ostrand KM 300", 736.6, "KM2OS_", "Ostrand CMYK", 2, 8, 4},
    {"ostrand_km_lx.dsr", "Ostrand KM LX", 1346.2, "KMLX_", "Ostrand Tessel CMYK", 8, 38, 5},
    {"ostrand_km_300_lx.dsr", "Ostrand KM 300 LX", 736.6, "KM2LX_", "Ostrand Tessel CMYK", 2, 8, 4},
};

void PrintTo(const Expected& e, std::ostream* os) { *os << e.file; }

const dsr::Variant& variantOf(const Expected& e) {
  for (const dsr::Variant& v : dsr::kVariants) {
    if (std::string(v.fileName) == e.file) return v;
  }
  throw std::logic_error("no variant");
}

template <class Record, class Key>
std::set<int> keys(const devseries::GrowableArray<Record>& list, Key key) {
  std::set<int> out;
  for (const Record& record : list) out.insert(std::invoke(key, record));
  return out;
}

std::vector<int> ints(const devseries::GrowableArray<int>& list) {
  return std::vector<int>(list.begin(), list.end());
}

// Every localized text of the record with the name of its field.
std::vector<std::pair<std::string, xml::LocalizedText>> localizedTexts(const DeviceSeries& s) {
  std::vector<std::pair<std::string, xml::LocalizedText>> out;
  for (const auto& ink : s.aInkInfoList) out.emplace_back("strLongInkName", ink.strLongInkName);
  for (const auto& c : s.aInkConfigInfoList)
    out.emplace_back("strInkConfigName", c.strInkConfigName);
  for (const auto& r : s.aResolutionInfoList)
    out.emplace_back("strResolutionName", r.strResolutionName);
  for (const auto& sep : s.aSeparationInfoList) {
    out.emplace_back("strSeparationName", sep.strSeparationName);
  }
  for (const auto& media : s.aMediaInfoList) {
    out.emplace_back("strMediaName", media.strMediaName);
    for (const auto& q : media.aQualityInfoList)
      out.emplace_back("strQualityName", q.strQualityName);
  }
  return out;
}

class DsrDocTest : public ::testing::TestWithParam<Expected> {
 protected:
  static void SetUpTestSuite() {
    dir_ = new ScratchDir;
    env_ = new TestEnv(dir_->path());
    writeDeviceSeriesDocuments(dir_->path(), *env_);
  }
  static void TearDownTestSuite() {
    delete env_;
    delete dir_;
  }
  void SetUp() override { series_ = deviceSeries(variantOf(GetParam())); }

  std::string path() const { return *dir_ / GetParam().file; }

  static ScratchDir* dir_;
  static TestEnv* env_;
  DeviceSeries series_;
};

ScratchDir* DsrDocTest::dir_ = nullptr;
TestEnv* DsrDocTest::env_ = nullptr;

TEST_P(DsrDocTest, DocumentReadsBackAsTheRecord) {
  DeviceSeries read;
  devseries::DeviceSeriesIO io(path(), *env_);
  ASSERT_TRUE(io.read(read)) << io.lastError();
  // The reader gives every permission set the screen angles of its
  // separation, which the document does not carry for the FM screen.
  devseries::MediaInfoIO::fitScreenAngles(series_.aMediaInfoList, series_.aSeparationInfoList);
  EXPECT_TRUE(read == series_);
}

TEST_P(DsrDocTest, ReadAndWriteGiveTheSameBytes) {
  const std::string bytes = ScratchDir::read(path());
  const std::string head =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<DeviceSeries strVersion=\"6.6.13.0\">\n";
  EXPECT_EQ(bytes.substr(0, head.size()), head);

  const ScratchDir again;
  const std::string copy = again.write("copy.dsr", bytes);
  DeviceSeries read;
  devseries::DeviceSeriesIO io(copy, *env_);
  ASSERT_TRUE(io.read(read)) << io.lastError();
  ASSERT_TRUE(io.write(read)) << io.lastError();
  EXPECT_TRUE(ScratchDir::read(copy) == bytes) << "document changes on a read and write";
}

TEST_P(DsrDocTest, ListCounts) {
  const Expected& e = GetParam();
  EXPECT_EQ(series_.aModelInfoList.size(), 1);
  EXPECT_EQ(series_.aInkInfoList.size(), 4);
  EXPECT_EQ(series_.aInkConfigInfoList.size(), 1);
  EXPECT_EQ(series_.aResolutionInfoList.size(), 31);
  EXPECT_EQ(series_.aModeInfoList.size(), 11);
  EXPECT_EQ(series_.aSeparationInfoList.size(), e.separations);
  int tables = 0;
  for (const auto& sep : series_.aSeparationInfoList) tables += sep.aSeparationTableList.size();
  EXPECT_EQ(tables, e.tables);
  EXPECT_EQ(series_.aVControlPointList.size(), 86);
  EXPECT_EQ(series_.aPatternInfoList.size(), 8);
  EXPECT_EQ(series_.aMediaInfoList.size(), e.media);
  EXPECT_EQ(series_.aPrintChartFileInfoSetList.size(), 2);
  EXPECT_EQ(series_.aInkVolumeInfoList.size(), 42);
}

TEST_P(DsrDocTest, LocalizedTextsAreTranslated) {
  const auto texts = localizedTexts(series_);
  EXPECT_GT(texts.size(), 50u);
  for (const auto& [field, text] : texts) {
    const std::string& english = text[xml::kEnglish];
    // Names written in Chinese, Japanese, Korean, Russian and Arabic cannot
    // be plain ASCII; a copied English name would be.
    const bool translated = english.find("dpi") == std::string::npos;
    for (int slot = 0; slot < xml::kLanguageCount; ++slot) {
      const std::string& value = text[static_cast<size_t>(slot)];
      EXPECT_FALSE(value.empty()) << field << " " << english << " slot " << slot;
      const bool script = slot == xml::kChineseSimplified || slot == xml::kChineseTraditional ||
                          slot == xml::kJapanese || slot == xml::kKorean || slot == xml::kRussian ||
                          slot == xml::kArabic;
      if (translated && script) {
        EXPECT_TRUE(std::any_of(value.begin(), value.end(), [](char c) { return c & 0x80; }))
            << english << " untranslated in slot " << slot;
      }
    }
  }
  for (const auto& media : series_.aMediaInfoList) {
    EXPECT_EQ(media.strBaseMediaName, xml::LocalizedText{});
  }
  for (int slot = 0; slot < xml::kLanguageCount; ++slot) {
    EXPECT_EQ(series_.strFirmwareDownloadURL[static_cast<size_t>(slot)],
              slot == xml::kJapanese ? "https://jp.ostrand.example/support/color/hrd/index.html"
                                     : "https://www.ostrand.example/support/color/hrd/index.html");
  }
}

TEST_P(DsrDocTest, ModelInkAndConfiguration) {
  const Expected& e = GetParam();
  const devseries::ModelInfo& model = series_.aModelInfoList[0];
  EXPECT_EQ(model.strLongModelName, e.model);
  EXPECT_EQ(model.dMaxWidth, e.width);
  EXPECT_EQ(model.strBMPFileName, "Ostrand KM.bmp");
  EXPECT_EQ(model.nHeaterFeature, 2);
  EXPECT_EQ(model.flNozzleResolution, 150.0f);
  const int* positions = model.nHeadPositionIndex;
  EXPECT_EQ(24 - std::count(positions, positions + 24, -1), model.nHeadNum);

  const std::vector<std::string> shortNames = {"K", "C", "M", "Y"};
  int index = 4096;
  for (const devseries::InkInfo& ink : series_.aInkInfoList) {
    EXPECT_EQ(ink.nInkIndex, index);
    EXPECT_EQ(ink.strShortInkName, shortNames[size_t(index - 4096)]);
    ++index;
  }
  const devseries::InkInfo& black = series_.aInkInfoList[0];
  EXPECT_EQ(black.lightColor, (devseries::RgbColor{198, 195, 198}));
  EXPECT_EQ(black.darkColor, (devseries::RgbColor{66, 65, 66}));

  const devseries::InkConfigInfo& config = series_.aInkConfigInfoList[0];
  EXPECT_EQ(config.strFolderName, e.folder);
  std::vector<int> slots(24, -1);
  slots[0] = 4097, slots[1] = 4098, slots[2] = 4099, slots[3] = 4096;
  EXPECT_EQ(std::vector<int>(config.nInkIndexList, config.nInkIndexList + 24), slots);
}

TEST_P(DsrDocTest, SeparationsAreComplete) {
  const std::set<int> charts =
      keys(series_.aPrintChartFileInfoSetList, &devseries::PrintChartFileInfoSet::nIndex);
  bool foundProcess = false;
  for (const devseries::SeparationInfo& sep : series_.aSeparationInfoList) {
    const std::vector<int> inputs = ints(sep.anInputChannelInkIndexList);
    EXPECT_FALSE(inputs.empty());
    EXPECT_EQ(sep.aSeparationTableList.size(), sep.nOutputChannel);
    EXPECT_TRUE(charts.count(sep.nPrintChartFileInfoIndex));
    for (const devseries::SeparationTable& table : sep.aSeparationTableList) {
      EXPECT_EQ(table.eType, 0);
      EXPECT_LT(table.nInputChannelNum, int(inputs.size()));
    }
    if (sep.nSeparationIndex == 15) {
      foundProcess = true;
      EXPECT_EQ(inputs, (std::vector<int>{4097, 4098, 4099, 4096}));
      EXPECT_EQ(sep.aSeparationTableList.size(), 4);
    }
  }
  EXPECT_TRUE(foundProcess);
}

TEST_P(DsrDocTest, CommandStringsHoldPrinterSequences) {
  const devseries::CommandSet& c = series_.commandSet;
  for (const std::string* command :
       {&c.strInitialize, &c.strPrintHeader, &c.strPrintTailer, &c.strCutHeader, &c.strPageFeed,
        &c.strPageRewind, &c.strSheetCut, &c.strCancel}) {
    EXPECT_NE(command->find('\x1B'), std::string::npos) << *command;
    EXPECT_EQ(command->find('\0'), std::string::npos) << *command;
  }
  EXPECT_EQ(c.strCutTailer, "");
  EXPECT_NE(c.strInitialize.find("?JOBNAME?"), std::string::npos);
  EXPECT_NE(c.strInitialize.find("?COPIES?"), std::string::npos);
}

std::set<std::string> fiftyProfiles() {
  std::set<std::string> names;
  for (const std::string prefix : {"KM2OS_", "KMOS_", "KM2LX_", "KMLX_"}) {
    names.insert(prefix + "GenericBacklit_900x600.icc");
    names.insert(prefix + "GenericBacklit_900x900.icc");
    for (const char* medium :
         {"GenericBanner", "GenericHeatTransferSheet", "GenericPVC", "GenericPaper"}) {
      if (prefix.rfind("KM2", 0) == 0 && std::string(medium) == "GenericBanner") continue;
      for (const char* res : {"600x600", "900x600", "900x900"}) {
        names.insert(prefix + medium + "_" + res + ".icc");
      }
    }
  }
  return names;
}

void expectCalibrationCurve(const devseries::CalibrationInfo& cal) {
  EXPECT_TRUE(cal.nOutputLimit >= 75 && cal.nOutputLimit <= 100);
  const float* density = cal.density;
  EXPECT_LT(density[0], 0.1f);
  EXPECT_GT(density[devseries::kCalibrationSteps - 1], 1.2f);
  EXPECT_TRUE(
      std::is_sorted(density, density + devseries::kCalibrationSteps, std::less_equal<float>()));
}

TEST_P(DsrDocTest, MediaReferToExistingEntries) {
  const Expected& e = GetParam();
  const std::set<std::string> profiles = fiftyProfiles();
  ASSERT_EQ(profiles.size(), 50u);
  const std::map<std::string, std::string> token = {
      {"Generic Vinyl", "GenericPVC"},
      {"Generic Banner", "GenericBanner"},
      {"Generic Paper", "GenericPaper"},
      {"Generic Backlit", "GenericBacklit"},
      {"Generic Heat Transfer Sheet", "GenericHeatTransferSheet"}};
  std::map<int, std::string> resolution;
  for (const devseries::ResolutionInfo& r : series_.aResolutionInfoList) {
    resolution[r.nResolutionIndex] =
        std::to_string(int(r.flScanResolution)) + "x" + std::to_string(int(r.flFeedResolution));
  }
  EXPECT_TRUE(resolution.count(-2147483647 - 1));
  const std::set<int> modes = keys(series_.aModeInfoList, &devseries::ModeInfo::nModeIndex);
  const std::set<int> patterns =
      keys(series_.aPatternInfoList, &devseries::PatternInfo::nFMPatternIndex);
  const std::set<int> vcps =
      keys(series_.aVControlPointList, &devseries::VControlPoint::nVControlIndex);
  const std::set<int> configs =
      keys(series_.aInkConfigInfoList, &devseries::InkConfigInfo::nInkConfigIndex);
  std::map<int, int> separationInputs;
  for (const devseries::SeparationInfo& sep : series_.aSeparationInfoList) {
    separationInputs[sep.nSeparationIndex] = sep.anInputChannelInkIndexList.size();
  }

  for (const devseries::MediaInfo& media : series_.aMediaInfoList) {
    const std::string name = media.strMediaName[xml::kEnglish];
    ASSERT_TRUE(token.count(name)) << name;
    EXPECT_EQ(media.aflFeedCalibration.size(), series_.aModelInfoList.size());
    EXPECT_NE(media.nVacuumPower, -1);
    EXPECT_TRUE(media.nDryHeater != 0 || !media.bDrierEnable);
    const devseries::TimeStamp& ts = media.timeStamp;
    const std::string date =
        std::to_string(ts.year) + "-" + std::to_string(ts.month) + "-" + std::to_string(ts.day);
    EXPECT_TRUE(date == "2016-3-1" || date == "2016-8-2") << date;

    std::multiset<int> sets;
    for (const devseries::PermissionSet& set : media.aPermissionSetList) {
      sets.insert(set.nPermissionIndex);
      EXPECT_TRUE(resolution.count(set.nResolutionIndex));
      EXPECT_TRUE(modes.count(set.nModeIndex));
      EXPECT_EQ(set.eDirection, 131075);
      EXPECT_NE(set.eScreen, 8);
      EXPECT_TRUE(set.nPassmaskIndex >= 11 && set.nPassmaskIndex <= 35);
      for (const int i : set.anInkConfigIndexList) EXPECT_TRUE(configs.count(i));
      for (const int i : set.anFMPatternIndexList) EXPECT_TRUE(patterns.count(i));
      for (const int i : set.anVControlIndexList) EXPECT_TRUE(vcps.count(i));
      ASSERT_TRUE(separationInputs.count(set.nSeparationIndex));
      EXPECT_EQ(set.aCalibrationInfoList.size(), separationInputs[set.nSeparationIndex]);
      for (const devseries::CalibrationInfo& cal : set.aCalibrationInfoList) {
        expectCalibrationCurve(cal);
      }
      EXPECT_TRUE(profiles.count(set.strPrinterProfile)) << set.strPrinterProfile;
      EXPECT_EQ(set.strPrinterProfile,
                e.prefix + token.at(name) + "_" + resolution[set.nResolutionIndex] + ".icc");
    }
    EXPECT_TRUE(sets.size() >= 2 && sets.size() <= 6);

    // Every permission set belongs to exactly one quality level.
    std::multiset<int> listed;
    int level = 0;
    for (const devseries::QualityInfo& q : media.aQualityInfoList) {
      EXPECT_EQ(q.nQualityLevel, level++);
      for (const int i : q.anPermissionIndexList) listed.insert(i);
    }
    EXPECT_TRUE(level == 2 || level == 3);
    EXPECT_LT(media.nDefaultLevel, level);
    EXPECT_EQ(listed, sets);
  }
}

TEST_P(DsrDocTest, ModesReferToInkVolumes) {
  const std::set<int> volumes =
      keys(series_.aInkVolumeInfoList, &devseries::InkVolumeInfo::nInkVolumeIndex);
  EXPECT_TRUE(volumes.count(1) && volumes.count(1010));
  for (const devseries::ModeInfo& mode : series_.aModeInfoList) {
    EXPECT_TRUE(volumes.count(mode.nInkVolumeIndex)) << mode.nModeIndex;
  }
  const std::regex figures("[0-9]+\\.[0-9]{2}(,[0-9]+\\.[0-9]{2}){0,2}");
  for (const devseries::InkVolumeInfo& volume : series_.aInkVolumeInfoList) {
    const int texts = volume.astrInkVolumeList.size();
    EXPECT_TRUE(texts >= 4 && texts <= 8);
    for (const std::string& t : volume.astrInkVolumeList) {
      EXPECT_TRUE(std::regex_match(t, figures)) << t;
    }
  }
}

// Test names after the file names, e.g. Payload/DsrDocTest.ListCounts/ostrand_km.
std::string docName(const ::testing::TestParamInfo<Expected>& param) {
  const std::string file = param.param.file;
  return file.substr(0, file.find('.'));
}

INSTANTIATE_TEST_SUITE_P(Payload, DsrDocTest, ::testing::ValuesIn(kDocs), docName);

TEST(DeviceSeriesDocsGeneration, IsDeterministic) {
  const ScratchDir first;
  const ScratchDir second;
  TestEnv env(first.path());
  writeDeviceSeriesDocuments(first.path(), env);
  writeDeviceSeriesDocuments(second.path(), env);
  for (const Expected& e : kDocs) {
    EXPECT_TRUE(ScratchDir::read(first / e.file) == ScratchDir::read(second / e.file)) << e.file;
  }
}

TEST(DeviceSeriesDocsGeneration, ReplacesADocumentOfAnotherVersion) {
  const ScratchDir fresh;
  const ScratchDir used;
  TestEnv env(fresh.path());
  used.write(kDocs[0].file, "<DeviceSeries strVersion=\"1.0.0.0\"/>");
  writeDeviceSeriesDocuments(fresh.path(), env);
  writeDeviceSeriesDocuments(used.path(), env);
  EXPECT_TRUE(ScratchDir::read(used / kDocs[0].file) == ScratchDir::read(fresh / kDocs[0].file));
}

TEST(DeviceSeriesDocsGeneration, ReportsAnUnwritableFolder) {
  const ScratchDir dir;
  TestEnv env(dir.path());
  EXPECT_THROW(writeDeviceSeriesDocuments(dir / "missing", env), std::runtime_error);
}

}  // namespace
