#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "devseries/media_info.h"
#include "testsupport/hosts/documents.h"
#include "xml/value_codec.h"

namespace devseries {
namespace {

using testsupport::childNamed;
using testsupport::comErrorOf;
using testsupport::parseDocument;
using testsupport::resavedText;
using testsupport::rootElement;
using testsupport::savedText;

// A CalibrationInfo element with |densities| density children and |labs|
// lab entries of |coordinates| children each.
std::string calibrationXml(int densities = 21, int labs = 21, int coordinates = 3) {
  std::string xml = "<CalibrationInfo><nOutputLimit>90</nOutputLimit><density>";
  for (int i = 0; i < densities; ++i) {
    xml += "<value>" + std::to_string(i) + ".125</value>";
  }
  xml += "</density><lab>";
  static constexpr const char* kNames[] = {"l", "a", "b", "x"};
  for (int i = 0; i < labs; ++i) {
    xml += "<value>";
    for (int c = 0; c < coordinates; ++c) {
      xml += std::string("<") + kNames[c] + ">" + std::to_string(i * 10 + c) + ".500</" +
             kNames[c] + ">";
    }
    xml += "</value>";
  }
  return xml + "</lab></CalibrationInfo>";
}

// The four positional children of a permission set.
const std::string kHead =
    "<nPermissionIndex>10</nPermissionIndex>"
    "<anInkConfigIndexList><anInkConfigIndex>0</anInkConfigIndex></anInkConfigIndexList>"
    "<nResolutionIndex>2</nResolutionIndex><nModeIndex>3</nModeIndex>";

PermissionSet readSet(const std::string& children) {
  xml::Document document = parseDocument("<PermissionSet>" + children + "</PermissionSet>");
  PermissionSet record;
  MediaInfoIO::readPermissionSet(rootElement(document), record);
  return record;
}

std::string writtenSet(const PermissionSet& record) {
  return savedText(
      [&](const xml::Document& d) { return MediaInfoIO::writePermissionSet(d, record); });
}

std::vector<std::string> writtenNames(const PermissionSet& record) {
  xml::Document document = xml::Document::create();
  xml::Node set = MediaInfoIO::writePermissionSet(document, record);
  std::vector<std::string> names;
  xml::NodeList children = set.childNodes();
  for (xml::Node child = children.nextNode(); child; child = children.nextNode()) {
    names.emplace_back(child.nodeName());
  }
  return names;
}

// The index of |name| in |names|, or -1.
int indexOf(const std::vector<std::string>& names, const std::string& name) {
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (names[i] == name) return static_cast<int>(i);
  }
  return -1;
}

xml::HResult readCalibrationError(const std::string& text) {
  xml::Document document = parseDocument(text);
  return comErrorOf([&] {
    CalibrationInfo record;
    MediaInfoIO::readCalibrationInfo(rootElement(document), record);
  });
}

class PermissionSetIOTest : public ::testing::Test {};

TEST_F(PermissionSetIOTest, PayloadSetReadsDefaultsAndRoundTripsToIdenticalXml) {
  const std::string text =
      "<PermissionSet>" + kHead +
      "<nPassmaskIndex>11</nPassmaskIndex><eDirection>131075</eDirection>"
      "<eScreen>65569</eScreen><anVControlIndexList><anVControlIndex>1</anVControlIndex>"
      "<anVControlIndex>2</anVControlIndex><anVControlIndex>3</anVControlIndex>"
      "<anVControlIndex>4</anVControlIndex></anVControlIndexList><anFMPatternIndexList>"
      "<anFMPatternIndex>0</anFMPatternIndex><anFMPatternIndex>1</anFMPatternIndex>"
      "</anFMPatternIndexList><nSeparationIndex>15</nSeparationIndex><aCalibrationInfoList>" +
      calibrationXml() + calibrationXml() +
      "</aCalibrationInfoList><nInkLimit>220</nInkLimit><strPrinterProfile>"
      "KMOS_GenericPVC_900x900.icc</strPrinterProfile><nScanSpeed>1185</nScanSpeed>"
      "<nFeedSpeed>16</nFeedSpeed><bVisiblePermission>true</bVisiblePermission>"
      "<nRealPassCount>6</nRealPassCount><strNextPermissionIndex /></PermissionSet>";
  PermissionSet record;
  MediaInfoIO::readPermissionSet(rootElement(parseDocument(text)), record);

  EXPECT_EQ(record.nModeIndex, 3);
  EXPECT_EQ(record.eScreen, 65569);
  EXPECT_EQ(record.eDirection, 131075);
  EXPECT_EQ(record.anVControlIndexList.size(), 4);
  ASSERT_EQ(record.aCalibrationInfoList.size(), 2);
  EXPECT_EQ(record.aCalibrationInfoList[1].nOutputLimit, 90);
  EXPECT_FLOAT_EQ(record.aCalibrationInfoList[1].density[20], 20.125f);
  EXPECT_FLOAT_EQ(record.aCalibrationInfoList[1].lab[20].b, 202.5f);
  EXPECT_TRUE(record.bRecommended);
  EXPECT_EQ(record.screenOption.nLineCount, 30);
  EXPECT_EQ(record.screenOption.eDotShape, 1);
  EXPECT_EQ(record.screenOption.flDegrees.size(), 0);

  EXPECT_EQ(writtenSet(record), resavedText(text));
}

TEST_F(PermissionSetIOTest, RecommendedFollowsVisibilityUnlessStated) {
  PermissionSet hidden = readSet(kHead + "<bVisiblePermission>false</bVisiblePermission>");
  EXPECT_FALSE(hidden.bRecommended);
  EXPECT_EQ(indexOf(writtenNames(hidden), "bRecommended"), -1);

  // bRecommended before bVisiblePermission still counts as present.
  PermissionSet stated = readSet(kHead +
                                 "<bRecommended>false</bRecommended>"
                                 "<bVisiblePermission>true</bVisiblePermission>");
  EXPECT_TRUE(stated.bVisiblePermission);
  EXPECT_FALSE(stated.bRecommended);
  const std::vector<std::string> names = writtenNames(stated);
  const int visible = indexOf(names, "bVisiblePermission");
  ASSERT_NE(visible, -1);
  EXPECT_EQ(indexOf(names, "bRecommended"), visible + 1);
  EXPECT_NE(writtenSet(stated).find("<bRecommended>false</bRecommended>"), std::string::npos);

  EXPECT_TRUE(readSet(kHead).bRecommended);  // visible by default
}

TEST_F(PermissionSetIOTest, ScreenDefaultsToOneAndOnlyEightWritesItsOption) {
  EXPECT_EQ(readSet(kHead).eScreen, 1);

  PermissionSet custom = readSet(kHead +
                                 "<eScreen>8</eScreen><screenOption><bUseCustomSetting>true"
                                 "</bUseCustomSetting><nLineCount>60</nLineCount></screenOption>");
  EXPECT_EQ(custom.eScreen, 8);
  EXPECT_TRUE(custom.screenOption.bUseCustomSetting);
  EXPECT_EQ(custom.screenOption.nLineCount, 60);
  EXPECT_EQ(custom.screenOption.eDotShape, 1);
  std::vector<std::string> names = writtenNames(custom);
  const int screen = indexOf(names, "eScreen");
  ASSERT_NE(screen, -1);
  EXPECT_EQ(indexOf(names, "screenOption"), screen + 1);
  EXPECT_EQ(names[static_cast<std::size_t>(screen) + 2], "anVControlIndexList");

  custom.eScreen = 1;
  EXPECT_EQ(indexOf(writtenNames(custom), "screenOption"), -1);
}

TEST_F(PermissionSetIOTest, DirectionCodesTakeTheirKindFromTheFlags) {
  EXPECT_EQ(MediaInfoIO::normalizeDirection(3), 131075);
  EXPECT_EQ(MediaInfoIO::normalizeDirection(1), 65537);
  EXPECT_EQ(MediaInfoIO::normalizeDirection(2), 131074);
  EXPECT_EQ(MediaInfoIO::normalizeDirection(131075), 131075);
  EXPECT_EQ(MediaInfoIO::normalizeDirection(65539), 65539);
  EXPECT_EQ(MediaInfoIO::normalizeDirection(0), 0);
  EXPECT_EQ(MediaInfoIO::normalizeDirection(4), 4);
  EXPECT_EQ(MediaInfoIO::normalizeDirection(-1), 196607);
  EXPECT_EQ(MediaInfoIO::normalizeDirection(3 << 16 | 1), 65537);  // kind 3 is replaced
  // The reader applies it.
  EXPECT_EQ(readSet(kHead + "<eDirection>3</eDirection>").eDirection, 131075);
  EXPECT_EQ(readSet(kHead + "<eDirection>-1</eDirection>").eDirection, 196607);
}

TEST_F(PermissionSetIOTest, AbsentNamedFieldsKeepConstructorValues) {
  const PermissionSet record = readSet(kHead + "<unknown>5</unknown><!-- c -->");
  EXPECT_EQ(record.nInkLimit, 0);
  EXPECT_EQ(record.nPassmaskIndex, 0);
  EXPECT_EQ(record.eDirection, 0);
  EXPECT_EQ(record.nSeparationIndex, 0);
  EXPECT_TRUE(record.strPrinterProfile.empty());
  EXPECT_TRUE(record.bVisiblePermission);
  ASSERT_EQ(record.anInkConfigIndexList.size(), 1);
  EXPECT_EQ(record.anInkConfigIndexList[0], 0);
}

TEST_F(PermissionSetIOTest, PositionalPartIgnoresNamesAndFailsWhenShort) {
  const PermissionSet renamed =
      readSet("<a>7</a><b><x>4</x><y>5</y></b><c>8</c><d>9</d><nInkLimit>200</nInkLimit>");
  EXPECT_EQ(renamed.nPermissionIndex, 7);
  ASSERT_EQ(renamed.anInkConfigIndexList.size(), 2);
  EXPECT_EQ(renamed.anInkConfigIndexList[1], 5);
  EXPECT_EQ(renamed.nResolutionIndex, 8);
  EXPECT_EQ(renamed.nModeIndex, 9);
  EXPECT_EQ(renamed.nInkLimit, 200);

  xml::Document shortOne = parseDocument("<PermissionSet><a>7</a><b/><c>8</c></PermissionSet>");
  EXPECT_EQ(comErrorOf([&] {
              PermissionSet record;
              MediaInfoIO::readPermissionSet(rootElement(shortOne), record);
            }),
            xml::kEPointer);
}

TEST_F(PermissionSetIOTest, RepeatedListElementsAppend) {
  const PermissionSet record = readSet(
      kHead +
      "<anFMPatternIndexList><i>0</i><i>1</i></anFMPatternIndexList><nInkLimit>1</nInkLimit>"
      "<anFMPatternIndexList><i>2</i><i>3</i></anFMPatternIndexList>"
      "<anVControlIndexList><i>5</i></anVControlIndexList>"
      "<anVControlIndexList><i>6</i></anVControlIndexList>"
      "<aCalibrationInfoList>" +
      calibrationXml() + "</aCalibrationInfoList><aCalibrationInfoList>" + calibrationXml() +
      "</aCalibrationInfoList><nInkLimit>2</nInkLimit>");
  ASSERT_EQ(record.anFMPatternIndexList.size(), 4);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(record.anFMPatternIndexList[i], i);
  ASSERT_EQ(record.anVControlIndexList.size(), 2);
  EXPECT_EQ(record.anVControlIndexList[1], 6);
  EXPECT_EQ(record.aCalibrationInfoList.size(), 2);
  EXPECT_EQ(record.nInkLimit, 2);  // a repeated scalar takes the later value
}

TEST_F(PermissionSetIOTest, EmptyListsAreWrittenAsEmptyElements) {
  const std::string text = writtenSet(PermissionSet{});
  for (const char* name : {"anInkConfigIndexList", "anVControlIndexList", "anFMPatternIndexList",
                           "aCalibrationInfoList", "strPrinterProfile", "strNextPermissionIndex"}) {
    EXPECT_NE(text.find(std::string("<") + name + " />"), std::string::npos) << name;
  }
}

TEST_F(PermissionSetIOTest, ScreenAnglesReadUnderAnyNameAndWriteNumbered) {
  xml::Document document = parseDocument(
      "<screenOption><flDegrees><value>15</value><value>45.5</value></flDegrees>"
      "<eDotShape>3</eDotShape></screenOption>");
  ScreenOption option;
  option.nLineCount = 99;  // reset by the reader
  MediaInfoIO::readScreenOption(rootElement(document), option);
  EXPECT_EQ(option.nLineCount, 30);
  EXPECT_EQ(option.eDotShape, 3);
  ASSERT_EQ(option.flDegrees.size(), 2);
  EXPECT_FLOAT_EQ(option.flDegrees[1], 45.5f);

  const std::string text =
      savedText([&](const xml::Document& d) { return MediaInfoIO::writeScreenOption(d, option); });
  EXPECT_EQ(text, resavedText("<screenOption><bUseCustomSetting>false</bUseCustomSetting>"
                              "<nLineCount>30</nLineCount><eDotShape>3</eDotShape><flDegrees>"
                              "<flDegree0>15.000</flDegree0><flDegree1>45.500</flDegree1>"
                              "</flDegrees></screenOption>"));

  ScreenOption named;
  MediaInfoIO::readScreenOption(rootElement(parseDocument(text)), named);
  EXPECT_EQ(named, option);

  // Without a flDegrees element the angles already held stay.
  MediaInfoIO::readScreenOption(rootElement(parseDocument("<screenOption/>")), named);
  EXPECT_EQ(named.flDegrees.size(), 2);
  // A second flDegrees element replaces the first one's angles.
  MediaInfoIO::readScreenOption(
      rootElement(parseDocument("<s><flDegrees><v>1</v></flDegrees><flDegrees><v>2</v>"
                                "</flDegrees></s>")),
      named);
  ASSERT_EQ(named.flDegrees.size(), 1);
  EXPECT_FLOAT_EQ(named.flDegrees[0], 2.0f);
}

TEST_F(PermissionSetIOTest, CalibrationTakesExactly21StepsByPosition) {
  xml::Document longer = parseDocument(calibrationXml(22, 22));
  CalibrationInfo record;
  MediaInfoIO::readCalibrationInfo(rootElement(longer), record);
  EXPECT_EQ(record.nOutputLimit, 90);
  EXPECT_FLOAT_EQ(record.density[0], 0.125f);
  EXPECT_FLOAT_EQ(record.density[20], 20.125f);
  EXPECT_FLOAT_EQ(record.lab[3].l, 30.5f);
  EXPECT_FLOAT_EQ(record.lab[3].a, 31.5f);
  EXPECT_FLOAT_EQ(record.lab[3].b, 32.5f);

  const std::string text = savedText(
      [&](const xml::Document& d) { return MediaInfoIO::writeCalibrationInfo(d, record); });
  EXPECT_EQ(text, resavedText(calibrationXml()));

  EXPECT_EQ(readCalibrationError(calibrationXml(20, 21)), xml::kEPointer);
  EXPECT_EQ(readCalibrationError(calibrationXml(21, 20)), xml::kEPointer);
  EXPECT_EQ(readCalibrationError(calibrationXml(21, 21, 2)), xml::kEPointer);
  EXPECT_EQ(readCalibrationError("<CalibrationInfo><n>1</n><density/></CalibrationInfo>"),
            xml::kEPointer);
}

// A media list with one permission set per entry of |separations|, and the
// separations with the given index and channel count.
struct AngleCase {
  GrowableArray<MediaInfo> media;
  GrowableArray<SeparationInfo> separations;

