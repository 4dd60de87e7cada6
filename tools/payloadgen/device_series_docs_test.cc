// Checks the generated payload device-series documents for the properties a
// read and write through the device-series library depends on, and for the
// lists and cross references the host needs.
#include "tools/payloadgen/device_series_docs.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include "testsupport/scratch_dir.h"
#include "xml/save_format.h"

namespace {

namespace fs = std::filesystem;
using testsupport::ScratchDir;

constexpr std::array<const char*, 13> kLanguages = {"English",
                                                    "Chinese_Simplified",
                                                    "Chinese_Traditional",
                                                    "French",
                                                    "German",
                                                    "Italian",
                                                    "Japanese",
                                                    "Korean",
                                                    "Portuguese",
                                                    "Spanish",
                                                    "Russian",
                                                    "Turkish",
                                                    "Arabic"};

// As the device-series library loads: declaration, comments and processing
// instructions become nodes, whitespace between elements does not.
constexpr unsigned kLoadOptions =
    pugi::parse_default | pugi::parse_declaration | pugi::parse_comments | pugi::parse_pi;

struct Expected {
  const char* file;
  const char* model;
  const char* width;
  const char* prefix;
  const char* folder;
  int separations;
  int tables;
  int media;
};

const Expected kDocs[] = {
    {"ostrand_km.dsr", "Ostrand KM", "1346.200", "KMOS_", "Ostrand CMYK", 8, 38, 5},
    {"ostrand_km_300.dsr", "Ostrand KM 300", "736.600", "KM2OS_", "Ostrand CMYK", 2, 8, 4},
    {"ostrand_km_lx.dsr", "Ostrand KM LX", "1346.200", "KMLX_", "Ostrand Tessel CMYK", 8, 38, 5},
    {"ostrand_km_300_lx.dsr", "Ostrand KM 300 LX", "736.600", "KM2LX_", "Ostrand Tessel CMYK", 2, 8,
     4},
};

void PrintTo(const Expected& e, std::ostream* os) { *os << e.file; }

std::string text(pugi::xml_node node, const char* child) { return node.child(child).text().get(); }
int intOf(pugi::xml_node node, const char* child) { return node.child(child).text().as_int(); }

std::vector<pugi::xml_node> all(pugi::xml_node from, const std::string& path) {
  std::vector<pugi::xml_node> out;
  for (const pugi::xpath_node& n : from.select_nodes(path.c_str())) out.push_back(n.node());
  return out;
}

std::vector<int> ints(pugi::xml_node list) {
  std::vector<int> out;
  for (pugi::xml_node c : list.children()) out.push_back(c.text().as_int());
  return out;
}

std::set<int> intSet(pugi::xml_node from, const std::string& path) {
  std::set<int> out;
  for (pugi::xml_node n : all(from, path)) out.insert(n.text().as_int());
  return out;
}

bool startsWithPrefix(const std::string& name, const std::string& prefix) {
  return name.size() > prefix.size() && name.compare(0, prefix.size(), prefix) == 0 &&
         std::isupper(static_cast<unsigned char>(name[prefix.size()]));
}

enum class Kind { kInt, kDouble, kFloat, kBool, kText };

// The value kind of a leaf element, from its name and place.
Kind kindOf(pugi::xml_node leaf) {
  const std::string name = leaf.name();
  const std::string parent = leaf.parent().name();
  if (parent == "density" || parent == "aflFeedCalibration" || parent == "flDegrees" ||
      std::string(leaf.parent().parent().name()) == "lab" || startsWithPrefix(name, "fl")) {
    return Kind::kFloat;
  }
  if (name == "nDeepCutForce" || name == "nHalfCutForce" || startsWithPrefix(name, "d")) {
    return Kind::kDouble;
  }
  if (startsWithPrefix(name, "b")) return Kind::kBool;
  static const std::set<std::string> kIntLeaves = {"R",   "G",    "B",      "year",   "month",
                                                   "day", "hour", "minute", "second", "ms"};
  if (startsWithPrefix(name, "n") || startsWithPrefix(name, "e") || startsWithPrefix(name, "an") ||
      kIntLeaves.count(name) || parent == "nHeadPositionIndex" || parent == "nDefaultInkIndex" ||
      parent == "nInkIndexList") {
    return Kind::kInt;
  }
  return Kind::kText;
}

// Decodes a command string as the library does, and also rejects what the
// library's encoder would never write (so the text is in canonical form).
std::optional<std::string> decodeCommand(const std::string& t) {
  std::string out;
  for (size_t i = 0; i < t.size();) {
    const auto c = static_cast<unsigned char>(t[i]);
    if (c < 0x20 || c > 0x7E || std::string("\"&'<>").find(t[i]) != std::string::npos) {
      return std::nullopt;
    }
    if (t[i] != '\\') {
      out.push_back(t[i++]);
      continue;
    }
    if (i + 3 >= t.size()) return std::nullopt;
    const std::string hex = t.substr(i + 2, 2);
    if (t[i + 1] != 'x' || !std::regex_match(hex, std::regex("[0-9A-F]{2}"))) return std::nullopt;
    const auto byte = static_cast<unsigned char>(std::strtol(hex.c_str(), nullptr, 16));
    const bool plain = byte >= 0x20 && byte <= 0x7E &&
                       std::string("\"&'<>\\").find(static_cast<char>(byte)) == std::string::npos;
    if (plain || byte == 0) return std::nullopt;
    out.push_back(static_cast<char>(byte));
    i += 4;
  }
  return out;
}

class DsrDocTest : public ::testing::TestWithParam<Expected> {
 protected:
  static void SetUpTestSuite() {
    dir_ = new ScratchDir;
    writeDeviceSeriesDocuments(dir_->path());
  }
  static void TearDownTestSuite() { delete dir_; }
  void SetUp() override {
    bytes_ = ScratchDir::read(*dir_ / GetParam().file);
    ASSERT_TRUE(doc_.load_buffer(bytes_.data(), bytes_.size(), kLoadOptions, pugi::encoding_utf8));
    root_ = doc_.child("DeviceSeries");
    ASSERT_TRUE(root_);
  }

