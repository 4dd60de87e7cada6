#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "devseries/output_table_codec.h"
#include "devseries/separation_info.h"
#include "testsupport/hosts/documents.h"
#include "xml/base64.h"
#include "xml/value_codec.h"

namespace devseries {
namespace {

using testsupport::childNamed;
using testsupport::comErrorOf;
using testsupport::parseDocument;
using testsupport::resavedText;
using testsupport::rootElement;
using testsupport::savedText;

// A separation table as the payload holds it: no output table, eType 0.
std::string payloadTable(int channel, int ink) {
  const std::string c = std::to_string(channel);
  return "<SeparationTable><nInputChannelNum>" + c +
         "</nInputChannelNum><usOutputTable/><dStart>0.000</dStart><dPeak>0.000</dPeak>"
         "<dMax>0.000</dMax><dEnd>0.000</dEnd><dEndMax>0.000</dEndMax><eType>0</eType>"
         "<strInputChannel>" +
         c + "</strInputChannel><nInkIndex>" + std::to_string(ink) +
         "</nInkIndex><nHeadCount>1</nHeadCount></SeparationTable>";
}

std::string localizedName(const std::string& english) {
  std::string text = "<strSeparationName>";
  for (int slot = 0; slot < xml::kLanguageCount; ++slot) {
    const std::string& language = xml::languageName(slot);
    text += "<" + language + ">" + english + "</" + language + ">";
  }
  return text + "</strSeparationName>";
}

std::string payloadSeparation() {
  return "<SeparationInfo><nSeparationIndex>3</nSeparationIndex>" + localizedName("CMYK") +
         "<nOutputChannel>2</nOutputChannel><aSeparationTableList>" + payloadTable(0, 1) +
         payloadTable(1, 2) +
         "</aSeparationTableList><nPrintChartFileInfoIndex>1</nPrintChartFileInfoIndex>"
         "<strInkLimitTableFile>CMYK Ink Limit.ilt</strInkLimitTableFile>"
         "<anInputChannelInkIndexList><nInkIndex>1</nInkIndex><nInkIndex>2</nInkIndex>"
         "<nInkIndex>3</nInkIndex><nInkIndex>4</nInkIndex></anInputChannelInkIndexList>"
         "</SeparationInfo>";
}

// 256 samples, high byte first, and their Base64 text.
std::vector<std::uint8_t> sampleBytes(int (*f)(int)) {
  std::vector<std::uint8_t> bytes;
  for (int i = 0; i < kOutputTableSamples; ++i) {
    bytes.push_back(static_cast<std::uint8_t>(f(i) >> 8));
    bytes.push_back(static_cast<std::uint8_t>(f(i) & 0xFF));
  }
  return bytes;
}

std::string base64Of(const std::vector<std::uint8_t>& bytes) {
  xml::CBase64 base64;
  std::string text;
  EXPECT_EQ(base64.encode(bytes.data(), bytes.size(), &text), xml::CBase64::kOk);
  return text;
}

int wavySample(int i) { return (i * 37 + (i % 5) * 300) % 4096; }

// A table element with |outputTable| as usOutputTable text and the named
// children |named| after the six positional ones.
std::string tableWith(const std::string& outputTable, const std::string& named) {
  return "<SeparationTable><nInputChannelNum>2</nInputChannelNum><usOutputTable>" + outputTable +
         "</usOutputTable><dStart>1.5</dStart><dPeak>2.25</dPeak><dMax>3</dMax><dEnd>4</dEnd>" +
         named + "</SeparationTable>";
}

SeparationTable readTable(const std::string& text, std::uint16_t prefill = 77) {
  SeparationTable table;
  table.usOutputTable.fill(prefill);
  SeparationInfoIO::readSeparationTable(rootElement(parseDocument(text)), table);
  return table;
}

class SeparationInfoIOTest : public ::testing::Test {};

TEST_F(SeparationInfoIOTest, PayloadSeparationRoundTripsToTheSameXml) {
  const std::string text = payloadSeparation();
  SeparationInfo record;
  SeparationInfoIO::readSeparationInfo(rootElement(parseDocument(text)), record);

  EXPECT_EQ(record.nSeparationIndex, 3);
  EXPECT_EQ(record.strSeparationName[xml::kArabic], "CMYK");
  EXPECT_EQ(record.nOutputChannel, 2);
  ASSERT_EQ(record.aSeparationTableList.size(), 2);
  EXPECT_EQ(record.aSeparationTableList[1].nInputChannelNum, 1);
  EXPECT_EQ(record.aSeparationTableList[1].strInputChannel, "1");
  EXPECT_EQ(record.aSeparationTableList[1].nInkIndex, 2);
  EXPECT_EQ(record.nPrintChartFileInfoIndex, 1);
  EXPECT_EQ(record.strInkLimitTableFile, "CMYK Ink Limit.ilt");
  ASSERT_EQ(record.anInputChannelInkIndexList.size(), 4);
  EXPECT_EQ(record.anInputChannelInkIndexList[3], 4);

  EXPECT_EQ(savedText([&](const xml::Document& d) {
              return SeparationInfoIO::writeSeparationInfo(d, record);
            }),
            resavedText(text));
}

TEST_F(SeparationInfoIOTest, ElementsInAnyOrderReadTheSame) {
  const std::string reordered =
      "<SeparationInfo><anInputChannelInkIndexList><nInkIndex>1</nInkIndex><nInkIndex>2</"
      "nInkIndex><nInkIndex>3</nInkIndex><nInkIndex>4</nInkIndex></anInputChannelInkIndexList>"
      "<strInkLimitTableFile>CMYK Ink Limit.ilt</strInkLimitTableFile>"
      "<nPrintChartFileInfoIndex>1</nPrintChartFileInfoIndex><aSeparationTableList>" +
      payloadTable(0, 1) + payloadTable(1, 2) + "</aSeparationTableList>" +
      "<nOutputChannel>2</nOutputChannel>" + localizedName("CMYK") +
      "<nSeparationIndex>3</nSeparationIndex></SeparationInfo>";
  SeparationInfo inOrder;
  SeparationInfo outOfOrder;
  SeparationInfoIO::readSeparationInfo(rootElement(parseDocument(payloadSeparation())), inOrder);
  SeparationInfoIO::readSeparationInfo(rootElement(parseDocument(reordered)), outOfOrder);
  EXPECT_EQ(outOfOrder, inOrder);
}

TEST_F(SeparationInfoIOTest, StrangersAreSkippedAndSecondListsAppend) {
  const std::string text =
      "<SeparationInfo><nSeparationIndex>1</nSeparationIndex><Unknown>9</Unknown>"
      "<aSeparationTableList><!-- note -->" +
      payloadTable(0, 5) + "<separationTable/><Other>1</Other></aSeparationTableList>" +
      "<anInputChannelInkIndexList><nInkIndex>7</nInkIndex><ninkindex>8</ninkindex>"
      "<!-- c --></anInputChannelInkIndexList>"
      "<aSeparationTableList>" +
      payloadTable(3, 6) +
      "</aSeparationTableList><anInputChannelInkIndexList><nInkIndex>9</nInkIndex>"
      "</anInputChannelInkIndexList><nSeparationIndex>4</nSeparationIndex></SeparationInfo>";
  SeparationInfo record;
  SeparationInfoIO::readSeparationInfo(rootElement(parseDocument(text)), record);

  EXPECT_EQ(record.nSeparationIndex, 4);  // the later duplicate wins
  ASSERT_EQ(record.aSeparationTableList.size(), 2);
  EXPECT_EQ(record.aSeparationTableList[0].nInkIndex, 5);
  EXPECT_EQ(record.aSeparationTableList[1].nInkIndex, 6);
  ASSERT_EQ(record.anInputChannelInkIndexList.size(), 2);
  EXPECT_EQ(record.anInputChannelInkIndexList[0], 7);
  EXPECT_EQ(record.anInputChannelInkIndexList[1], 9);
}

TEST_F(SeparationInfoIOTest, MissingListsReadEmptyAndWriteEmptyElements) {
  SeparationInfo record;
  SeparationInfoIO::readSeparationInfo(
      rootElement(parseDocument("<SeparationInfo><nSeparationIndex>2</nSeparationIndex>"
                                "</SeparationInfo>")),
      record);
  EXPECT_EQ(record.nSeparationIndex, 2);
  EXPECT_EQ(record.aSeparationTableList.size(), 0);
  EXPECT_EQ(record.anInputChannelInkIndexList.size(), 0);

  xml::Document document = xml::Document::create();
  xml::Node written = SeparationInfoIO::writeSeparationInfo(document, record);
  xml::Node inks = childNamed(written, "anInputChannelInkIndexList");
  ASSERT_FALSE(inks.isNull());
  EXPECT_TRUE(inks.firstChild().isNull());
  xml::Node tables = childNamed(written, "aSeparationTableList");
  ASSERT_FALSE(tables.isNull());
  EXPECT_TRUE(tables.firstChild().isNull());
}

TEST_F(SeparationInfoIOTest, TableTakesSixChildrenByPositionWhateverTheirNames) {
  SeparationTable table = readTable(
      "<SeparationTable><a>3</a><!-- table --><c>1.5</c><d>2.5</d><e>3.5</e><f>4.5</f>"
      "<dStart>9</dStart><strInputChannel>3</strInputChannel><nHeadCount>2</nHeadCount>"
      "</SeparationTable>");
  EXPECT_EQ(table.nInputChannelNum, 3);
  EXPECT_EQ(table.dStart, 1.5);  // the later dStart is no named field
  EXPECT_EQ(table.dPeak, 2.5);
  EXPECT_EQ(table.dMax, 3.5);
  EXPECT_EQ(table.dEnd, 4.5);
  EXPECT_EQ(table.strInputChannel, "3");
  EXPECT_EQ(table.nHeadCount, 2);
  EXPECT_EQ(table.nInkIndex, -1);  // absent: the record default
  EXPECT_EQ(table.dEndMax, 0.0);
}

TEST_F(SeparationInfoIOTest, FewerThanSixChildrenRaiseEPointer) {
  SeparationTable table;
  const xml::Document document =
      parseDocument("<SeparationTable><a>0</a><b/><c>0</c><d>0</d><e>0</e></SeparationTable>");
  EXPECT_EQ(
      comErrorOf([&] { SeparationInfoIO::readSeparationTable(rootElement(document), table); }),
      xml::kEPointer);

  // The failure of one table ends the reading of its separation.
  SeparationInfo record;
  const xml::Document separation = parseDocument(
      "<SeparationInfo><aSeparationTableList><SeparationTable><a>0</a></SeparationTable>"
      "</aSeparationTableList></SeparationInfo>");
  EXPECT_EQ(
      comErrorOf([&] { SeparationInfoIO::readSeparationInfo(rootElement(separation), record); }),
      xml::kEPointer);
}

TEST_F(SeparationInfoIOTest, CarriedOutputTableReadsAndWritesTheSameText) {
  const std::vector<std::uint8_t> bytes = sampleBytes(wavySample);
  const std::string text = base64Of(bytes);
  ASSERT_EQ(text.size(), 684u);

  SeparationTable table = readTable(tableWith(text, "<eType>1</eType>"));
  OutputTable expected{};
  ASSERT_TRUE(rebuildOutputTable(bytes.data(), bytes.size(), expected));
  EXPECT_EQ(table.usOutputTable, expected);
  for (int i = 0; i < kOutputTableSamples; ++i) {
    EXPECT_EQ(table.usOutputTable[outputTableSamplePosition(i)], wavySample(i)) << "sample " << i;
  }

  xml::Document document = xml::Document::create();
  xml::Node written = SeparationInfoIO::writeSeparationTable(document, table);
  EXPECT_EQ(xml::readText(childNamed(written, "usOutputTable")), text);
  EXPECT_EQ(xml::readText(childNamed(written, "eType")), "1");
}

TEST_F(SeparationInfoIOTest, DecisionUsesTheFinalETypeWhereverItStands) {
  const std::string text = base64Of(sampleBytes([](int) { return 0; }));

  // eType after the other named children, and after a stranger.
  SeparationTable late = readTable(tableWith(
      text, "<nHeadCount>1</nHeadCount><x/><strInputChannel>2</strInputChannel><eType>1</eType>"));
  EXPECT_EQ(late.usOutputTable[100], 0);

  // eType 1 first, overwritten by a later 0: the text is ignored.
  SeparationTable overwritten = readTable(tableWith(text, "<eType>1</eType><eType>0</eType>"));
  EXPECT_EQ(overwritten.eType, 0);
  EXPECT_EQ(overwritten.usOutputTable[100], 77);
}

TEST_F(SeparationInfoIOTest, TableIsLeftUntouchedWithoutUsableText) {
  // eType 1, empty text.
  EXPECT_EQ(readTable(tableWith("", "<eType>1</eType>")).usOutputTable[5], 77);
  // Fewer than 512 decoded bytes.
  EXPECT_EQ(readTable(tableWith("AAAA", "<eType>1</eType>")).usOutputTable[5], 77);
  // Text that is not Base64.
  EXPECT_EQ(readTable(tableWith("not base64!", "<eType>1</eType>")).usOutputTable[5], 77);
}

TEST_F(SeparationInfoIOTest, WrappedTableTextReadsAsTheUnwrappedText) {
  const std::string text = base64Of(sampleBytes(wavySample));
  std::string wrapped = "\n  ";
  for (std::size_t i = 0; i < text.size(); i += 76) wrapped += text.substr(i, 76) + "\r\n\t";
  EXPECT_EQ(readTable(tableWith(wrapped, "<eType>1</eType>")),
            readTable(tableWith(text, "<eType>1</eType>")));
}

TEST_F(SeparationInfoIOTest, TableTextThatIsNoTableIsWrittenBackAsRead) {
  for (const std::string& text : {std::string("AAAA"), std::string("not base64!"),
                                  base64Of(std::vector<std::uint8_t>(600, 7))}) {
    const SeparationTable table = readTable(tableWith(text, "<eType>1</eType>"));
    xml::Document document = xml::Document::create();
    xml::Node written = SeparationInfoIO::writeSeparationTable(document, table);
    EXPECT_EQ(xml::readText(childNamed(written, "usOutputTable")), text);
  }
}

TEST_F(SeparationInfoIOTest, TextOfATableNotCarriedIsIgnoredAndWrittenEmpty) {
  const std::string text = base64Of(sampleBytes(wavySample));
  SeparationTable table = readTable(tableWith(text, "<eType>0</eType>"));
  EXPECT_EQ(table.usOutputTable[5], 77);

  xml::Document document = xml::Document::create();
  xml::Node written = SeparationInfoIO::writeSeparationTable(document, table);
  xml::Node outputTable = childNamed(written, "usOutputTable");
  ASSERT_FALSE(outputTable.isNull());
  EXPECT_EQ(xml::readText(outputTable), "");
}

TEST_F(SeparationInfoIOTest, TableWritesElevenFieldsInOrder) {
  SeparationTable table;
  table.nInputChannelNum = 2;
  table.dStart = 1.5;
  table.dPeak = 0.25;
  table.dMax = 100;
  table.dEnd = -2;
  table.dEndMax = 1346.2;
  table.strInputChannel = "2";
  table.nInkIndex = 7;
  table.nHeadCount = 4;
  EXPECT_EQ(savedText([&](const xml::Document& d) {
              return SeparationInfoIO::writeSeparationTable(d, table);
            }),
            resavedText("<SeparationTable><nInputChannelNum>2</nInputChannelNum><usOutputTable/>"
                        "<dStart>1.500</dStart><dPeak>0.250</dPeak><dMax>100.000</dMax>"
                        "<dEnd>-2.000</dEnd><dEndMax>1346.200</dEndMax><eType>0</eType>"
                        "<strInputChannel>2</strInputChannel><nInkIndex>7</nInkIndex>"
                        "<nHeadCount>4</nHeadCount></SeparationTable>"));
}

TEST_F(SeparationInfoIOTest, VControlPointReadsInAnyOrderWithZeroDefaults) {
  VControlPoint point;
  SeparationInfoIO::readVControlPoint(
      rootElement(parseDocument("<VControlPoint><dLargeEndMax>9.5</dLargeEndMax><zz>1</zz>"
                                "<dSmallPeak>0.125</dSmallPeak><dMediumEnd>3</dMediumEnd>"
                                "<dsmallpeak>7</dsmallpeak><dMediumEnd>4</dMediumEnd>"
                                "</VControlPoint>")),
      point);
  VControlPoint expected;
  expected.dLargeEndMax = 9.5;
  expected.dSmallPeak = 0.125;
  expected.dMediumEnd = 4;
  EXPECT_EQ(point, expected);

  xml::Document document = xml::Document::create();
  xml::Node written = SeparationInfoIO::writeVControlPoint(document, point);
  EXPECT_EQ(xml::readText(childNamed(written, "nVControlIndex")), "0");
  EXPECT_EQ(xml::readText(childNamed(written, "dSmallStart")), "0.000");
  EXPECT_EQ(xml::readText(childNamed(written, "dLargeEndMax")), "9.500");
}

TEST_F(SeparationInfoIOTest, VControlPointRoundTripsAllSixteenFieldsInOrder) {
  const char* names[] = {"dSmallStart",  "dSmallPeak",  "dSmallMax",  "dSmallEnd",  "dSmallEndMax",
                         "dMediumStart", "dMediumPeak", "dMediumMax", "dMediumEnd", "dMediumEndMax",
                         "dLargeStart",  "dLargePeak",  "dLargeMax",  "dLargeEnd",  "dLargeEndMax"};
  std::string text = "<VControlPoint><nVControlIndex>85</nVControlIndex>";
  int value = 1;
  for (const char* name : names) {
    text += std::string("<") + name + ">" + std::to_string(value++) + ".250</" + name + ">";
  }
  text += "</VControlPoint>";

  VControlPoint point;
  SeparationInfoIO::readVControlPoint(rootElement(parseDocument(text)), point);
  EXPECT_EQ(point.nVControlIndex, 85);
  EXPECT_EQ(point.dSmallStart, 1.25);
  EXPECT_EQ(point.dMediumStart, 6.25);
  EXPECT_EQ(point.dLargeEndMax, 15.25);
  EXPECT_EQ(savedText([&](const xml::Document& d) {
              return SeparationInfoIO::writeVControlPoint(d, point);
            }),
            resavedText(text));
}

TEST_F(SeparationInfoIOTest, NullArgumentsRaiseEPointer) {
  SeparationInfo record;
  VControlPoint point;
  EXPECT_EQ(comErrorOf([&] { SeparationInfoIO::readSeparationInfo(xml::Node(), record); }),
            xml::kEPointer);
  EXPECT_EQ(comErrorOf([&] { SeparationInfoIO::readVControlPoint(xml::Node(), point); }),
            xml::kEPointer);
  EXPECT_EQ(comErrorOf([&] { SeparationInfoIO::writeSeparationInfo(xml::Document(), record); }),
            xml::kEPointer);
}

}  // namespace
}  // namespace devseries
