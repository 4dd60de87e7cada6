#include <climits>
#include <string>

#include "devseries/resolution_mode_pattern.h"
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

std::string inkSlots(int count) {
  std::string text;
  for (int i = 0; i < count; ++i) {
    text += el("value" + std::to_string(i), std::to_string(i < 4 ? 4096 + i : -1));
  }
  return el("nInkIndexList", text);
}

// The positional part of a payload-like mode, and its named part.
std::string modeHead(int slotCount = 24) {
  return el("nModeIndex", "200") + el("strModeName", "360x720 8pass") + el("nInkNum", "4") +
         inkSlots(slotCount) + el("nBitsPerPixel", "2") + el("nDotType", "1") +
         el("strDotSize", "SML");
}
const std::string kModeTail = el("nInkVolumeIndex", "1010") + el("strNozzleMask", "M8") +
                              el("nPassesPerLine", "8") + el("strPJLOption", "SET JOBTYPE = CMYK") +
                              el("flFeedResolutionPerPass", "90.000") +
                              el("nNozzleMaskCount", "3") + el("nEmptyPathLength", "11") +
                              el("nAdditionalPrintingTime", "12");

std::string uvEntry(const std::string& position, const char* forward, const char* backward) {
  return "<UVLampPower" + position + ">" + el("nForwardPower", forward) +
         el("nBackwardPower", backward) + "</UVLampPower>";
}

ModeInfo readMode(const std::string& text, ModeInfo record = {}) {
  ModeInfoIO::readModeInfo(rootElement(parseDocument(text)), record);
  return record;
}

std::string writeMode(const ModeInfo& record) {
  return savedText([&](const xml::Document& d) { return ModeInfoIO::writeModeInfo(d, record); });
}

ModeInfo readModeWithLamps(const std::string& entries) {
  return readMode(el("ModeInfo", modeHead() + kModeTail + el("aUVLampPowerList", entries)));
}

void expectPowers(const UVLampPower& entry, int forward, int backward) {
  EXPECT_EQ(entry.nForwardPower, forward);
  EXPECT_EQ(entry.nBackwardPower, backward);
  EXPECT_EQ(entry.baseValue, 100);
}

class ModeInfoIOTest : public ::testing::Test {};

TEST_F(ModeInfoIOTest, PayloadModeReadsAndWritesBackUnchanged) {
  const std::string text = el("ModeInfo", modeHead() + kModeTail + "<aUVLampPowerList/>");
  ModeInfo record = readMode(text);
  EXPECT_EQ(record.nModeIndex, 200);
  EXPECT_EQ(record.nInkIndexList[3], 4099);
  EXPECT_EQ(record.nInkIndexList[23], -1);
  EXPECT_EQ(record.strDotSize, "SML");
  EXPECT_EQ(record.nInkVolumeIndex, 1010);
  EXPECT_EQ(record.nPassesPerLine, 8);
  EXPECT_FLOAT_EQ(record.flFeedResolutionPerPass, 90.0f);
  EXPECT_EQ(record.nNozzleMaskCount, 3);
  EXPECT_EQ(record.nAdditionalPrintingTime, 12);
  EXPECT_EQ(writeMode(record), resavedText(text));
}

TEST_F(ModeInfoIOTest, ModeEndingAfterTheDotSizeTakesTheDefaults) {
  ModeInfo used;
  used.nNozzleMaskCount = 7;
  ModeInfo record = readMode(el("ModeInfo", modeHead()), used);
  EXPECT_EQ(record.nNozzleMaskCount, 0);
  ModeInfo fresh = readMode(el("ModeInfo", modeHead()));
  EXPECT_EQ(fresh.nInkVolumeIndex, -1);
  EXPECT_FLOAT_EQ(fresh.flFeedResolutionPerPass, 180.0f);
  EXPECT_EQ(fresh.nEmptyPathLength, 0);
  EXPECT_EQ(fresh.nAdditionalPrintingTime, 0);
  expectPowers(fresh.aUVLampPowerList[0], 100, 100);
  expectPowers(fresh.aUVLampPowerList[1], 100, 100);
  xml::Node written = rootElement(parseDocument(writeMode(fresh)));
  EXPECT_EQ(xml::readText(childNamed(written, "flFeedResolutionPerPass")), "180.000");
  EXPECT_EQ(xml::readText(childNamed(written, "nInkVolumeIndex")), "-1");
}

