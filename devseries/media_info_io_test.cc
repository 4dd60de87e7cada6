#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "devseries/media_info.h"
#include "testsupport/hosts/documents.h"
#include "xml/value_codec.h"

namespace devseries {
namespace {

using testsupport::comErrorOf;
using testsupport::el;
using testsupport::localized;
using testsupport::parseDocument;
using testsupport::resavedText;
using testsupport::rootElement;
using testsupport::savedText;

// The 16 positional children of a media entry; nDryHeater and nVacuumPower
// as given.
std::string positionalPart(const std::string& dryHeater = "45",
                           const std::string& vacuumPower = "1") {
  return localized("strMediaName", "Generic Vinyl") + localized("strBaseMediaName", "") +
         "<aPermissionSetList/><aQualityInfoList/>" + el("nDefaultLevel", "1") +
         el("nDryTime", "0") + el("nVacuumPower", vacuumPower) + el("eHeadHeight", "1") +
         "<aflFeedCalibration><value>0.000</value></aflFeedCalibration>" + el("nPreHeater", "40") +
         el("nPrintHeater", "40") + el("nDryHeater", dryHeater) + el("nCutCount", "1") +
         el("nCutVelocity", "30") + el("nCutForce", "50") + el("flCutOffset", "0.250");
}

const std::string kTimeStamp =
    "<TimeStamp><year>2016</year><month>3</month><day>1</day><hour>0</hour><minute>0</minute>"
    "<second>0</second><ms>0</ms></TimeStamp>";

MediaInfo readMedia(const std::string& children) {
  xml::Document document = parseDocument("<MediaInfo>" + children + "</MediaInfo>");
  MediaInfo record;
  MediaInfoIO::readMediaInfo(rootElement(document), record);
  return record;
}

xml::HResult readMediaError(const std::string& children) {
  xml::Document document = parseDocument("<MediaInfo>" + children + "</MediaInfo>");
  return comErrorOf([&] {
    MediaInfo record;
    MediaInfoIO::readMediaInfo(rootElement(document), record);
  });
}

std::string writtenMedia(const MediaInfo& record) {
  return savedText([&](const xml::Document& d) { return MediaInfoIO::writeMediaInfo(d, record); });
}

// The text of the child |name| of a written media entry.
std::string writtenField(const MediaInfo& record, const char* name) {
  xml::Document document = xml::Document::create();
  xml::Node media = MediaInfoIO::writeMediaInfo(document, record);
  return xml::readText(testsupport::childNamed(media, name));
}

class MediaInfoIOTest : public ::testing::Test {};

TEST_F(MediaInfoIOTest, PayloadMediaRoundTripsToIdenticalXml) {
  const std::string permissionSet =
      "<PermissionSet><nPermissionIndex>10</nPermissionIndex>"
      "<anInkConfigIndexList><anInkConfigIndex>0</anInkConfigIndex></anInkConfigIndexList>"
      "<nResolutionIndex>2</nResolutionIndex><nModeIndex>3</nModeIndex>"
      "<nPassmaskIndex>11</nPassmaskIndex><eDirection>131075</eDirection>"
      "<eScreen>65569</eScreen><anVControlIndexList/><anFMPatternIndexList/>"
      "<nSeparationIndex>15</nSeparationIndex><aCalibrationInfoList/>"
      "<nInkLimit>220</nInkLimit><strPrinterProfile>KMOS_GenericPVC_900x900.icc"
      "</strPrinterProfile><nScanSpeed>1185</nScanSpeed><nFeedSpeed>16</nFeedSpeed>"
      "<bVisiblePermission>true</bVisiblePermission><nRealPassCount>6</nRealPassCount>"
      "<strNextPermissionIndex/></PermissionSet>";
  const std::string quality = "<QualityInfo><nQualityLevel>0</nQualityLevel>" +
                              localized("strQualityName", "Draft") +
                              "<anPermissionIndexList><anPermissionIndex>10</anPermissionIndex>"
                              "<anPermissionIndex>11</anPermissionIndex></anPermissionIndexList>"
                              "<bVisibleQuality>true</bVisibleQuality></QualityInfo>";
  const std::string text =
      "<MediaInfo>" + localized("strMediaName", "Generic Vinyl") +
      localized("strBaseMediaName", "") + "<aPermissionSetList>" + permissionSet +
      "</aPermissionSetList><aQualityInfoList>" + quality + quality +
      "</aQualityInfoList><nDefaultLevel>1</nDefaultLevel><nDryTime>0</nDryTime>"
      "<nVacuumPower>1</nVacuumPower><eHeadHeight>1</eHeadHeight>"
      "<aflFeedCalibration><value>0.000</value><value>-1.250</value></aflFeedCalibration>"
      "<nPreHeater>40</nPreHeater><nPrintHeater>40</nPrintHeater><nDryHeater>45</nDryHeater>"
      "<nCutCount>1</nCutCount><nCutVelocity>30</nCutVelocity><nCutForce>50</nCutForce>"
      "<flCutOffset>0.250</flCutOffset>" +
      kTimeStamp +
      "<bVisibleMedia>true</bVisibleMedia><bCuttingMedia>true</bCuttingMedia>"
      "<bUpdateNeeded>false</bUpdateNeeded><nInputRoute>0</nInputRoute>"
      "<bPreHeaterEnable>true</bPreHeaterEnable><bPrinterHeaterEnable>true"
      "</bPrinterHeaterEnable><bDrierEnable>true</bDrierEnable>"
      "<nMediaAttribute>1</nMediaAttribute><bHideUnrecommendedMode>true"
      "</bHideUnrecommendedMode><flNormalCutForceRange>0.500</flNormalCutForceRange>"
      "<flDeepCutForceRange>50.000</flDeepCutForceRange><nDeepCutForce>170.000"
      "</nDeepCutForce><nHalfCutForce>0.000</nHalfCutForce><nOverPrintCount>2"
      "</nOverPrintCount><bUseDensityCalibration>true</bUseDensityCalibration></MediaInfo>";

  MediaInfo record;
  MediaInfoIO::readMediaInfo(rootElement(parseDocument(text)), record);
  EXPECT_EQ(record.strMediaName[xml::kArabic], "Generic Vinyl");
  ASSERT_EQ(record.aPermissionSetList.size(), 1);
  EXPECT_EQ(record.aPermissionSetList[0].nPermissionIndex, 10);
  ASSERT_EQ(record.aQualityInfoList.size(), 2);
  EXPECT_EQ(record.aQualityInfoList[1].anPermissionIndexList.size(), 2);
  ASSERT_EQ(record.aflFeedCalibration.size(), 2);
  EXPECT_FLOAT_EQ(record.aflFeedCalibration[1], -1.25f);
  EXPECT_FLOAT_EQ(record.flCutOffset, 0.25f);
  EXPECT_EQ(record.timeStamp, (TimeStamp{2016, 3, 1, 0, 0, 0, 0}));
  EXPECT_EQ(record.nMediaAttribute, 1);
  EXPECT_EQ(record.nOverPrintCount, 2);
  EXPECT_TRUE(record.bUseDensityCalibration);

  EXPECT_EQ(writtenMedia(record), resavedText(text));
}

TEST_F(MediaInfoIOTest, VacuumPowerMinusOneReadsAsZeroOnly) {
  EXPECT_EQ(readMedia(positionalPart("45", "-1") + kTimeStamp).nVacuumPower, 0);
  EXPECT_EQ(readMedia(positionalPart("45", "-2") + kTimeStamp).nVacuumPower, -2);
  EXPECT_EQ(readMedia(positionalPart("45", "3") + kTimeStamp).nVacuumPower, 3);
}

TEST_F(MediaInfoIOTest, DryHeaterZeroTurnsDrierOffUnlessTheEntrySaysOtherwise) {
  EXPECT_FALSE(readMedia(positionalPart("0") + kTimeStamp).bDrierEnable);
  EXPECT_TRUE(readMedia(positionalPart("0") + kTimeStamp + "<bDrierEnable>true</bDrierEnable>")
                  .bDrierEnable);
  EXPECT_TRUE(readMedia(positionalPart("45") + kTimeStamp).bDrierEnable);
  EXPECT_FALSE(readMedia(positionalPart("45") + kTimeStamp + "<bDrierEnable>false</bDrierEnable>")
                   .bDrierEnable);
}

TEST_F(MediaInfoIOTest, CutForcesAreWrittenAsDecimalsAndReadAsInts) {
  MediaInfo record = readMedia(positionalPart() + kTimeStamp +
                               "<nDeepCutForce>170.000</nDeepCutForce>"
                               "<nHalfCutForce>25.000</nHalfCutForce>");
  EXPECT_EQ(record.nDeepCutForce, 170);
  EXPECT_EQ(record.nHalfCutForce, 25);
  EXPECT_EQ(writtenField(record, "nDeepCutForce"), "170.000");

  EXPECT_EQ(writtenField(record, "nHalfCutForce"), "25.000");

  EXPECT_EQ(readMedia(positionalPart() + kTimeStamp + "<nDeepCutForce>170.9</nDeepCutForce>")
                .nDeepCutForce,
            170);
}

TEST_F(MediaInfoIOTest, RealsNarrowToTheNearestFloat) {
  // Texts a little beyond the largest float still have it as their nearest
  // float; only a text past the rounding boundary gives an infinity.
  std::string children = positionalPart();
  children.replace(children.find("0.250"), 5, "3.40282347E+38");
  const MediaInfo record =
      readMedia(children + kTimeStamp +
                "<flNormalCutForceRange>-3.40282347E+38</flNormalCutForceRange>"
                "<flDeepCutForceRange>3.5E+38</flDeepCutForceRange>");
  EXPECT_EQ(record.flCutOffset, std::numeric_limits<float>::max());
  EXPECT_EQ(record.flNormalCutForceRange, -std::numeric_limits<float>::max());
  EXPECT_EQ(record.flDeepCutForceRange, std::numeric_limits<float>::infinity());
  EXPECT_EQ(writtenField(record, "flCutOffset"), "340282346638528859811704183484516925440.000");
}

TEST_F(MediaInfoIOTest, HideUnrecommendedModeIsAThirtyTwoBitFlag) {
  const std::string head = positionalPart() + kTimeStamp;
  EXPECT_EQ(readMedia(head + "<bHideUnrecommendedMode>false</bHideUnrecommendedMode>")
                .bHideUnrecommendedMode,
            0);
  EXPECT_EQ(
      readMedia(head + "<bHideUnrecommendedMode>1</bHideUnrecommendedMode>").bHideUnrecommendedMode,
      0);
  EXPECT_EQ(readMedia(head + "<bHideUnrecommendedMode>true</bHideUnrecommendedMode>")
                .bHideUnrecommendedMode,
            1);

  MediaInfo record;
  EXPECT_EQ(writtenField(record, "bHideUnrecommendedMode"), "true");
  record.bHideUnrecommendedMode = 2;  // only exactly 1 counts as true
  EXPECT_EQ(writtenField(record, "bHideUnrecommendedMode"), "false");
  record.bHideUnrecommendedMode = 0;
  EXPECT_EQ(writtenField(record, "bHideUnrecommendedMode"), "false");
}

TEST_F(MediaInfoIOTest, EntryEndingAfterCutOffsetKeepsDefaults) {
  const MediaInfo record = readMedia(positionalPart("0"));
  EXPECT_EQ(record.timeStamp, TimeStamp{});
  EXPECT_TRUE(record.bVisibleMedia);
  EXPECT_TRUE(record.bCuttingMedia);
  EXPECT_FALSE(record.bUpdateNeeded);
  EXPECT_TRUE(record.bPreHeaterEnable);
  EXPECT_TRUE(record.bPrinterHeaterEnable);
  EXPECT_FALSE(record.bDrierEnable);  // nDryHeater 0
  EXPECT_EQ(record.bHideUnrecommendedMode, 1);
  EXPECT_FLOAT_EQ(record.flNormalCutForceRange, 0.5f);
  EXPECT_FLOAT_EQ(record.flDeepCutForceRange, 50.0f);
  EXPECT_EQ(record.nDeepCutForce, 170);
  EXPECT_EQ(record.nOverPrintCount, 1);
  EXPECT_FALSE(record.bUseDensityCalibration);
  EXPECT_EQ(record.nCutForce, 50);
}

TEST_F(MediaInfoIOTest, SeventeenthChildIsAlwaysTheTimeStamp) {
  // Any name is taken as the time stamp...
  const MediaInfo renamed = readMedia(
      positionalPart() +
      "<Stamp><a>2020</a><b>12</b><c>31</c><d>23</d><e>59</e><f>58</f><g>999</g></Stamp>");
  EXPECT_EQ(renamed.timeStamp, (TimeStamp{2020, 12, 31, 23, 59, 58, 999}));
  // ...so a named field in its place ends the read.
  EXPECT_EQ(readMediaError(positionalPart() + "<bVisibleMedia>false</bVisibleMedia>"),
            xml::kEPointer);
}

TEST_F(MediaInfoIOTest, MissingPositionalChildFailsTheRead) {
  std::string children = positionalPart();
  children.erase(children.rfind("<flCutOffset>"));
  EXPECT_EQ(readMediaError(children), xml::kEPointer);
  EXPECT_EQ(readMediaError(""), xml::kEPointer);
}

TEST_F(MediaInfoIOTest, NamedFieldsInAnyOrderWithUnknownNamesSkipped) {
  const std::string inOrder =
      "<bVisibleMedia>false</bVisibleMedia><bCuttingMedia>false</bCuttingMedia>"
      "<bUpdateNeeded>true</bUpdateNeeded><nInputRoute>2</nInputRoute>"
      "<bPreHeaterEnable>false</bPreHeaterEnable><bPrinterHeaterEnable>false"
      "</bPrinterHeaterEnable><bDrierEnable>false</bDrierEnable><nMediaAttribute>7"
      "</nMediaAttribute><bHideUnrecommendedMode>false</bHideUnrecommendedMode>"
      "<flNormalCutForceRange>1.500</flNormalCutForceRange><flDeepCutForceRange>20.000"
      "</flDeepCutForceRange><nDeepCutForce>120.000</nDeepCutForce><nHalfCutForce>9.000"
      "</nHalfCutForce><nOverPrintCount>3</nOverPrintCount><bUseDensityCalibration>true"
      "</bUseDensityCalibration>";
  const std::string shuffled =
      "<nOverPrintCount>3</nOverPrintCount><unknown>5</unknown><!-- note -->"
      "<bUseDensityCalibration>true</bUseDensityCalibration><nHalfCutForce>9.000"
      "</nHalfCutForce><nDeepCutForce>120.000</nDeepCutForce><flDeepCutForceRange>20.000"
      "</flDeepCutForceRange><flNormalCutForceRange>1.500</flNormalCutForceRange>"
      "<bHideUnrecommendedMode>false</bHideUnrecommendedMode><nMediaAttribute>7"
      "</nMediaAttribute><bdrierenable>true</bdrierenable><bDrierEnable>false</bDrierEnable>"
      "<bPrinterHeaterEnable>false</bPrinterHeaterEnable><bPreHeaterEnable>false"
      "</bPreHeaterEnable><nInputRoute>9</nInputRoute><nInputRoute>2</nInputRoute>"
      "<bUpdateNeeded>true</bUpdateNeeded><bCuttingMedia>false</bCuttingMedia>"
      "<bVisibleMedia>false</bVisibleMedia>";
  const MediaInfo expected = readMedia(positionalPart() + kTimeStamp + inOrder);
  EXPECT_FALSE(expected.bVisibleMedia);
  EXPECT_EQ(expected.nInputRoute, 2);
  EXPECT_FLOAT_EQ(expected.flDeepCutForceRange, 20.0f);
  EXPECT_EQ(readMedia(positionalPart() + kTimeStamp + shuffled), expected);
}

TEST_F(MediaInfoIOTest, EmptyListsReadEmptyAndWriteEmptyElements) {
  std::string children = positionalPart();
  const std::string feed = "<aflFeedCalibration><value>0.000</value></aflFeedCalibration>";
  children.replace(children.find(feed), feed.size(), "<aflFeedCalibration/>");
  const MediaInfo record = readMedia(children + kTimeStamp);
  EXPECT_EQ(record.aPermissionSetList.size(), 0);
  EXPECT_EQ(record.aQualityInfoList.size(), 0);
  EXPECT_EQ(record.aflFeedCalibration.size(), 0);

  const std::string text = writtenMedia(record);
  EXPECT_NE(text.find("<aPermissionSetList />"), std::string::npos) << text;
  EXPECT_NE(text.find("<aQualityInfoList />"), std::string::npos) << text;
  EXPECT_NE(text.find("<aflFeedCalibration />"), std::string::npos) << text;
}

TEST_F(MediaInfoIOTest, WriterEmitsAll32ChildrenInDocumentOrder) {
  const std::vector<std::string> expected = {"strMediaName",
                                             "strBaseMediaName",
                                             "aPermissionSetList",
                                             "aQualityInfoList",
                                             "nDefaultLevel",
                                             "nDryTime",
                                             "nVacuumPower",
                                             "eHeadHeight",
                                             "aflFeedCalibration",
                                             "nPreHeater",
                                             "nPrintHeater",
                                             "nDryHeater",
                                             "nCutCount",
                                             "nCutVelocity",
                                             "nCutForce",
                                             "flCutOffset",
                                             "TimeStamp",
                                             "bVisibleMedia",
                                             "bCuttingMedia",
                                             "bUpdateNeeded",
                                             "nInputRoute",
                                             "bPreHeaterEnable",
                                             "bPrinterHeaterEnable",
                                             "bDrierEnable",
                                             "nMediaAttribute",
                                             "bHideUnrecommendedMode",
                                             "flNormalCutForceRange",
                                             "flDeepCutForceRange",
                                             "nDeepCutForce",
                                             "nHalfCutForce",
                                             "nOverPrintCount",
                                             "bUseDensityCalibration"};
  xml::Document document = xml::Document::create();
  MediaInfo record;
  record.aflFeedCalibration.add(0.0f);
  xml::Node media = MediaInfoIO::writeMediaInfo(document, record);
  std::vector<std::string> names;
  xml::NodeList children = media.childNodes();
  for (xml::Node child = children.nextNode(); child; child = children.nextNode()) {
    names.emplace_back(child.nodeName());
  }
  EXPECT_EQ(names, expected);
  EXPECT_EQ(writtenField(record, "flDeepCutForceRange"), "50.000");
  EXPECT_EQ(writtenField(record, "nHalfCutForce"), "0.000");
  EXPECT_EQ(writtenField(record, "aflFeedCalibration"), "0.000");
}

TEST_F(MediaInfoIOTest, QualityLevelVisibleByDefault) {
  xml::Document document =
      parseDocument("<QualityInfo><level>2</level>" + localized("names", "Fine") +
                    "<list><a>30</a><b>31</b></list><other>false</other></QualityInfo>");
  QualityInfo record;
  MediaInfoIO::readQualityInfo(rootElement(document), record);
  EXPECT_EQ(record.nQualityLevel, 2);
  EXPECT_EQ(record.strQualityName[xml::kJapanese], "Fine");
  ASSERT_EQ(record.anPermissionIndexList.size(), 2);
  EXPECT_EQ(record.anPermissionIndexList[1], 31);
  EXPECT_TRUE(record.bVisibleQuality);

  const std::string text =
      savedText([&](const xml::Document& d) { return MediaInfoIO::writeQualityInfo(d, record); });
  EXPECT_NE(text.find("<bVisibleQuality>true</bVisibleQuality>"), std::string::npos) << text;
  EXPECT_NE(text.find("<anPermissionIndex>30</anPermissionIndex>"), std::string::npos) << text;
}

TEST_F(MediaInfoIOTest, QualityLevelVisibilityAndShortElement) {
  xml::Document hidden = parseDocument(
      "<QualityInfo><n>0</n><s/><l/><bVisibleQuality>true</bVisibleQuality>"
      "<bVisibleQuality>false</bVisibleQuality></QualityInfo>");
  QualityInfo record;
  MediaInfoIO::readQualityInfo(rootElement(hidden), record);
  EXPECT_FALSE(record.bVisibleQuality);

  xml::Document shortOne = parseDocument("<QualityInfo><n>0</n><s/></QualityInfo>");
  EXPECT_EQ(comErrorOf([&] {
              QualityInfo entry;
              MediaInfoIO::readQualityInfo(rootElement(shortOne), entry);
            }),
            xml::kEPointer);
}

TEST_F(MediaInfoIOTest, TimeStampValuesAreCutToFieldWidths) {
  xml::Document document = parseDocument(
      "<T><y>65537</y><m>257</m><d>-1</d><h>1</h><mi>2</mi><s>3</s><ms>70000</ms></T>");
  TimeStamp stamp;
  readTimeStamp(rootElement(document), stamp);
  EXPECT_EQ(stamp, (TimeStamp{1, 1, 255, 1, 2, 3, 4464}));

  const std::string text = savedText([&](const xml::Document& d) {
    return writeTimeStamp(d, "TimeStamp", TimeStamp{65535, 255, 1, 2, 3, 4, 999});
  });
  EXPECT_EQ(text, resavedText("<TimeStamp><year>65535</year><month>255</month><day>1</day>"
                              "<hour>2</hour><minute>3</minute><second>4</second><ms>999</ms>"
                              "</TimeStamp>"));

  xml::Document shortOne = parseDocument(
      "<T><y>1</y><m>2</m><d>3</d><h>4</h><mi>5</mi>"
      "<s>6</s></T>");
  EXPECT_EQ(comErrorOf([&] {
              TimeStamp value;
              readTimeStamp(rootElement(shortOne), value);
            }),
            xml::kEPointer);
}

}  // namespace
}  // namespace devseries