  PermissionSet& set(int media_index, int set_index) {
    return media[media_index].aPermissionSetList[set_index];
  }
  void addSeparation(int index, int channels) {
    SeparationInfo separation;
    separation.nSeparationIndex = index;
    separation.anInputChannelInkIndexList.setSize(channels);
    separations.add(separation);
  }
  void addSet(int media_index, int separation, const std::vector<float>& angles) {
    if (media.size() <= media_index) media.setSize(media_index + 1);
    PermissionSet entry;
    entry.nSeparationIndex = separation;
    for (float angle : angles) entry.screenOption.flDegrees.add(angle);
    media[media_index].aPermissionSetList.add(entry);
  }
  std::vector<float> angles(int media_index, int set_index) {
    const GrowableArray<float>& degrees = set(media_index, set_index).screenOption.flDegrees;
    return std::vector<float>(degrees.begin(), degrees.end());
  }
};

TEST_F(PermissionSetIOTest, ScreenAnglesFitTheSeparationChannels) {
  AngleCase c;
  c.addSeparation(15, 4);
  c.addSeparation(16, 6);
  c.addSeparation(17, 3);
  c.addSeparation(15, 6);  // a later duplicate is not used
  c.addSet(0, 15, {});
  c.addSet(0, 16, {});
  c.addSet(1, 17, {10, 20});
  c.addSet(1, 15, {1, 2, 3, 4});
  c.addSet(1, 99, {7});
  c.addSet(1, 15, {5, 6, 7, 8, 9});
  MediaInfoIO::fitScreenAngles(c.media, c.separations);

  EXPECT_EQ(c.angles(0, 0), (std::vector<float>{30, 45, 90, 60}));
  EXPECT_EQ(c.angles(0, 1), (std::vector<float>{15, 45, 90, 75, 45, 45}));
  EXPECT_EQ(c.angles(1, 0), (std::vector<float>{10, 20, 0}));
  EXPECT_EQ(c.angles(1, 1), (std::vector<float>{1, 2, 3, 4}));
  EXPECT_EQ(c.angles(1, 2), (std::vector<float>{7}));
  EXPECT_EQ(c.angles(1, 3), (std::vector<float>{30, 45, 90, 60}));
}

TEST_F(PermissionSetIOTest, ScreenAnglesShrinkToFewerChannels) {
  AngleCase c;
  c.addSeparation(1, 2);
  c.addSeparation(2, 0);
  c.addSet(0, 1, {10, 20, 30});
  c.addSet(0, 2, {10});
  MediaInfoIO::fitScreenAngles(c.media, c.separations);
  EXPECT_EQ(c.angles(0, 0), (std::vector<float>{10, 20}));
  EXPECT_TRUE(c.angles(0, 1).empty());
}

}  // namespace
}  // namespace devseries