TEST_F(ModeInfoIOTest, NamedPartInAnyOrderSkipsStrangers) {
  ModeInfo record =
      readMode(el("ModeInfo", modeHead() + el("nAdditionalPrintingTime", "5") + el("Other", "1") +
                                  "<!--c-->" + el("strpjloption", "x") + el("strPJLOption", "A") +
                                  el("nInkVolumeIndex", "3") + el("strPJLOption", "B")));
  EXPECT_EQ(record.nAdditionalPrintingTime, 5);
  EXPECT_EQ(record.nInkVolumeIndex, 3);
  EXPECT_EQ(record.strPJLOption, "B");
  EXPECT_EQ(record.strNozzleMask, "");
}

TEST_F(ModeInfoIOTest, MissingPositionalNodesFailTheRead) {
  std::string sixChildren = modeHead();
  sixChildren.resize(sixChildren.rfind("<strDotSize>"));
  EXPECT_EQ(comErrorOf([&] { readMode(el("ModeInfo", sixChildren)); }), xml::kEPointer);
  EXPECT_EQ(comErrorOf([&] { readMode(el("ModeInfo", modeHead(23))); }), xml::kEPointer);
}

TEST_F(ModeInfoIOTest, OneLampEntryIsReadAndBothAreWritten) {
  ModeInfo record = readModeWithLamps(uvEntry(" position=\"1\"", "80", "90"));
  expectPowers(record.aUVLampPowerList[0], 100, 100);
  expectPowers(record.aUVLampPowerList[1], 80, 90);
  const std::string expected =
      el("ModeInfo", modeHead() + kModeTail +
                         el("aUVLampPowerList", uvEntry(" position=\"0\"", "100", "100") +
                                                    uvEntry(" position=\"1\"", "80", "90")));
  EXPECT_EQ(writeMode(record), resavedText(expected));
}

TEST_F(ModeInfoIOTest, LampEntriesOutsideTheTwoPositionsChangeNothing) {
  ModeInfo record =
      readModeWithLamps(uvEntry(" position=\"2\"", "10", "10") + uvEntry("", "20", "20") +
                        "<!--c-->" + uvEntry(" position=\"-1\"", "30", "30"));
  expectPowers(record.aUVLampPowerList[0], 100, 100);
  expectPowers(record.aUVLampPowerList[1], 100, 100);
  EXPECT_NE(writeMode(record).find("<aUVLampPowerList />"), std::string::npos);

  // A position that is no number reads as 0; any element name will do; a
  // later entry for a position overwrites an earlier one.
  ModeInfo other =
      readModeWithLamps(uvEntry(" position=\"abc\"", "40", "41") +
                        "<Lamp position=\"1\"><nForwardPower>5</nForwardPower></Lamp>" +
                        uvEntry(" position=\"1\"", "6", "7"));
  expectPowers(other.aUVLampPowerList[0], 40, 41);
  expectPowers(other.aUVLampPowerList[1], 6, 7);
}

TEST_F(ModeInfoIOTest, PowersOutsideZeroToHundredAreIgnored) {
  ModeInfo record = readModeWithLamps(uvEntry(" position=\"0\"", "101", "-5") +
                                      uvEntry(" position=\"1\"", "0", "100"));
  expectPowers(record.aUVLampPowerList[0], 100, 100);
  expectPowers(record.aUVLampPowerList[1], 0, 100);

  // Read directly, into an entry that does not hold 100: the bounds are
  // inclusive, and a rejected position delivers nothing.
  UVLampPower entry;
  entry.nForwardPower = 50;
  entry.nBackwardPower = 50;
  int position = 7;
  xml::Document rejected = parseDocument(uvEntry(" position=\"2\"", "1", "2"));
  EXPECT_FALSE(ModeInfoIO::readUVLampPower(rootElement(rejected), entry, position));
  EXPECT_EQ(position, 7);
  xml::Document accepted = parseDocument(uvEntry(" position=\"1\"", "100", "101"));
  EXPECT_TRUE(ModeInfoIO::readUVLampPower(rootElement(accepted), entry, position));
  EXPECT_EQ(position, 1);
  EXPECT_EQ(entry.nForwardPower, 100);
  EXPECT_EQ(entry.nBackwardPower, 50);
}

