#include <gtest/gtest.h>

#include <string>

#include "devseries/newer_lists.h"
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

GrowableArray<PrintChartFileInfoSet> readSets(const std::string& text) {
  GrowableArray<PrintChartFileInfoSet> list;
  readPrintChartFileInfoSetList(rootElement(parseDocument(text)), list);
  return list;
}

GrowableArray<InkVolumeInfo> readVolumes(const std::string& text) {
  GrowableArray<InkVolumeInfo> list;
  readInkVolumeInfoList(rootElement(parseDocument(text)), list);
  return list;
}

InkVolumeInfo readVolume(const std::string& text) {
  InkVolumeInfo record;
  readInkVolumeInfo(rootElement(parseDocument(text)), record);
  return record;
}

const char kPayloadSets[] =
    "<aPrintChartFileInfoSetList>"
    "<PrintChartFileInfoSet><nIndex>0</nIndex>"
    "<strCalibrationFileName>CMYK Calibration 84.ps</strCalibrationFileName>"
    "<strInkLimitFileName>CMYK Ink Limit 1.0.ps</strInkLimitFileName>"
    "<strTestPrintFileName>Test.ps</strTestPrintFileName></PrintChartFileInfoSet>"
    "<PrintChartFileInfoSet><nIndex>1</nIndex>"
    "<strCalibrationFileName>CMYK Calibration 84.ps</strCalibrationFileName>"
    "<strInkLimitFileName>CMYK Ink Limit 1.0.ps</strInkLimitFileName>"
    "<strTestPrintFileName/></PrintChartFileInfoSet>"
    "</aPrintChartFileInfoSetList>";

TEST(PrintChartFileInfoSetIO, PayloadListRoundTripsToTheSameXml) {
  const GrowableArray<PrintChartFileInfoSet> list = readSets(kPayloadSets);
  ASSERT_EQ(list.size(), 2);
  EXPECT_EQ(list[0].nIndex, 0);
  EXPECT_EQ(list[0].strCalibrationFileName, "CMYK Calibration 84.ps");
  EXPECT_EQ(list[0].strInkLimitFileName, "CMYK Ink Limit 1.0.ps");
  EXPECT_EQ(list[0].strTestPrintFileName, "Test.ps");
  EXPECT_EQ(list[1].nIndex, 1);
  EXPECT_EQ(list[1].strTestPrintFileName, "");
  EXPECT_EQ(
      savedText([&](const xml::Document& d) { return writePrintChartFileInfoSetList(d, list); }),
      resavedText(kPayloadSets));
}

TEST(PrintChartFileInfoSetIO, CommentsAndStrangersAmongSetsAreSkipped) {
  const GrowableArray<PrintChartFileInfoSet> list = readSets(
      "<aPrintChartFileInfoSetList><!-- sets -->"
      "<PrintChartFileInfoSet><nIndex>4</nIndex></PrintChartFileInfoSet>"
      "<printChartFileInfoSet><nIndex>8</nIndex></printChartFileInfoSet>"
      "<PrintChartFileInfoSet><strInkLimitFileName>b.ps</strInkLimitFileName>"
      "<Other>x</Other></PrintChartFileInfoSet></aPrintChartFileInfoSetList>");
  ASSERT_EQ(list.size(), 2);
  EXPECT_EQ(list[0].nIndex, 4);
  // Each item starts from a fresh record: no index inherited from the one before.
  EXPECT_EQ(list[1].nIndex, 0);
  EXPECT_EQ(list[1].strInkLimitFileName, "b.ps");
  EXPECT_EQ(list[1].strCalibrationFileName, "");
}

TEST(PrintChartFileInfoSetIO, FieldsReadByNameInAnyOrderLaterDuplicateWins) {
  PrintChartFileInfoSet record;
  readPrintChartFileInfoSet(
      rootElement(
          parseDocument("<PrintChartFileInfoSet><strTestPrintFileName>t.ps</strTestPrintFileName>"
                        "<nIndex>3</nIndex><strCalibrationFileName>a.ps</strCalibrationFileName>"
                        "<nIndex>5</nIndex></PrintChartFileInfoSet>")),
      record);
  EXPECT_EQ(record.nIndex, 5);
  EXPECT_EQ(record.strCalibrationFileName, "a.ps");
  EXPECT_EQ(record.strTestPrintFileName, "t.ps");
}

