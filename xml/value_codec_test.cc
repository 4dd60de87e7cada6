#include "xml/value_codec.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "testsupport/fake_resources.h"
#include "testsupport/hosts/documents.h"
#include "xml/com_error.h"
#include "xml/language_table.h"

namespace xml {
namespace {

using testsupport::comErrorOf;
using testsupport::parseDocument;

Node element(const char* text) { return parseDocument(text).firstChild(); }

class ValueCodecTest : public ::testing::Test {
 protected:
  testsupport::FakeResources resources_;
  Document document_ = Document::create();
};

TEST_F(ValueCodecTest, IntTextAndAtoiRules) {
  EXPECT_EQ(readText(createIntElement(document_, "n", -1)), "-1");
  EXPECT_EQ(readText(createIntElement(document_, "n", 0)), "0");
  EXPECT_EQ(readText(createIntElement(document_, "n", INT_MIN)), "-2147483648");
  EXPECT_EQ(readInt(element("<n> 42abc</n>")), 42);
  EXPECT_EQ(readInt(element("<n>-13.9</n>")), -13);
  EXPECT_EQ(readInt(element("<n>abc</n>")), 0);
  EXPECT_EQ(readInt(element("<n/>")), 0);
  EXPECT_EQ(readInt(element("<n>99999999999</n>")), INT_MAX);  // saturates
  EXPECT_EQ(readInt(element("<n>-99999999999</n>")), INT_MIN);
}

TEST_F(ValueCodecTest, RealTextAndAtofRules) {
  EXPECT_EQ(readText(createRealElement(document_, "d", 0.5, 3)), "0.500");
  EXPECT_EQ(readText(createRealElement(document_, "d", 170, 3)), "170.000");
  EXPECT_EQ(readText(createRealElement(document_, "d", 1346.2, 3)), "1346.200");
  EXPECT_EQ(readText(createRealElement(document_, "d", 0, 3)), "0.000");
  EXPECT_EQ(readText(createRealElement(document_, "d", -0.0004, 3)), "-0.000");
  EXPECT_EQ(readReal(element("<d>1e3</d>")), 1000.0);
  EXPECT_EQ(readReal(element("<d>1346.200</d>")), 1346.2);
  EXPECT_EQ(readReal(element("<d> -2.5x</d>")), -2.5);
  EXPECT_EQ(readReal(element("<d>abc</d>")), 0.0);
  EXPECT_EQ(readReal(element("<d>1,5</d>")), 1.0);
}

TEST_F(ValueCodecTest, BoolIsTrueOnlyForTheExactWord) {
  EXPECT_EQ(readText(createBoolElement(document_, "b", true)), "true");
  EXPECT_EQ(readText(createBoolElement(document_, "b", false)), "false");
  EXPECT_TRUE(readBool(element("<b>true</b>")));
  for (const char* text :
       {"<b>TRUE</b>", "<b>True</b>", "<b> true</b>", "<b>true </b>", "<b>1</b>", "<b/>"}) {
    EXPECT_FALSE(readBool(element(text))) << text;
  }
}

TEST_F(ValueCodecTest, LocalizedTextWritesAllLanguagesWithEnglishForEmptySlots) {
  LocalizedText text;
  text[kEnglish] = "Glossy";
  text[kJapanese] = "\xE5\x85\x89\xE6\xB2\xA2";
  Node node = createLocalizedTextElement(document_, "strMediaName", text);
  NodeList children = node.childNodes();
  int slot = 0;
  for (Node child = children.nextNode(); child; child = children.nextNode(), ++slot) {
    EXPECT_EQ(child.nodeName(), languageName(slot));
    EXPECT_EQ(readText(child), slot == kJapanese ? text[kJapanese] : "Glossy");
  }
  EXPECT_EQ(slot, kLanguageCount);
  EXPECT_EQ(languageName(kChineseTraditional), "Chinese_Traditional");
  EXPECT_EQ(languageName(kArabic), "Arabic");
}

TEST_F(ValueCodecTest, LocalizedTextReadsNamedChildrenInAnyOrder) {
  LocalizedText text;
  text[kFrench] = "before";
  text[kKorean] = "kept";
  EXPECT_TRUE(readLocalizedText(
      element("<m><German>de</German><!--c--><English>en</English><Other>x</Other>"
              "<French>fr1</French><french>no</french><French>fr2</French>tail</m>"),
      text));
  EXPECT_EQ(text[kEnglish], "en");
  EXPECT_EQ(text[kGerman], "de");
  EXPECT_EQ(text[kFrench], "fr2");  // the later duplicate wins
  EXPECT_EQ(text[kKorean], "kept");
  EXPECT_EQ(text[kSpanish], "");
  EXPECT_EQ(comErrorOf([&] { readLocalizedText(Node(), text); }), kEPointer);
}

TEST_F(ValueCodecTest, LanguageNamesComeFromStringIdsOneToTenAndFourteenToSixteen) {
  for (int slot = 0; slot < kLanguageCount; ++slot) {
    resources_.setString(languageStringId(slot), std::string("L").append(std::to_string(slot)));
  }
  resources_.setString(11, "not a language");
  resources_.removeString(languageStringId(kTurkish));
  EXPECT_EQ(languageStringId(kSpanish), 10);
  EXPECT_EQ(languageStringId(kRussian), 14);
  EXPECT_EQ(languageStringId(kArabic), 16);
  const auto names = languageNamesFrom(resources_);
  EXPECT_EQ(names[kEnglish], "L0");
  EXPECT_EQ(names[kRussian], "L10");
  EXPECT_EQ(names[kTurkish], "Turkish");  // missing string: standard name
}

TEST_F(ValueCodecTest, IntAttributeReadsMinusOneWhenAbsent) {
  Node e = document_.createElement("UVLampPower");
  e.setAttributeNode(createIntAttribute(document_, "position", 1));
  EXPECT_EQ(readIntAttribute(e, "position"), 1);
  EXPECT_EQ(readIntAttribute(e, "Position"), -1);
  EXPECT_EQ(readIntAttribute(element("<e position=' -1'/>"), "position"), -1);
  EXPECT_EQ(readIntAttribute(element("<e position='3x'/>"), "position"), 3);
  EXPECT_EQ(readIntAttribute(Node(), "position"), -1);
  EXPECT_EQ(readIntAttribute(element("<e>t</e>").firstChild(), "position"), -1);
}

TEST_F(ValueCodecTest, NullNodeOrDocumentRaisesEPointer) {
  EXPECT_EQ(comErrorOf([] { readText(Node()); }), kEPointer);
  EXPECT_EQ(comErrorOf([] { readInt(Node()); }), kEPointer);
  EXPECT_EQ(comErrorOf([] { readReal(Node()); }), kEPointer);
  EXPECT_EQ(comErrorOf([] { readBool(Node()); }), kEPointer);
  EXPECT_EQ(comErrorOf([] { createIntElement(Document(), "n", 1); }), kEPointer);
}

}  // namespace
}  // namespace xml