TEST_F(ModeInfoIOTest, AnyPowerOffTheBaseValueWritesBothEntries) {
  ModeInfo record = readMode(el("ModeInfo", modeHead()));
  record.aUVLampPowerList[0].nBackwardPower = 99;
  xml::Node list = childNamed(rootElement(parseDocument(writeMode(record))), "aUVLampPowerList");
  xml::NodeList entries = list.childNodes();
  xml::Node first = entries.nextNode();
  xml::Node second = entries.nextNode();
  EXPECT_FALSE(entries.nextNode());
  EXPECT_EQ(xml::readIntAttribute(first, "position"), 0);
  EXPECT_EQ(xml::readText(childNamed(first, "nBackwardPower")), "99");
  EXPECT_EQ(xml::readIntAttribute(second, "position"), 1);
  EXPECT_EQ(xml::readText(childNamed(second, "nForwardPower")), "100");

  ModeInfo forwardOnly = readMode(el("ModeInfo", modeHead()));
  forwardOnly.aUVLampPowerList[1].nForwardPower = 0;
  EXPECT_NE(writeMode(forwardOnly).find("<nForwardPower>0</nForwardPower>"), std::string::npos);
}

std::string localized(const std::string& text) {
  return testsupport::localized("strResolutionName", text);
}

ResolutionInfo readResolution(const std::string& text) {
  ResolutionInfo record;
  ResolutionInfoIO::readResolutionInfo(rootElement(parseDocument(text)), record);
  return record;
}

std::string writeResolution(const ResolutionInfo& record) {
  return savedText(
      [&](const xml::Document& d) { return ResolutionInfoIO::writeResolutionInfo(d, record); });
}

TEST_F(ModeInfoIOTest, ResolutionIsReadWhollyByPosition) {
  const std::string payload = el(
      "ResolutionInfo", el("nResolutionIndex", "-2147483648") + localized("300 x 300 dpi") +
                            el("flScanResolution", "300.000") + el("flFeedResolution", "600.000"));
  ResolutionInfo record = readResolution(payload);
  EXPECT_EQ(record.nResolutionIndex, INT_MIN);
  EXPECT_FLOAT_EQ(record.flFeedResolution, 600.0f);
  EXPECT_EQ(writeResolution(record), resavedText(payload));

  ResolutionInfo loose =
      readResolution(el("ResolutionInfo", el("a", "3") + localized("r") + el("b", "300") +
                                              el("c", "720.5") + el("flScanResolution", "1")));
  EXPECT_FLOAT_EQ(loose.flScanResolution, 300.0f);
  EXPECT_FLOAT_EQ(loose.flFeedResolution, 720.5f);
  xml::Node written = rootElement(parseDocument(writeResolution(loose)));
  EXPECT_EQ(xml::readText(childNamed(written, "flScanResolution")), "300.000");

  EXPECT_EQ(comErrorOf([&] {
              readResolution(el("ResolutionInfo", el("a", "1") + localized("r") + el("b", "1")));
            }),
            xml::kEPointer);
}

TEST_F(ModeInfoIOTest, PatternIsReadWhollyByPosition) {
  const std::string payload =
      el("PatternInfo", el("nFMPatternIndex", "5") + el("nScanPixelSize", "128") +
                            el("nFeedPixelSize", "64") + el("strPatternFile", "fm5.pat"));
  PatternInfo record;
  PatternInfoIO::readPatternInfo(rootElement(parseDocument(payload)), record);
  EXPECT_EQ(record.nFeedPixelSize, 64);
  EXPECT_EQ(record.strPatternFile, "fm5.pat");
  EXPECT_EQ(
      savedText([&](const xml::Document& d) { return PatternInfoIO::writePatternInfo(d, record); }),
      resavedText(payload));

  PatternInfo swapped;
  PatternInfoIO::readPatternInfo(
      rootElement(
          parseDocument(el("PatternInfo", el("nFeedPixelSize", "1") + el("nScanPixelSize", "2") +
                                              el("x", "3") + el("y", "f") + el("z", "9")))),
      swapped);
  EXPECT_EQ(swapped.nFMPatternIndex, 1);
  EXPECT_EQ(swapped.nFeedPixelSize, 3);
  EXPECT_EQ(swapped.strPatternFile, "f");
  EXPECT_EQ(comErrorOf([&] {
              PatternInfoIO::readPatternInfo(
                  rootElement(parseDocument("<PatternInfo><a>1</a><b>2</b><c>3</c></PatternInfo>")),
                  swapped);
            }),
            xml::kEPointer);
}

}  // namespace
}  // namespace devseries
