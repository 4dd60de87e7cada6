#include <limits>
#include <string>

#include "devseries/ink_info.h"
#include "testsupport/hosts/documents.h"
#include "xml/value_codec.h"

namespace devseries {
namespace {

using testsupport::childNamed;
using testsupport::comErrorOf;
using testsupport::el;
using testsupport::localized;
using testsupport::parseDocument;
using testsupport::resavedText;
using testsupport::rootElement;
using testsupport::savedText;

std::string rgb(const std::string& name, const char* r, const char* g, const char* b) {
  return el(name, el("R", r) + el("G", g) + el("B", b));
}

const std::string kBlackHead = el("nInkIndex", "4096") + localized("strLongInkName", "Black") +
                               el("strShortInkName", "K") + rgb("lightColor", "198", "195", "198") +
                               rgb("darkColor", "66", "65", "66");
const std::string kBlack =
    el("InkInfo", kBlackHead + el("flPrice", "0.000") + el("nCapacity", "220"));

InkInfo readInk(const std::string& text, InkInfo record = {}) {
  InkInfoIO::readInkInfo(rootElement(parseDocument(text)), record);
  return record;
}

std::string writeInk(const InkInfo& record) {
  return savedText([&](const xml::Document& d) { return InkInfoIO::writeInkInfo(d, record); });
}

std::string slotList(int count, int firstValue) {
  std::string text;
  for (int i = 0; i < count; ++i) text += el("nInkIndex", std::to_string(firstValue + i));
  return el("nInkIndexList", text);
}

InkConfigInfo readConfig(const std::string& text) {
  InkConfigInfo record;
  InkConfigInfoIO::readInkConfigInfo(rootElement(parseDocument(text)), record);
  return record;
}

class InkInfoIOTest : public ::testing::Test {};

TEST_F(InkInfoIOTest, PayloadInkReadsAndWritesBackUnchanged) {
  InkInfo record = readInk(kBlack);
  EXPECT_EQ(record.nInkIndex, 4096);
  EXPECT_EQ(record.strLongInkName[xml::kArabic], "Black");
  EXPECT_EQ(record.strShortInkName, "K");
  EXPECT_EQ(record.lightColor, (RgbColor{198, 195, 198}));
  EXPECT_EQ(record.darkColor, (RgbColor{66, 65, 66}));
  EXPECT_EQ(record.nCapacity, 220);
  EXPECT_EQ(writeInk(record), resavedText(kBlack));
}

TEST_F(InkInfoIOTest, AbsentNamedFieldsReadAsZeroAndAreWritten) {
  InkInfo used;
  used.flPrice = 3.5f;
  used.nCapacity = 9;
  InkInfo record = readInk(el("InkInfo", kBlackHead), used);
  EXPECT_EQ(record.flPrice, 0.0f);
  EXPECT_EQ(record.nCapacity, 0);
  xml::Node written = rootElement(parseDocument(writeInk(record)));
  EXPECT_EQ(xml::readText(childNamed(written, "flPrice")), "0.000");
  EXPECT_EQ(xml::readText(childNamed(written, "nCapacity")), "0");
}

TEST_F(InkInfoIOTest, NamedPartSkipsStrangersAndTakesTheLaterDuplicate) {
  InkInfo record = readInk(el("InkInfo", kBlackHead + el("nCapacity", "1") + el("Other", "5") +
                                             "<!--x-->" + el("flprice", "8") +
                                             el("flPrice", "2.25") + el("nCapacity", "330")));
  EXPECT_FLOAT_EQ(record.flPrice, 2.25f);
  EXPECT_EQ(record.nCapacity, 330);
  // A price beyond the float range narrows to infinity, not to garbage.
  EXPECT_EQ(readInk(el("InkInfo", kBlackHead + el("flPrice", "-1e300"))).flPrice,
            -std::numeric_limits<float>::infinity());
}

TEST_F(InkInfoIOTest, FirstFiveChildrenAreTakenByPosition) {
  std::string renamed = el("a", "4097") + localized("b", "Cyan") + el("c", "C") +
                        rgb("d", "1", "2", "3") +
                        el("e", el("x", "4") + el("y", "5") + el("z", "6"));
  InkInfo record = readInk(el("InkInfo", renamed));
  EXPECT_EQ(record.nInkIndex, 4097);
  EXPECT_EQ(record.strLongInkName[xml::kEnglish], "Cyan");
  EXPECT_EQ(record.strShortInkName, "C");
  EXPECT_EQ(record.lightColor, (RgbColor{1, 2, 3}));
  EXPECT_EQ(record.darkColor, (RgbColor{4, 5, 6}));

  // flPrice in fourth place stands for lightColor, which needs three children.
  std::string misplaced = el("nInkIndex", "1") + localized("strLongInkName", "K") +
                          el("strShortInkName", "K") + el("flPrice", "0.000") +
                          rgb("lightColor", "1", "2", "3") + rgb("darkColor", "1", "2", "3");
  EXPECT_EQ(comErrorOf([&] { readInk(el("InkInfo", misplaced)); }), xml::kEPointer);
  EXPECT_EQ(
      comErrorOf([&] { readInk(el("InkInfo", kBlackHead.substr(0, kBlackHead.rfind("<dark")))); }),
      xml::kEPointer);
}

TEST_F(InkInfoIOTest, ColourComponentsKeepTheirLowEightBits) {
  std::string head = el("nInkIndex", "1") + localized("strLongInkName", "K") +
                     el("strShortInkName", "K") + rgb("lightColor", "300", "-1", "256") +
                     el("darkColor", el("R", "7") + el("G", "x") + el("B", "9") + el("A", "10"));
  InkInfo record = readInk(el("InkInfo", head));
  EXPECT_EQ(record.lightColor, (RgbColor{44, 255, 0}));
  EXPECT_EQ(record.darkColor, (RgbColor{7, 0, 9}));
  xml::Node light = childNamed(rootElement(parseDocument(writeInk(record))), "lightColor");
  EXPECT_EQ(xml::readText(childNamed(light, "R")), "44");
  EXPECT_EQ(xml::readText(childNamed(light, "G")), "255");
  EXPECT_EQ(xml::readText(childNamed(light, "B")), "0");
}

TEST_F(InkInfoIOTest, EmptyLanguagesAreWrittenWithTheEnglishName) {
  InkInfo record = readInk(kBlack);
  record.strLongInkName.fill("");
  record.strLongInkName[xml::kEnglish] = "Black";
  record.strLongInkName[xml::kGerman] = "Schwarz";
  xml::Node name = childNamed(rootElement(parseDocument(writeInk(record))), "strLongInkName");
  EXPECT_EQ(xml::readText(childNamed(name, "Japanese")), "Black");
  EXPECT_EQ(xml::readText(childNamed(name, "German")), "Schwarz");
}

TEST_F(InkInfoIOTest, InkConfigurationReadsFourPositionalChildren) {
  std::string slots;
  for (int value : {4097, 4098, 4099, 4096}) slots += el("nInkIndex", std::to_string(value));
  for (int i = 4; i < 24; ++i) slots += el("nInkIndex", "-1");
  const std::string payload =
      el("InkConfigInfo", el("nInkConfigIndex", "0") + localized("strInkConfigName", "CMYK") +
                              el("strFolderName", "CMYK") + el("nInkIndexList", slots));
  InkConfigInfo record = readConfig(payload);
  EXPECT_EQ(record.nInkIndexList[3], 4096);
  EXPECT_EQ(record.nInkIndexList[4], -1);
  auto write = [](const InkConfigInfo& config) {
    return savedText(
        [&](const xml::Document& d) { return InkConfigInfoIO::writeInkConfigInfo(d, config); });
  };
  EXPECT_EQ(write(record), resavedText(payload));

  // Names do not matter; a 25th slot and a fifth child are ignored.
  InkConfigInfo loose =
      readConfig(el("InkConfigInfo", el("a", "3") + localized("b", "Set") + el("c", "F") +
                                         slotList(25, 100) + el("nInkConfigIndex", "9")));
  EXPECT_EQ(loose.nInkConfigIndex, 3);
  EXPECT_EQ(loose.strFolderName, "F");
  EXPECT_EQ(loose.nInkIndexList[23], 123);
  std::string written = write(loose);
  EXPECT_NE(written.find("<nInkIndex>123</nInkIndex>"), std::string::npos);
  EXPECT_EQ(written.find("124"), std::string::npos);
}

TEST_F(InkInfoIOTest, InkConfigurationWithMissingChildrenFails) {
  const std::string head = el("nInkConfigIndex", "0") + localized("strInkConfigName", "CMYK") +
                           el("strFolderName", "CMYK");
  EXPECT_EQ(comErrorOf([&] { readConfig(el("InkConfigInfo", head + slotList(23, 1))); }),
            xml::kEPointer);
  EXPECT_EQ(comErrorOf([&] { readConfig(el("InkConfigInfo", head)); }), xml::kEPointer);
}

InkInfo ink(int index, const char* shortName) {
  InkInfo record;
  record.nInkIndex = index;
  record.strShortInkName = shortName;
  return record;
}

TEST(FindCmykInks, ReturnsCyanMagentaYellowBlackByExactShortName) {
  GrowableArray<InkInfo> inks;
  for (const InkInfo& record : {ink(4096, "K"), ink(4097, "C"), ink(4098, "M"), ink(4099, "Y")}) {
    inks.add(record);
  }
  EXPECT_EQ(InkInfoIO::findCmykInks(inks), (std::array<int, 4>{4097, 4098, 4099, 4096}));

  GrowableArray<InkInfo> other;
  for (const InkInfo& record :
       {ink(1, "c"), ink(2, " C"), ink(3, "M"), ink(4, "K"), ink(5, "Lc"), ink(6, "K")}) {
    other.add(record);
  }
  // No "Y", no exact "C"; the later "K" wins.
  EXPECT_EQ(InkInfoIO::findCmykInks(other), (std::array<int, 4>{0, 3, 0, 6}));
  EXPECT_EQ(InkInfoIO::findCmykInks({}), (std::array<int, 4>{0, 0, 0, 0}));
}

}  // namespace
}  // namespace devseries
