#include <climits>
#include <string>
#include <vector>

#include "devseries/model_info.h"
#include "testsupport/hosts/documents.h"
#include "xml/value_codec.h"

namespace devseries {
namespace {

using testsupport::childNamed;
using testsupport::comErrorOf;
using testsupport::el;
using testsupport::parseDocument;
using testsupport::resavedText;
using testsupport::rootElement;
using testsupport::savedText;

std::string slots(const std::vector<int>& first, int fill, int count = 24) {
  std::string text;
  for (int i = 0; i < count; ++i) {
    int value = i < static_cast<int>(first.size()) ? first[static_cast<std::size_t>(i)] : fill;
    text += el("value" + std::to_string(i), std::to_string(value));
  }
  return text;
}

// The 58 children of a payload-like ModelInfo, with distinct values so that
// a value landing in another field shows.
std::vector<std::string> payloadChildren() {
  return {
      el("strLongModelName", "Ostrand KM"),
      el("strMIBModelName", "OKM-1"),
      el("strFolderName", "OstrandKM"),
      el("dMaxWidth", "1346.200"),
      el("nHeadNum", "4"),
      el("nHeadPositionIndex", slots({0, 1, 2, 3}, -1)),
      el("nDefaultInkIndex", slots({4097, 4098, 4099, 4096}, 0)),
      el("bCutFeature", "true"),
      el("nHeaterFeature", "2"),
      el("nHeadHeightMask", "5"),
      el("strStaticStatus", "S;1"),
      el("strStaticExtraStatus", ""),
      el("strActiveStatus", "A;2"),
      el("strPPDFile", "OstrandKM.ppd"),
      el("dCropMargin_mm", "-5.000"),
      el("dCropSize_mm", "10.000"),
      el("dPageSpace_mm", "20.000"),
      el("dHWLeftMargin_mm", "3.100"),
      el("dHWRightMargin_mm", "3.200"),
      el("dHWTopMargin_mm", "0.700"),
      el("dHWBottomMargin_mm", "0.500"),
      el("strBMPFileName", "OstrandKM.bmp"),
      el("nMaxCutSpeed", "61"),
      el("strExtension", "0A1B2C3D4E5F"),
      el("nMinimumPageInterval_mm", "2"),
      el("nMaximumPageInterval_mm", "201"),
      el("nMinimumScanSpeed", "251"),
      el("nMaximumScanSpeed", "1001"),
      el("nMinimumFeedSpeed", "3"),
      el("nMaximumFeedSpeed", "51"),
      el("nMinimumPreHeaterTemperature", "36"),
      el("nMaximumPreHeaterTemperature", "52"),
      el("nMinimumHeaterTemperature", "37"),
      el("nMaximumHeaterTemperature", "53"),
      el("nMinimumDrierTemperature", "38"),
      el("nMaximumDrierTemperature", "54"),
      el("dMinimumFeedCalibration_mm", "-2.500"),
      el("dMaximumFeedCalibration_mm", "2.500"),
      el("nMinimumCutForce", "31"),
      el("nMaximumCutForce", "301"),
      el("flMaximumCutOffset", "1.250"),
      el("nGetMethodType", "1"),
      el("nScanSpeedType", "32"),
      el("strDllName", ""),
      el("strDriverName", "drv"),
      el("strRequiredFirmwareVersion", "0.00"),
      el("strRecommendedFirmwareVersion", "0.01"),
      el("nNozzleCountPerHeadColumn", "192"),
      el("flNozzleResolution", "150.000"),
      el("nMinimumReturnScanSpeed", "999"),
      el("nMaximumReturnScanSpeed", "1002"),
      el("dMaxLength", "0.000"),
      el("bOverlapCutPerCutPath", "true"),
      el("nUVLampCount", "6"),
      el("bHBridgeFeature", "false"),
      el("bHalfCutFeature", "true"),
      el("nMinimumHalfCutForce", "7"),
      el("nMaximumHalfCutForce", "81"),
  };
}

std::string modelXml(const std::vector<std::string>& children) {
  std::string text = "<ModelInfo>";
  for (const std::string& child : children) text += child;
  return text + "</ModelInfo>";
}

ModelInfo readModel(const std::string& text, ModelInfo record = {}) {
  ModelInfoIO::readModelInfo(rootElement(parseDocument(text)), record);
  return record;
}

std::string writeModel(const ModelInfo& record) {
  return savedText([&](const xml::Document& d) { return ModelInfoIO::writeModelInfo(d, record); });
}

// The first 21 children: an element from before the named fields existed.
std::vector<std::string> olderChildren() {
  std::vector<std::string> children = payloadChildren();
  children.resize(21);
  return children;
}

class ModelInfoIOTest : public ::testing::Test {};

TEST_F(ModelInfoIOTest, PayloadElementReadsIntoItsFieldsAndWritesBackUnchanged) {
  const std::string text = modelXml(payloadChildren());
  ModelInfo record = readModel(text);
  EXPECT_EQ(record.strMIBModelName, "OKM-1");
  EXPECT_DOUBLE_EQ(record.dMaxWidth, 1346.2);
  EXPECT_EQ(record.nHeadPositionIndex[3], 3);
  EXPECT_EQ(record.nHeadPositionIndex[23], -1);
  EXPECT_EQ(record.nDefaultInkIndex[0], 4097);
  EXPECT_TRUE(record.bCutFeature);
  EXPECT_EQ(record.nHeaterFeature, 2);
  EXPECT_DOUBLE_EQ(record.dCropMargin_mm, -5.0);
  EXPECT_EQ(record.nMaxCutSpeed, 61);
  EXPECT_EQ(record.nMaximumPageInterval_mm, 201);
  EXPECT_FLOAT_EQ(record.flMaximumCutOffset, 1.25f);
  EXPECT_EQ(record.strRecommendedFirmwareVersion, "0.01");
  EXPECT_FLOAT_EQ(record.flNozzleResolution, 150.0f);
  EXPECT_EQ(record.nMinimumReturnScanSpeed, 999);
  EXPECT_TRUE(record.bHalfCutFeature);
  EXPECT_EQ(record.nMaximumHalfCutForce, 81);

  EXPECT_EQ(writeModel(record), resavedText(text));
}

TEST_F(ModelInfoIOTest, OlderElementTakesTheReaderPresetsAndWritesAllFields) {
  // A record that does not hold the constructor values shows that the
  // reader itself sets what an older element lacks.
  ModelInfo used;
  used.nMaxCutSpeed = 5;
  used.strRequiredFirmwareVersion = "9.9";
  used.strRecommendedFirmwareVersion = "9.9";
  used.nMinimumReturnScanSpeed = 7;
  used.nMaximumReturnScanSpeed = 7;
  ModelInfo record = readModel(modelXml(olderChildren()), used);
  EXPECT_EQ(record.nMaxCutSpeed, 60);
  EXPECT_EQ(record.strRequiredFirmwareVersion, "");
  EXPECT_EQ(record.strRecommendedFirmwareVersion, "");
  EXPECT_EQ(record.nMinimumReturnScanSpeed, 1000);
  EXPECT_EQ(record.nMaximumReturnScanSpeed, 1000);

  ModelInfo fresh = readModel(modelXml(olderChildren()));
  EXPECT_DOUBLE_EQ(fresh.dMinimumFeedCalibration_mm, -2.0);
  EXPECT_DOUBLE_EQ(fresh.dMaximumFeedCalibration_mm, 2.0);
  EXPECT_EQ(fresh.nMaximumCutForce, 300);
  EXPECT_EQ(fresh.nMaximumHalfCutForce, 80);

  xml::Document written = parseDocument(writeModel(fresh));
  xml::NodeList children = rootElement(written).childNodes();
  int count = 0;
  while (children.nextNode()) ++count;
  EXPECT_EQ(count, 58);
  xml::Node root = rootElement(written);
  EXPECT_EQ(xml::readText(childNamed(root, "nMaxCutSpeed")), "60");
  EXPECT_EQ(xml::readText(childNamed(root, "dMinimumFeedCalibration_mm")), "-2.000");
  EXPECT_EQ(xml::readText(childNamed(root, "flMaximumCutOffset")), "1.500");
  EXPECT_EQ(xml::readText(childNamed(root, "nMaximumReturnScanSpeed")), "1000");
}

TEST_F(ModelInfoIOTest, NamedPartIsFoundByExactNameInAnyOrder) {
  std::vector<std::string> children = olderChildren();
  children.push_back(el("nMaximumHalfCutForce", "90"));
  children.push_back("<!-- a note -->");
  children.push_back(el("Unknown", "1"));
  children.push_back(el("nmaxcutspeed", "5"));  // another capitalisation: not the field
  children.push_back(el("strBMPFileName", "first.bmp"));
  children.push_back(el("nUVLampCount", "2"));
  children.push_back(el("strBMPFileName", "second.bmp"));
  ModelInfo record = readModel(modelXml(children));
  EXPECT_EQ(record.nMaximumHalfCutForce, 90);
  EXPECT_EQ(record.strBMPFileName, "second.bmp");
  EXPECT_EQ(record.nUVLampCount, 2);
  EXPECT_EQ(record.nMaxCutSpeed, 60);
  EXPECT_EQ(record.nMinimumHalfCutForce, 1);
}

TEST_F(ModelInfoIOTest, PositionalPartIgnoresNames) {
  std::vector<std::string> children = payloadChildren();
  std::swap(children[0], children[1]);  // the two model names
  std::swap(children[3], children[4]);  // dMaxWidth and nHeadNum
  children[14] = el("Renamed", "-7.000");
  ModelInfo record = readModel(modelXml(children));
  EXPECT_EQ(record.strLongModelName, "OKM-1");
  EXPECT_EQ(record.strMIBModelName, "Ostrand KM");
  EXPECT_DOUBLE_EQ(record.dMaxWidth, 4.0);
  EXPECT_EQ(record.nHeadNum, 1346);
  EXPECT_DOUBLE_EQ(record.dCropMargin_mm, -7.0);
}

TEST_F(ModelInfoIOTest, CommentAmongPositionalChildrenTakesAFieldsPlace) {
  std::vector<std::string> children = payloadChildren();
  children.insert(children.begin() + 11, "<!--extra-->");
  ModelInfo record = readModel(modelXml(children));
  EXPECT_EQ(record.strStaticStatus, "S;1");
  EXPECT_EQ(record.strStaticExtraStatus, "extra");
  EXPECT_EQ(record.strActiveStatus, "");
  EXPECT_EQ(record.strPPDFile, "A;2");
  EXPECT_DOUBLE_EQ(record.dCropMargin_mm, 0.0);  // "OstrandKM.ppd"
  EXPECT_DOUBLE_EQ(record.dCropSize_mm, -5.0);
  EXPECT_DOUBLE_EQ(record.dHWBottomMargin_mm, 0.7);
  // The shifted-out dHWBottomMargin_mm is no named field and is skipped.
  EXPECT_EQ(record.strBMPFileName, "OstrandKM.bmp");
}

TEST_F(ModelInfoIOTest, MissingPositionalNodesFailTheRead) {
  std::vector<std::string> shortElement = olderChildren();
  shortElement.pop_back();
  EXPECT_EQ(comErrorOf([&] { readModel(modelXml(shortElement)); }), xml::kEPointer);

  std::vector<std::string> shortSlots = payloadChildren();
  shortSlots[5] = el("nHeadPositionIndex", slots({}, -1, 23));
  EXPECT_EQ(comErrorOf([&] { readModel(modelXml(shortSlots)); }), xml::kEPointer);

  std::vector<std::string> emptySlots = payloadChildren();
  emptySlots[6] = el("nDefaultInkIndex", "");
  EXPECT_EQ(comErrorOf([&] { readModel(modelXml(emptySlots)); }), xml::kEPointer);

  ModelInfo record;
  EXPECT_EQ(comErrorOf([&] { ModelInfoIO::readModelInfo(xml::Node(), record); }), xml::kEPointer);
}

TEST_F(ModelInfoIOTest, SlotListReadsTheFirst24ChildrenWhateverTheirNames) {
  std::vector<std::string> children = payloadChildren();
  std::string slotText = "<a>5</a><!--6-->";
  for (int i = 2; i < 25; ++i) slotText += el("x", std::to_string(i + 5));
  children[5] = el("nHeadPositionIndex", slotText);
  ModelInfo record = readModel(modelXml(children));
  EXPECT_EQ(record.nHeadPositionIndex[0], 5);
  EXPECT_EQ(record.nHeadPositionIndex[1], 6);
  EXPECT_EQ(record.nHeadPositionIndex[23], 28);
  EXPECT_EQ(writeModel(record).find("value24"), std::string::npos);
}

TEST_F(ModelInfoIOTest, ValueTextsFollowTheirKinds) {
  struct Case {
    const char* cut;
    const char* heater;
    bool cutRead;
    int heaterRead;
  };
  const Case cases[] = {{"True", "2.9", false, 2},
                        {"1", "-1.5", false, -1},
                        {"true", "2e1", true, 20},
                        {" true", "abc", false, 0},
                        {"false", "1e300", false, INT_MAX},
                        {"", "-1e300", false, INT_MIN},
                        {"true", "nan", true, 0}};
  for (const Case& c : cases) {
    std::vector<std::string> children = payloadChildren();
    children[7] = el("bCutFeature", c.cut);
    children[8] = el("nHeaterFeature", c.heater);
    children[9] = el("nHeadHeightMask", "2e1");  // an ordinary int stops at the "e"
    ModelInfo record = readModel(modelXml(children));
    EXPECT_EQ(record.bCutFeature, c.cutRead) << c.cut;
    EXPECT_EQ(record.nHeaterFeature, c.heaterRead) << c.heater;
    EXPECT_EQ(record.nHeadHeightMask, 2);
  }
}

}  // namespace
}  // namespace devseries