  static ScratchDir* dir_;
  std::string bytes_;
  pugi::xml_document doc_;
  pugi::xml_node root_;
};

ScratchDir* DsrDocTest::dir_ = nullptr;

TEST_P(DsrDocTest, FramingAndRootChildren) {
  const std::string head =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<DeviceSeries strVersion=\"6.6.13.0\">\n";
  EXPECT_EQ(bytes_.substr(0, head.size()), head);
  EXPECT_GT(bytes_.size(), 1024u);
  EXPECT_EQ(doc_.first_child().type(), pugi::node_declaration);
  EXPECT_EQ(std::distance(doc_.begin(), doc_.end()), 2);

  std::string names;
  for (pugi::xml_node c : root_.children()) names += std::string(c.name()) + " ";
  EXPECT_EQ(names,
            "aModelInfoList aInkInfoList aInkConfigInfoList aResolutionInfoList aModeInfoList "
            "aSeparationInfoList aVControlPointList aPatternInfoList commandSet aMediaInfoList "
            "aPrintChartFileInfoSetList aInkVolumeInfoList strFirmwareDownloadURL ");
}

TEST_P(DsrDocTest, SavingGivesTheSameBytes) {
  std::ostringstream out;
  doc_.save(out, xml::kSaveIndent, xml::kSaveFlags, xml::kSaveEncoding);
  EXPECT_TRUE(out.str() == bytes_) << "document changes on a load and save";
  // An empty text node would save as <a></a> and not survive a load.
  EXPECT_EQ(bytes_.find("></"), std::string::npos);
}

TEST_P(DsrDocTest, OnlyElementsAndNonBlankTexts) {
  static const std::set<std::string> kMayBeEmpty = {
      "strStaticExtraStatus", "strDllName",       "strDriverName",         "strCutTailer",
      "usOutputTable",        "aUVLampPowerList", "strNextPermissionIndex"};
  for (pugi::xml_node n : all(root_, "descendant-or-self::*")) {
    const pugi::xml_node first = n.first_child();
    if (!first) {
      const bool baseName = std::string(n.parent().name()) == "strBaseMediaName";
      EXPECT_TRUE(kMayBeEmpty.count(n.name()) || baseName) << "empty " << n.name();
      continue;
    }
    if (first.type() == pugi::node_pcdata) {
      EXPECT_EQ(first.next_sibling(), pugi::xml_node()) << "mixed content in " << n.name();
      // Loaders may trim or drop white space at the edges of a text.
      const std::string value = first.value();
      EXPECT_FALSE(std::isspace(static_cast<unsigned char>(value.front()))) << n.name();
      EXPECT_FALSE(std::isspace(static_cast<unsigned char>(value.back()))) << n.name();
      continue;
    }
    for (pugi::xml_node c : n.children()) {
      EXPECT_EQ(c.type(), pugi::node_element) << "non-element child in " << n.name();
    }
  }
}

TEST_P(DsrDocTest, ValuesHaveTheTextFormOfTheirKind) {
  const std::regex real("-?[0-9]+\\.[0-9]{3}");
  const std::regex integer("-?[0-9]+");
  for (pugi::xml_node n : all(root_, "//*[not(*)]")) {
    const std::string value = n.text().get();
    if (n.first_child().type() != pugi::node_pcdata) continue;
    switch (kindOf(n)) {
      case Kind::kFloat: {
        ASSERT_TRUE(std::regex_match(value, real)) << n.name() << "=" << value;
        // The record holds a float: reading narrows, writing widens again.
        const auto f = static_cast<float>(std::strtod(value.c_str(), nullptr));
        char again[64];
        std::snprintf(again, sizeof again, "%.3f", static_cast<double>(f));
        EXPECT_EQ(value, again) << n.name();
        break;
      }
      case Kind::kDouble:
        EXPECT_TRUE(std::regex_match(value, real)) << n.name() << "=" << value;
        break;
      case Kind::kInt:
        ASSERT_TRUE(std::regex_match(value, integer)) << n.name() << "=" << value;
        EXPECT_EQ(std::to_string(std::stoll(value)), value) << n.name();
        EXPECT_GE(std::stoll(value), -2147483648LL);
        EXPECT_LE(std::stoll(value), 2147483647LL);
        break;
      case Kind::kBool:
        EXPECT_TRUE(value == "true" || value == "false") << n.name() << "=" << value;
        break;
      case Kind::kText:
        break;
    }
  }
}

TEST_P(DsrDocTest, LocalizedTextsFillAllThirteenLanguages) {
  static const std::set<std::string> kLocalized = {
      "strLongInkName", "strInkConfigName", "strResolutionName", "strSeparationName",
      "strMediaName",   "strBaseMediaName", "strQualityName",    "strFirmwareDownloadURL"};
  int checked = 0;
  for (pugi::xml_node n : all(root_, "//*[English]")) {
    ++checked;
    ASSERT_TRUE(kLocalized.count(n.name())) << n.name();
    std::vector<pugi::xml_node> slots(n.begin(), n.end());
    ASSERT_EQ(slots.size(), kLanguages.size()) << n.name();
    const bool empty = std::string(n.name()) == "strBaseMediaName";
    const std::string english = slots[0].text().get();
    for (size_t i = 0; i < slots.size(); ++i) {
      const std::string value = slots[i].text().get();
      EXPECT_STREQ(slots[i].name(), kLanguages[i]);
      EXPECT_EQ(value.empty(), empty) << n.name() << "/" << kLanguages[i];
      // Names written in Chinese, Japanese, Korean, Russian and Arabic
      // cannot be plain ASCII; a copied English name would be.
      const bool translated = !empty && english.find("dpi") == std::string::npos &&
                              english.find("http") == std::string::npos;
      if (translated && (i == 1 || i == 2 || i == 6 || i == 7 || i == 10 || i == 12)) {
        EXPECT_TRUE(std::any_of(value.begin(), value.end(), [](char c) { return c & 0x80; }))
            << english << " untranslated in " << kLanguages[i];
      }
    }
  }
  EXPECT_GT(checked, 50);
  const pugi::xml_node url = root_.child("strFirmwareDownloadURL");
  for (size_t i = 0; i < kLanguages.size(); ++i) {
    EXPECT_EQ(text(url, kLanguages[i]),
              i == 6 ? "https://jp.ostrand.example/support/color/hrd/index.html"
                     : "https://www.ostrand.example/support/color/hrd/index.html");
  }
}

TEST_P(DsrDocTest, ListCounts) {
  const Expected& e = GetParam();
  EXPECT_EQ(all(root_, "aModelInfoList/ModelInfo").size(), 1u);
  EXPECT_EQ(all(root_, "aInkInfoList/InkInfo").size(), 4u);
  EXPECT_EQ(all(root_, "aInkConfigInfoList/InkConfigInfo").size(), 1u);
  EXPECT_EQ(all(root_, "aResolutionInfoList/ResolutionInfo").size(), 31u);
  EXPECT_EQ(all(root_, "aModeInfoList/ModeInfo").size(), 11u);
  EXPECT_EQ(all(root_, "aSeparationInfoList/SeparationInfo").size(), size_t(e.separations));
  EXPECT_EQ(all(root_, "//aSeparationTableList/SeparationTable").size(), size_t(e.tables));
  EXPECT_EQ(all(root_, "aVControlPointList/VControlPoint").size(), 86u);
  EXPECT_EQ(all(root_, "aPatternInfoList/PatternInfo").size(), 8u);
  EXPECT_EQ(all(root_, "aMediaInfoList/MediaInfo").size(), size_t(e.media));
  EXPECT_EQ(all(root_, "aPrintChartFileInfoSetList/PrintChartFileInfoSet").size(), 2u);
  EXPECT_EQ(all(root_, "aInkVolumeInfoList/InkVolumeInfo").size(), 42u);
  EXPECT_EQ(std::distance(root_.child("commandSet").begin(), root_.child("commandSet").end()), 9);
}

// The readers take the leading children of these records by position, so
// their order is part of the format.
TEST_P(DsrDocTest, PositionalChildrenStandInReaderOrder) {
  const std::map<std::string, std::vector<std::string>> leading = {
      {"ModelInfo",
       {"strLongModelName",  "strMIBModelName",    "strFolderName",     "dMaxWidth",
        "nHeadNum",          "nHeadPositionIndex", "nDefaultInkIndex",  "bCutFeature",
        "nHeaterFeature",    "nHeadHeightMask",    "strStaticStatus",   "strStaticExtraStatus",
        "strActiveStatus",   "strPPDFile",         "dCropMargin_mm",    "dCropSize_mm",
        "dPageSpace_mm",     "dHWLeftMargin_mm",   "dHWRightMargin_mm", "dHWTopMargin_mm",
        "dHWBottomMargin_mm"}},
      {"InkInfo", {"nInkIndex", "strLongInkName", "strShortInkName", "lightColor", "darkColor"}},
      {"InkConfigInfo", {"nInkConfigIndex", "strInkConfigName", "strFolderName", "nInkIndexList"}},
      {"ResolutionInfo",
       {"nResolutionIndex", "strResolutionName", "flScanResolution", "flFeedResolution"}},
      {"ModeInfo",
       {"nModeIndex", "strModeName", "nInkNum", "nInkIndexList", "nBitsPerPixel", "nDotType",
        "strDotSize"}},
      {"PatternInfo", {"nFMPatternIndex", "nScanPixelSize", "nFeedPixelSize", "strPatternFile"}},
      {"SeparationTable", {"nInputChannelNum", "usOutputTable", "dStart", "dPeak", "dMax", "dEnd"}},
      {"MediaInfo",
       {"strMediaName", "strBaseMediaName", "aPermissionSetList", "aQualityInfoList",
        "nDefaultLevel", "nDryTime", "nVacuumPower", "eHeadHeight", "aflFeedCalibration",
        "nPreHeater", "nPrintHeater", "nDryHeater", "nCutCount", "nCutVelocity", "nCutForce",
        "flCutOffset", "TimeStamp"}},
      {"QualityInfo", {"nQualityLevel", "strQualityName", "anPermissionIndexList"}},
      {"PermissionSet",
       {"nPermissionIndex", "anInkConfigIndexList", "nResolutionIndex", "nModeIndex"}},
      {"CalibrationInfo", {"nOutputLimit", "density", "lab"}},
      {"TimeStamp", {"year", "month", "day", "hour", "minute", "second", "ms"}},
  };
  for (const auto& [record, names] : leading) {
    const auto nodes = all(root_, "//" + record);
    EXPECT_FALSE(nodes.empty()) << record;
    for (pugi::xml_node n : nodes) {
      std::vector<std::string> found;
      for (pugi::xml_node c : n.children()) {
        if (found.size() < names.size()) found.push_back(c.name());
      }
      ASSERT_EQ(found, names) << record;
    }
  }
}

TEST_P(DsrDocTest, ModelInkAndConfiguration) {
  const Expected& e = GetParam();
  const pugi::xml_node model = root_.child("aModelInfoList").child("ModelInfo");
  EXPECT_EQ(std::distance(model.begin(), model.end()), 58);
  EXPECT_EQ(text(model, "strLongModelName"), e.model);
  EXPECT_EQ(text(model, "dMaxWidth"), e.width);
  EXPECT_EQ(text(model, "strBMPFileName"), "Ostrand KM.bmp");
  EXPECT_EQ(text(model, "nHeaterFeature"), "2");
  EXPECT_EQ(text(model, "flNozzleResolution"), "150.000");
  EXPECT_EQ(std::string(model.last_child().name()), "nMaximumHalfCutForce");
  for (const char* array : {"nHeadPositionIndex", "nDefaultInkIndex"}) {
    int slot = 0;
    for (pugi::xml_node c : model.child(array).children()) {
      EXPECT_EQ(std::string(c.name()), "value" + std::to_string(slot++));
    }
    EXPECT_EQ(slot, 24) << array;
  }
  const std::vector<int> positions = ints(model.child("nHeadPositionIndex"));
  EXPECT_EQ(24 - std::count(positions.begin(), positions.end(), -1), intOf(model, "nHeadNum"));

  const std::vector<std::string> shortNames = {"K", "C", "M", "Y"};
  int index = 4096;
  for (pugi::xml_node ink : all(root_, "aInkInfoList/InkInfo")) {
    EXPECT_EQ(intOf(ink, "nInkIndex"), index);
    EXPECT_EQ(text(ink, "strShortInkName"), shortNames[size_t(index - 4096)]);
    for (const char* color : {"lightColor", "darkColor"}) {
      for (const int c : ints(ink.child(color))) EXPECT_TRUE(c >= 0 && c <= 255);
    }
    ++index;
  }
  const pugi::xml_node black = root_.child("aInkInfoList").child("InkInfo");
  EXPECT_EQ(ints(black.child("lightColor")), (std::vector<int>{198, 195, 198}));
  EXPECT_EQ(ints(black.child("darkColor")), (std::vector<int>{66, 65, 66}));

  const pugi::xml_node config = root_.child("aInkConfigInfoList").child("InkConfigInfo");
  EXPECT_EQ(text(config, "strFolderName"), e.folder);
  std::vector<int> slots(24, -1);
  slots[0] = 4097, slots[1] = 4098, slots[2] = 4099, slots[3] = 4096;
  EXPECT_EQ(ints(config.child("nInkIndexList")), slots);
  EXPECT_EQ(all(config, "nInkIndexList/nInkIndex").size(), 24u);
}

TEST_P(DsrDocTest, SeparationsAreComplete) {
  const std::set<int> charts = intSet(root_, "//PrintChartFileInfoSet/nIndex");
  bool foundProcess = false;
  for (pugi::xml_node sep : all(root_, "aSeparationInfoList/SeparationInfo")) {
    const std::vector<int> inputs = ints(sep.child("anInputChannelInkIndexList"));
    EXPECT_FALSE(inputs.empty());
    const auto tables = all(sep, "aSeparationTableList/SeparationTable");
    EXPECT_EQ(tables.size(), size_t(intOf(sep, "nOutputChannel")));
    EXPECT_TRUE(charts.count(intOf(sep, "nPrintChartFileInfoIndex")));
    for (pugi::xml_node table : tables) {
      EXPECT_EQ(text(table, "eType"), "0");
      EXPECT_FALSE(table.child("usOutputTable").first_child());
      EXPECT_LT(intOf(table, "nInputChannelNum"), int(inputs.size()));
    }
    if (intOf(sep, "nSeparationIndex") == 15) {
      foundProcess = true;
      EXPECT_EQ(inputs, (std::vector<int>{4097, 4098, 4099, 4096}));
      EXPECT_EQ(tables.size(), 4u);
    }
  }
  EXPECT_TRUE(foundProcess);
  EXPECT_TRUE(all(root_, "//screenOption").empty());
  EXPECT_TRUE(all(root_, "//bRecommended").empty());
  EXPECT_TRUE(all(root_, "//UVLampPower").empty());
  for (pugi::xml_node mode : all(root_, "aModeInfoList/ModeInfo")) {
    EXPECT_EQ(std::string(mode.last_child().name()), "aUVLampPowerList");
  }
}

TEST_P(DsrDocTest, CommandStringsDecode) {
  const std::vector<std::string> order = {"strInitialize", "strPrintHeader", "strPrintTailer",
                                          "strCutHeader",  "strCutTailer",   "strPageFeed",
                                          "strPageRewind", "strSheetCut",    "strCancel"};
  size_t i = 0;
  for (pugi::xml_node c : root_.child("commandSet").children()) {
    ASSERT_LT(i, order.size());
    EXPECT_EQ(c.name(), order[i++]);
    const std::optional<std::string> bytes = decodeCommand(c.text().get());
    ASSERT_TRUE(bytes.has_value()) << c.name() << ": " << c.text().get();
    if (std::string(c.name()) == "strCutTailer") {
      EXPECT_FALSE(c.first_child());
    } else {
      EXPECT_NE(bytes->find('\x1B'), std::string::npos) << c.name();
    }
  }
  const std::string init = *decodeCommand(text(root_.child("commandSet"), "strInitialize"));
  EXPECT_NE(init.find("?JOBNAME?"), std::string::npos);
  EXPECT_NE(init.find("?COPIES?"), std::string::npos);
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
  for (pugi::xml_node r : all(root_, "aResolutionInfoList/ResolutionInfo")) {
    resolution[intOf(r, "nResolutionIndex")] =
        std::to_string(int(r.child("flScanResolution").text().as_double())) + "x" +
        std::to_string(int(r.child("flFeedResolution").text().as_double()));
  }
  EXPECT_TRUE(resolution.count(-2147483647 - 1));
  const std::set<int> modes = intSet(root_, "aModeInfoList/ModeInfo/nModeIndex");
  const std::set<int> patterns = intSet(root_, "aPatternInfoList/PatternInfo/nFMPatternIndex");
  const std::set<int> vcps = intSet(root_, "aVControlPointList/VControlPoint/nVControlIndex");
  const std::set<int> configs = intSet(root_, "//InkConfigInfo/nInkConfigIndex");
  std::map<int, size_t> separationInputs;
  for (pugi::xml_node sep : all(root_, "aSeparationInfoList/SeparationInfo")) {
    separationInputs[intOf(sep, "nSeparationIndex")] =
        all(sep, "anInputChannelInkIndexList/*").size();
  }
  const size_t models = all(root_, "aModelInfoList/ModelInfo").size();

  for (pugi::xml_node media : all(root_, "aMediaInfoList/MediaInfo")) {
    const std::string name = text(media.child("strMediaName"), "English");
    ASSERT_TRUE(token.count(name)) << name;
    EXPECT_EQ(all(media, "aflFeedCalibration/value").size(), models);
    EXPECT_NE(intOf(media, "nVacuumPower"), -1);
    EXPECT_TRUE(intOf(media, "nDryHeater") != 0 || text(media, "bDrierEnable") == "false");
    const pugi::xml_node ts = media.child("TimeStamp");
    const std::string date = text(ts, "year") + "-" + text(ts, "month") + "-" + text(ts, "day");
    EXPECT_TRUE(date == "2016-3-1" || date == "2016-8-2") << date;

    std::multiset<int> sets;
    for (pugi::xml_node set : all(media, "aPermissionSetList/PermissionSet")) {
      sets.insert(intOf(set, "nPermissionIndex"));
      EXPECT_TRUE(resolution.count(intOf(set, "nResolutionIndex")));
      EXPECT_TRUE(modes.count(intOf(set, "nModeIndex")));
      EXPECT_EQ(intOf(set, "eDirection"), 131075);
      EXPECT_NE(intOf(set, "eScreen"), 8);
      EXPECT_TRUE(intOf(set, "nPassmaskIndex") >= 11 && intOf(set, "nPassmaskIndex") <= 35);
      for (const int i : ints(set.child("anInkConfigIndexList"))) EXPECT_TRUE(configs.count(i));
      for (const int i : ints(set.child("anFMPatternIndexList"))) EXPECT_TRUE(patterns.count(i));
      for (const int i : ints(set.child("anVControlIndexList"))) EXPECT_TRUE(vcps.count(i));
      const int sep = intOf(set, "nSeparationIndex");
      ASSERT_TRUE(separationInputs.count(sep));
      const auto calibrations = all(set, "aCalibrationInfoList/CalibrationInfo");
      EXPECT_EQ(calibrations.size(), separationInputs[sep]);
      for (pugi::xml_node cal : calibrations) {
        const int limit = intOf(cal, "nOutputLimit");
        EXPECT_TRUE(limit >= 75 && limit <= 100);
        std::vector<double> density;
        for (pugi::xml_node d : cal.child("density").children())
          density.push_back(d.text().as_double());
        ASSERT_EQ(density.size(), 21u);
        EXPECT_LT(density.front(), 0.1);
        EXPECT_GT(density.back(), 1.2);
        EXPECT_TRUE(std::is_sorted(density.begin(), density.end(), std::less_equal<double>()));
        EXPECT_EQ(all(cal, "lab/value[l and a and b]").size(), 21u);
      }
      const std::string profile = text(set, "strPrinterProfile");
      EXPECT_TRUE(profiles.count(profile)) << profile;
      EXPECT_EQ(profile, e.prefix + token.at(name) + "_" +
                             resolution[intOf(set, "nResolutionIndex")] + ".icc");
    }
    EXPECT_TRUE(sets.size() >= 2 && sets.size() <= 6);

    // Every permission set belongs to exactly one quality level.
    std::multiset<int> listed;
    int level = 0;
    for (pugi::xml_node q : all(media, "aQualityInfoList/QualityInfo")) {
      EXPECT_EQ(intOf(q, "nQualityLevel"), level++);
      for (const int i : ints(q.child("anPermissionIndexList"))) listed.insert(i);
    }
    EXPECT_TRUE(level == 2 || level == 3);
    EXPECT_LT(intOf(media, "nDefaultLevel"), level);
    EXPECT_EQ(listed, sets);
  }
}

TEST_P(DsrDocTest, ModesReferToInkVolumes) {
  const std::set<int> volumes = intSet(root_, "//InkVolumeInfo/nInkVolumeIndex");
  EXPECT_TRUE(volumes.count(1) && volumes.count(1010));
  for (pugi::xml_node mode : all(root_, "aModeInfoList/ModeInfo")) {
    EXPECT_TRUE(volumes.count(intOf(mode, "nInkVolumeIndex"))) << intOf(mode, "nModeIndex");
  }
  const std::regex figures("[0-9]+\\.[0-9]{2}(,[0-9]+\\.[0-9]{2}){0,2}");
  for (pugi::xml_node volume : all(root_, "//InkVolumeInfo")) {
    const auto texts = all(volume, "astrInkVolumeList/strInkVolume_pl");
    EXPECT_TRUE(texts.size() >= 4 && texts.size() <= 8);
    for (pugi::xml_node t : texts) EXPECT_TRUE(std::regex_match(t.text().get(), figures));
  }
}

// Test names after the file names, e.g. Payload/DsrDocTest.ListCounts/ostrand_km.
std::string docName(const ::testing::TestParamInfo<Expected>& param) {
  return fs::path(param.param.file).stem().string();
}

INSTANTIATE_TEST_SUITE_P(Payload, DsrDocTest, ::testing::ValuesIn(kDocs), docName);

TEST(DeviceSeriesDocsGeneration, IsDeterministic) {
  const ScratchDir first;
  const ScratchDir second;
  writeDeviceSeriesDocuments(first.path());
  writeDeviceSeriesDocuments(second.path());
  for (const Expected& e : kDocs) {
    EXPECT_TRUE(ScratchDir::read(first / e.file) == ScratchDir::read(second / e.file)) << e.file;
  }
}

TEST(DeviceSeriesDocsGeneration, ReportsAnUnwritableFolder) {
  const ScratchDir dir;
  EXPECT_THROW(writeDeviceSeriesDocuments(dir / "missing"), std::runtime_error);
}

}  // namespace