TEST(PrintChartFileInfoSetIO, ListReadAppendsToWhatTheListHolds) {
  GrowableArray<PrintChartFileInfoSet> list;
  PrintChartFileInfoSet existing;
  existing.nIndex = 9;
  list.add(existing);
  readPrintChartFileInfoSetList(rootElement(parseDocument(kPayloadSets)), list);
  ASSERT_EQ(list.size(), 3);
  EXPECT_EQ(list[0].nIndex, 9);
  EXPECT_EQ(list[2].nIndex, 1);
}

TEST(PrintChartFileInfoSetIO, MarkupCharactersInFileNamesRoundTripUnchanged) {
  const std::string text =
      "<PrintChartFileInfoSet><nIndex>2</nIndex>"
      "<strCalibrationFileName>Cal &amp; Co &lt;84&gt;.ps</strCalibrationFileName>"
      "<strInkLimitFileName>a\\x26b.ps</strInkLimitFileName>"
      "<strTestPrintFileName>&quot;T&apos;.ps</strTestPrintFileName></PrintChartFileInfoSet>";
  PrintChartFileInfoSet record;
  readPrintChartFileInfoSet(rootElement(parseDocument(text)), record);
  EXPECT_EQ(record.strCalibrationFileName, "Cal & Co <84>.ps");
  EXPECT_EQ(record.strInkLimitFileName, "a\\x26b.ps");  // plain text: never unescaped
  EXPECT_EQ(record.strTestPrintFileName, "\"T'.ps");

  const std::string written =
      savedText([&](const xml::Document& d) { return writePrintChartFileInfoSet(d, record); });
  EXPECT_EQ(written, resavedText(text));
  PrintChartFileInfoSet again;
  readPrintChartFileInfoSet(rootElement(parseDocument(written)), again);
  EXPECT_EQ(again, record);
}

TEST(PrintChartFileInfoSetIO, EmptyListWritesAnEmptyElement) {
  xml::Document document = xml::Document::create();
  xml::Node list = writePrintChartFileInfoSetList(document, {});
  EXPECT_EQ(list.nodeName(), "aPrintChartFileInfoSetList");
  EXPECT_TRUE(list.firstChild().isNull());
  EXPECT_EQ(writeInkVolumeInfoList(document, {}).nodeName(), "aInkVolumeInfoList");
  EXPECT_TRUE(writeInkVolumeInfoList(document, {}).firstChild().isNull());
}

const char kVolume[] =
    "<InkVolumeInfo><nInkVolumeIndex>1010</nInkVolumeIndex><astrInkVolumeList>"
    "<strInkVolume_pl>4.77,10.18,17.00</strInkVolume_pl><strInkVolume_pl>5.1</strInkVolume_pl>"
    "<strInkVolume_pl>3.00,6.00</strInkVolume_pl></astrInkVolumeList></InkVolumeInfo>";

TEST(InkVolumeInfoIO, ItemRoundTripsToTheSameXml) {
  const InkVolumeInfo record = readVolume(kVolume);
  EXPECT_EQ(record.nInkVolumeIndex, 1010);
  ASSERT_EQ(record.astrInkVolumeList.size(), 3);
  EXPECT_EQ(record.astrInkVolumeList[0], "4.77,10.18,17.00");
  EXPECT_EQ(record.astrInkVolumeList[2], "3.00,6.00");
  EXPECT_EQ(savedText([&](const xml::Document& d) { return writeInkVolumeInfo(d, record); }),
            resavedText(kVolume));
}

TEST(InkVolumeInfoIO, ChildrenInEitherOrderReadTheSame) {
  const InkVolumeInfo reordered = readVolume(
      "<InkVolumeInfo><astrInkVolumeList>"
      "<strInkVolume_pl>4.77,10.18,17.00</strInkVolume_pl><strInkVolume_pl>5.1</strInkVolume_pl>"
      "<strInkVolume_pl>3.00,6.00</strInkVolume_pl></astrInkVolumeList>"
      "<nInkVolumeIndex>1010</nInkVolumeIndex></InkVolumeInfo>");
  EXPECT_EQ(reordered, readVolume(kVolume));
}

