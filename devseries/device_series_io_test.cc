#include "devseries/device_series_io.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "testsupport/hosts/device_series_docs.h"

namespace devseries {
namespace {

using testsupport::DeviceSeriesIOTest;
using testsupport::documentText;
using testsupport::formatOneChildren;
using testsupport::formatOneFromPayload;
using testsupport::kIn;
using testsupport::kOut;
using testsupport::kPayloadNames;
using testsupport::payloadText;
using testsupport::replaced;
using testsupport::rootChildBlock;

// ---------------------------------------------------------------------------
// Payload documents and the version a write carries

TEST_F(DeviceSeriesIOTest, PayloadDocumentsComeBackByteForByte) {
  for (const char* name : kPayloadNames) {
    SCOPED_TRACE(name);
    const std::string original = payloadText(name);
    memory_.put(kIn, original);
    DeviceSeriesIO2 reader(kIn, env_);
    DeviceSeries record;
    ASSERT_TRUE(reader.read(record)) << reader.lastError();
    EXPECT_EQ(reader.getVersionCode(), 6061300);
    EXPECT_TRUE(reader.lastError().empty());

    memory_.put(kOut, original);
    DeviceSeriesIO2 writer(kOut, env_);
    ASSERT_TRUE(writer.write(record));
    EXPECT_EQ(memory_.content(kOut), original);
  }
}

TEST_F(DeviceSeriesIOTest, FreshPathGetsTheWritingClassVersion) {
  const std::string original = payloadText("ostrand_km_300.dsr");
  DeviceSeries record = readPayload("ostrand_km_300.dsr");

  DeviceSeriesIO2 second(kOut, env_);
  ASSERT_TRUE(second.write(record));
  EXPECT_EQ(memory_.content(kOut), replaced(original, "6.6.13.0", "3.3.0.0"));

  DeviceSeriesIO first("C:\\Rastella\\first.dsr", env_);
  ASSERT_TRUE(first.write(record));
  EXPECT_EQ(memory_.content("C:\\Rastella\\first.dsr"), replaced(original, "6.6.13.0", "1.0.0.0"));
}

TEST_F(DeviceSeriesIOTest, WriteLeavesTheRecordUnchanged) {
  // Feed calibration lists longer and shorter than the model count are
  // written as they stand; fitting them is the caller's step.
  DeviceSeries record = readPayload("ostrand_km.dsr");
  ASSERT_GE(record.aMediaInfoList.size(), 2);
  record.aMediaInfoList[0].aflFeedCalibration.add(1.5f);
  record.aMediaInfoList[1].aflFeedCalibration.clear();
  const DeviceSeries before = record;
  EXPECT_EQ(reread(record), before);
  EXPECT_EQ(record, before);
}

TEST_F(DeviceSeriesIOTest, WriteLeavesTheObjectsLoadedDocumentAlone) {
  // A read after a write through the same object sees the file as it was
  // loaded before, not the record just written.
  memory_.put(kIn, payloadText("ostrand_km.dsr"));
  DeviceSeriesIO2 io(kIn, env_);
  DeviceSeries record;
  ASSERT_TRUE(io.read(record));
  DeviceSeries empty;
  ASSERT_TRUE(io.write(empty));
  EXPECT_EQ(memory_.content(kIn).find("<ModelInfo>"), std::string::npos);
  DeviceSeries again;
  ASSERT_TRUE(io.read(again));
  EXPECT_EQ(again, record);
}

// ---------------------------------------------------------------------------
// Format 1.0.0.0 and the optional children

TEST_F(DeviceSeriesIOTest, FormatOneDocumentGetsEmptyNewerListsAndDefaultAddresses) {
  const std::string payload = payloadText("ostrand_km.dsr");
  DeviceSeries record;
  ASSERT_TRUE(readText(formatOneFromPayload(payload), record));
  EXPECT_EQ(record.aPrintChartFileInfoSetList.size(), 0);
  EXPECT_EQ(record.aInkVolumeInfoList.size(), 0);
  EXPECT_EQ(record.aMediaInfoList.size(), 5);

  const std::string japanese = record.strFirmwareDownloadURL[xml::kJapanese];
  EXPECT_EQ(japanese, kFirmwareDownloadURLJapanese);
  EXPECT_NE(japanese, kFirmwareDownloadURLInternational);
  for (int slot = 0; slot < xml::kLanguageCount; ++slot) {
    if (slot == xml::kJapanese) continue;
    EXPECT_EQ(record.strFirmwareDownloadURL[static_cast<std::size_t>(slot)],
              kFirmwareDownloadURLInternational)
        << slot;
  }
  EXPECT_TRUE(japanese.ends_with("/support/color/hrd/index.html"));

  // Written again it gains the three newer children, after the ten.
  const std::string written = writtenText(record);
  const std::size_t media = written.find("\t</aMediaInfoList>");
  const std::size_t charts = written.find("\t<aPrintChartFileInfoSetList />");
  const std::size_t volumes = written.find("\t<aInkVolumeInfoList />");
  const std::size_t urls = written.find("\t<strFirmwareDownloadURL>");
  EXPECT_LT(media, charts);
  EXPECT_LT(charts, volumes);
  EXPECT_LT(volumes, urls);
  EXPECT_NE(urls, std::string::npos);
  EXPECT_NE(written.find("<Japanese>" + japanese + "</Japanese>"), std::string::npos);
}

TEST_F(DeviceSeriesIOTest, OptionalChildrenInAnyOrderAndStrangersIgnored) {
  const std::string payload = payloadText("ostrand_km_lx.dsr");
  const DeviceSeries inOrder = readPayload("ostrand_km_lx.dsr");
  const std::string charts = rootChildBlock(payload, "aPrintChartFileInfoSetList");
  const std::string volumes = rootChildBlock(payload, "aInkVolumeInfoList");
  const std::string urls = rootChildBlock(payload, "strFirmwareDownloadURL");

  // Strangers hold items the list readers would take if names were not
  // compared exactly.
  std::string stranger = replaced(volumes, "aInkVolumeInfoList>", "aInkVolumeList>");
  stranger = replaced(stranger, "aInkVolumeInfoList>", "aInkVolumeList>");
  std::string wrongCase =
      replaced(charts, "<aPrintChartFileInfoSetList>", "<aprintchartfileinfosetlist>");
  wrongCase = replaced(wrongCase, "</aPrintChartFileInfoSetList>", "</aprintchartfileinfosetlist>");

  std::string shuffled = payload.substr(0, payload.find(charts)) + urls + stranger +
                         "\t<!-- comment among the optional children -->\n" + volumes + wrongCase +
                         charts + "</DeviceSeries>\n";
  DeviceSeries record;
  ASSERT_TRUE(readText(shuffled, record));
  EXPECT_EQ(record, inOrder);
}

TEST_F(DeviceSeriesIOTest, EnglishOnlyFirmwareAddressOverridesSlotZeroOnly) {
  std::vector<std::string> children = formatOneChildren();
  children.push_back(
      "<strFirmwareDownloadURL><English>https://own.example/fw</English></strFirmwareDownloadURL>");
  DeviceSeries record;
  ASSERT_TRUE(readText(documentText(children, "3.3.0.0"), record));
  EXPECT_EQ(record.strFirmwareDownloadURL[xml::kEnglish], "https://own.example/fw");
  EXPECT_EQ(record.strFirmwareDownloadURL[xml::kJapanese], kFirmwareDownloadURLJapanese);
  EXPECT_EQ(record.strFirmwareDownloadURL[xml::kGerman], kFirmwareDownloadURLInternational);
  EXPECT_EQ(record.strFirmwareDownloadURL[xml::kArabic], kFirmwareDownloadURLInternational);
}

// ---------------------------------------------------------------------------
// Positional root children

TEST_F(DeviceSeriesIOTest, PositionalChildrenAreTakenWhateverTheirNames) {
  std::string payload = payloadText("ostrand_km_300.dsr");
  const DeviceSeries expected = readPayload("ostrand_km_300.dsr");
  for (const char* name : {"aModelInfoList", "aInkConfigInfoList", "aVControlPointList",
                           "commandSet", "aMediaInfoList"}) {
    payload = replaced(payload, std::string("<") + name + ">", "<renamed>");
    payload = replaced(payload, std::string("</") + name + ">", "</renamed>");
  }
  DeviceSeries record;
  ASSERT_TRUE(readText(payload, record));
  EXPECT_EQ(record, expected);
}

TEST_F(DeviceSeriesIOTest, CommentOrSwapAmongTheTenShiftsEveryLaterChild) {
  std::vector<std::string> withComment = formatOneChildren();
  withComment.insert(withComment.begin() + 3, "<!-- a note -->");
  DeviceSeries record;
  std::string error;
  // The comment takes the place of aResolutionInfoList, so aPatternInfoList
  // (empty) stands where commandSet is read; the comment is the cause.
  EXPECT_FALSE(readText(documentText(withComment), record, &error));
  EXPECT_EQ(error,
            "a comment stands where <aResolutionInfoList> belongs (extra, renamed or misplaced) in "
            "/DeviceSeries");

  std::vector<std::string> swapped = formatOneChildren();
  std::swap(swapped[8], swapped[9]);
  EXPECT_FALSE(readText(documentText(swapped), record, &error));
  EXPECT_EQ(error,
            "<aMediaInfoList> stands where <commandSet> belongs (extra, renamed or misplaced) in "
            "/DeviceSeries");

  // Before the root children or after the ten, a comment takes no field's place.
  std::vector<std::string> harmless = formatOneChildren();
  harmless.push_back("<!-- after the ten -->");
  EXPECT_TRUE(readText(replaced(documentText(harmless), "<?xml version=\"1.0\"?>",
                                "<?xml version=\"1.0\"?><!-- before the root -->"),
                       record, &error))
      << error;
}

TEST_F(DeviceSeriesIOTest, TooFewRootOrCommandChildrenFailTheRead) {
  std::vector<std::string> nine = formatOneChildren();
  nine.pop_back();
  DeviceSeries record;
  std::string error;
  EXPECT_FALSE(readText(documentText(nine), record, &error));
  EXPECT_EQ(error, "a positional element is missing in /DeviceSeries");

  std::vector<std::string> eightCommands = formatOneChildren();
  eightCommands[8] = replaced(eightCommands[8], "<strCancel></strCancel>", "");
  EXPECT_FALSE(readText(documentText(eightCommands), record, &error));
  EXPECT_EQ(error, "a positional element is missing in /DeviceSeries/commandSet");
}

TEST_F(DeviceSeriesIOTest, FailedReadKeepsWhatWasReadBeforeAndNamesThePath) {
  const std::string payload = payloadText("ostrand_km.dsr");
  const DeviceSeries whole = readPayload("ostrand_km.dsr");
  // The second media entry loses every child: its first positional read fails.
  const std::size_t first = payload.find("\t\t<MediaInfo>");
  const std::size_t second = payload.find("\t\t<MediaInfo>", first + 1);
  const std::size_t secondEnd = payload.find("\t\t</MediaInfo>\n", second) + 15;
  std::string broken = payload;
  broken.replace(second, secondEnd - second, "\t\t<MediaInfo />\n");

  DeviceSeries record;
  std::string error;
  ASSERT_FALSE(readText(broken, record, &error));
  EXPECT_EQ(error, "a positional element is missing in /DeviceSeries/aMediaInfoList/MediaInfo[2]");
  EXPECT_EQ(record.aModelInfoList, whole.aModelInfoList);
  EXPECT_EQ(record.aVControlPointList, whole.aVControlPointList);
  EXPECT_EQ(record.aPatternInfoList, whole.aPatternInfoList);
  EXPECT_EQ(record.commandSet, whole.commandSet);
  // The first media is complete; the screen angles of its permission sets
  // are fitted only after a complete read.
  ASSERT_EQ(record.aMediaInfoList.size(), 1);
  MediaInfo firstMedia = whole.aMediaInfoList[0];
  for (PermissionSet& set : firstMedia.aPermissionSetList) {
    EXPECT_EQ(set.screenOption.flDegrees.size(), 4);
    set.screenOption.flDegrees.clear();
  }
  EXPECT_EQ(record.aMediaInfoList[0], firstMedia);
  EXPECT_EQ(record.aInkVolumeInfoList.size(), 0);
  EXPECT_TRUE(record.strFirmwareDownloadURL[0].empty());
}

// ---------------------------------------------------------------------------
// After-read fix-ups and repeated reads

TEST_F(DeviceSeriesIOTest, SeparationsWithoutInputInksGetTheProcessInks) {
  DeviceSeries record;
  const char* shortNames[] = {"K", "C", "M", "Y"};
  for (int i = 0; i < 4; ++i) {
    InkInfo ink;
    ink.nInkIndex = 4096 + i;
    ink.strShortInkName = shortNames[i];
    record.aInkInfoList.add(ink);
  }
  SeparationInfo bare;
  bare.nSeparationIndex = 3;
  SeparationInfo own;
  own.nSeparationIndex = 5;
  own.anInputChannelInkIndexList.add(4099);
  record.aSeparationInfoList.add(bare);
  record.aSeparationInfoList.add(own);
  bare.nSeparationIndex = 7;
  record.aSeparationInfoList.add(bare);
  MediaInfo media;
  PermissionSet set;
  set.nSeparationIndex = 7;
  media.aPermissionSetList.add(set);
  record.aMediaInfoList.add(media);

  const DeviceSeries read = reread(record);
  const std::vector<int> cmyk = {4097, 4098, 4099, 4096};
  ASSERT_EQ(read.aSeparationInfoList.size(), 3);
  for (int i : {0, 2}) {
    const auto& inks = read.aSeparationInfoList[i].anInputChannelInkIndexList;
    EXPECT_EQ(std::vector<int>(inks.begin(), inks.end()), cmyk) << i;
  }
  EXPECT_EQ(read.aSeparationInfoList[1].anInputChannelInkIndexList.size(), 1);
  // The screen angles are fitted to the four channels just given.
  const auto& degrees = read.aMediaInfoList[0].aPermissionSetList[0].screenOption.flDegrees;
  EXPECT_EQ(std::vector<float>(degrees.begin(), degrees.end()),
            (std::vector<float>{30.0f, 45.0f, 90.0f, 60.0f}));
}

TEST_F(DeviceSeriesIOTest, SecondReadDoublesEveryListButTwo) {
  memory_.put(kIn, payloadText("ostrand_km.dsr"));
  DeviceSeriesIO2 io(kIn, env_);
  DeviceSeries once;
  ASSERT_TRUE(io.read(once));
  DeviceSeries twice = once;
  ASSERT_TRUE(io.read(twice));
  EXPECT_EQ(twice.aModelInfoList.size(), 2 * once.aModelInfoList.size());
  EXPECT_EQ(twice.aInkInfoList.size(), 2 * once.aInkInfoList.size());
  EXPECT_EQ(twice.aResolutionInfoList.size(), 2 * once.aResolutionInfoList.size());
  EXPECT_EQ(twice.aModeInfoList.size(), 2 * once.aModeInfoList.size());
  EXPECT_EQ(twice.aSeparationInfoList.size(), 2 * once.aSeparationInfoList.size());
  EXPECT_EQ(twice.aPatternInfoList.size(), 2 * once.aPatternInfoList.size());
  EXPECT_EQ(twice.aMediaInfoList.size(), 2 * once.aMediaInfoList.size());
  EXPECT_EQ(twice.aPrintChartFileInfoSetList.size(), 2 * once.aPrintChartFileInfoSetList.size());
  EXPECT_EQ(twice.aInkVolumeInfoList.size(), 2 * once.aInkVolumeInfoList.size());
  EXPECT_EQ(twice.aInkConfigInfoList, once.aInkConfigInfoList);
  EXPECT_EQ(twice.aVControlPointList, once.aVControlPointList);
  EXPECT_EQ(twice.commandSet, once.commandSet);
}

// ---------------------------------------------------------------------------
// Writing

TEST_F(DeviceSeriesIOTest, FittedFeedCalibrationIsWrittenOncePerModel) {
  DeviceSeries record;
  record.aModelInfoList.add(ModelInfo());
  record.aModelInfoList.add(ModelInfo());
  MediaInfo fiveValues;
  for (float value : {1.25f, 2.5f, 3.0f, 4.0f, 5.0f}) fiveValues.aflFeedCalibration.add(value);
  record.aMediaInfoList.add(fiveValues);
  record.aMediaInfoList.add(MediaInfo());

  fitFeedCalibrationLists(record);
  EXPECT_EQ(record.aMediaInfoList[0].aflFeedCalibration.size(), 2);
  EXPECT_EQ(record.aMediaInfoList[1].aflFeedCalibration.size(), 2);
  const std::string text = writtenText(record);
  const std::string first =
      "<aflFeedCalibration>\n\t\t\t\t<value>1.250</value>\n"
      "\t\t\t\t<value>2.500</value>\n\t\t\t</aflFeedCalibration>";
  const std::string zeros =
      "<aflFeedCalibration>\n\t\t\t\t<value>0.000</value>\n"
      "\t\t\t\t<value>0.000</value>\n\t\t\t</aflFeedCalibration>";
  EXPECT_NE(text.find(first), std::string::npos) << text;
  EXPECT_NE(text.find(zeros), std::string::npos) << text;
}

TEST_F(DeviceSeriesIOTest, BuiltRootClaimsFormatOneUntilWriteSetsTheVersion) {
  DeviceSeries record = readPayload("ostrand_km.dsr");
  DeviceSeriesIO2 io(kOut, env_);
  const xml::Document document = xml::Document::create();
  const xml::Node root = io.writeDeviceSeries(document, record);
  EXPECT_EQ(root.nodeName(), "DeviceSeries");
  EXPECT_EQ(root.attributes().getNamedItem("strVersion").nodeTypedValue(), "1.0.0.0");
}

// ---------------------------------------------------------------------------
// Command strings

TEST_F(DeviceSeriesIOTest, CommandStringsKeepZeroBytesAndEmptiness) {
  DeviceSeries record;
  ASSERT_TRUE(readText(documentText(formatOneChildren({"\\x1BE\\x00\\x00Z&lt;"})), record));
  EXPECT_EQ(record.commandSet.strInitialize, std::string("\x1B"
                                                         "E\0\0Z<",
                                                         6));
  EXPECT_EQ(record.commandSet.strCutTailer, "");

  record.commandSet.strCancel = std::string("\x18\0?JOB?", 7);
  const std::string text = writtenText(record);
  EXPECT_NE(text.find("<strInitialize>\\x1BE\\x00\\x00Z\\x3C</strInitialize>"), std::string::npos);
  EXPECT_NE(text.find("<strCutTailer />"), std::string::npos);
  DeviceSeries again;
  ASSERT_TRUE(readText(text, again));
  EXPECT_EQ(again.commandSet, record.commandSet);
}

TEST_F(DeviceSeriesIOTest, MalformedEscapeFailsWithTheDecodersMessage) {
  DeviceSeries record;
  std::string error;
  EXPECT_FALSE(
      readText(documentText(formatOneChildren({"", "", "", "", "", "\\q0"})), record, &error));
  EXPECT_EQ(error,
            "decodeEscapedString(): unrecognized escape sequence in /DeviceSeries/commandSet");
  EXPECT_FALSE(readText(documentText(formatOneChildren({"ok\\x4"})), record, &error));
  EXPECT_EQ(error, "decodeEscapedString(): invalid source string in /DeviceSeries/commandSet");
}

// ---------------------------------------------------------------------------
// Documents that are not device-series documents

TEST_F(DeviceSeriesIOTest, UnreadableDocumentsFailWithTheirReason) {
  DeviceSeries record;
  std::string error;
  EXPECT_FALSE(readText("<DeviceSeries strVersion=\"1.0.0.0\"><aModelInfoList>", record, &error));
  EXPECT_EQ(error, "line 1, column 51: Start-end tags mismatch");

  EXPECT_FALSE(readText("<?xml version=\"1.0\"?><Other strVersion=\"1.0.0.0\"/>", record, &error));
  EXPECT_EQ(error, "no DeviceSeries root element");

  EXPECT_FALSE(readText(replaced(documentText(formatOneChildren()), " strVersion=\"1.0.0.0\"", ""),
                        record, &error));
  EXPECT_EQ(error, "DeviceSeriesIO: Lacking version attribute");

  DeviceSeriesIO2 missing("C:\\Rastella\\none.dsr", env_);
  EXPECT_FALSE(missing.read(record));
  EXPECT_FALSE(missing.lastError().empty());
  EXPECT_EQ(record, DeviceSeries());
}

}  // namespace
}  // namespace devseries