TEST(InkVolumeInfoIO, MissingChildrenReadAsZeroAndEmptyList) {
  const InkVolumeInfo record = readVolume("<InkVolumeInfo><x>1</x></InkVolumeInfo>");
  EXPECT_EQ(record.nInkVolumeIndex, 0);
  EXPECT_EQ(record.astrInkVolumeList.size(), 0);

  xml::Document document = xml::Document::create();
  xml::Node written = writeInkVolumeInfo(document, record);
  EXPECT_EQ(xml::readText(childNamed(written, "nInkVolumeIndex")), "0");
  xml::Node volumes = childNamed(written, "astrInkVolumeList");
  ASSERT_FALSE(volumes.isNull());
  EXPECT_TRUE(volumes.firstChild().isNull());
}

TEST(InkVolumeInfoIO, SecondListAppendsAndStrangersAreSkipped) {
  const InkVolumeInfo record = readVolume(
      "<InkVolumeInfo><astrInkVolumeList><strInkVolume_pl>a</strInkVolume_pl><!-- c -->"
      "<strinkvolume_pl>x</strinkvolume_pl></astrInkVolumeList><nInkVolumeIndex>2"
      "</nInkVolumeIndex><astrInkVolumeList><strInkVolume_pl>b</strInkVolume_pl>"
      "</astrInkVolumeList></InkVolumeInfo>");
  ASSERT_EQ(record.astrInkVolumeList.size(), 2);
  EXPECT_EQ(record.astrInkVolumeList[0], "a");
  EXPECT_EQ(record.astrInkVolumeList[1], "b");
}

TEST(InkVolumeInfoIO, ItemReadReplacesTheTextsTheRecordHeld) {
  InkVolumeInfo record;
  record.astrInkVolumeList.add("old");
  readInkVolumeInfo(rootElement(parseDocument(kVolume)), record);
  ASSERT_EQ(record.astrInkVolumeList.size(), 3);
  EXPECT_EQ(record.astrInkVolumeList[0], "4.77,10.18,17.00");
}

TEST(InkVolumeInfoIO, ListOfFortyTwoEntriesKeepsDocumentOrder) {
  std::string text = "<aInkVolumeInfoList><!-- volumes -->";
  for (int i = 0; i < 42; ++i) {
    text += "<InkVolumeInfo><nInkVolumeIndex>" + std::to_string(1000 + i) +
            "</nInkVolumeIndex><astrInkVolumeList>";
    for (int j = 0; j <= i % 5 + 3; ++j) {
      text +=
          "<strInkVolume_pl>" + std::to_string(i) + "." + std::to_string(j) + "</strInkVolume_pl>";
    }
    text += "</astrInkVolumeList></InkVolumeInfo>";
  }
  text += "<InkVolume/></aInkVolumeInfoList>";

  const GrowableArray<InkVolumeInfo> list = readVolumes(text);
  ASSERT_EQ(list.size(), 42);
  for (int i = 0; i < 42; ++i) {
    EXPECT_EQ(list[i].nInkVolumeIndex, 1000 + i);
    ASSERT_EQ(list[i].astrInkVolumeList.size(), i % 5 + 4);
    EXPECT_EQ(list[i].astrInkVolumeList[i % 5 + 3],
              std::to_string(i) + "." + std::to_string(i % 5 + 3));
  }

  // The comment and the stranger are not written back; the rest is.
  std::string expected = text;
  expected.erase(expected.find("<!-- volumes -->"), 16);
  expected.erase(expected.find("<InkVolume/>"), 12);
  EXPECT_EQ(savedText([&](const xml::Document& d) { return writeInkVolumeInfoList(d, list); }),
            resavedText(expected));
}

TEST(NewerListsIO, NullArgumentsRaiseEPointer) {
  GrowableArray<PrintChartFileInfoSet> sets;
  GrowableArray<InkVolumeInfo> volumes;
  EXPECT_EQ(comErrorOf([&] { readPrintChartFileInfoSetList(xml::Node(), sets); }), xml::kEPointer);
  EXPECT_EQ(comErrorOf([&] { readInkVolumeInfoList(xml::Node(), volumes); }), xml::kEPointer);
  EXPECT_EQ(comErrorOf([&] { writeInkVolumeInfo(xml::Document(), InkVolumeInfo()); }),
            xml::kEPointer);
  EXPECT_EQ(comErrorOf([&] { writePrintChartFileInfoSet(xml::Document(), {}); }), xml::kEPointer);
}

}  // namespace
}  // namespace devseries
