#include "tools/payloadgen/passmask_table.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "testsupport/payload.h"
#include "tools/payloadgen/media_file.h"

namespace payloadgen {
namespace {

std::vector<std::string> splitRows(const std::string& pattern) {
  std::vector<std::string> rows;
  std::stringstream in(pattern);
  for (std::string row; std::getline(in, row, '/');) rows.push_back(row);
  return rows;
}

class PassmaskTableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    text_ = testsupport::payloadText("passmask.pmp");
    const pugi::xml_parse_result result = document_.load_string(text_.c_str());
    ASSERT_TRUE(result) << result.description();
  }

  std::string text_;
  pugi::xml_document document_;
};

TEST_F(PassmaskTableTest, HoldsOneMaskPerIndexFrom11To35InOrder) {
  EXPECT_EQ(text_.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n", 0), 0u);
  const pugi::xml_node root = document_.document_element();
  EXPECT_STREQ(root.name(), "aPassmaskList");
  std::vector<int> indices;
  std::set<std::string> names;
  for (pugi::xml_node mask : root.children()) {
    EXPECT_STREQ(mask.name(), "Passmask");
    indices.push_back(mask.child("nPassmaskIndex").text().as_int(-1));
    EXPECT_TRUE(names.insert(mask.child_value("strPassmaskName")).second);
  }
  std::vector<int> expected;
  for (int index = 11; index <= 35; ++index) expected.push_back(index);
  EXPECT_EQ(indices, expected);
  EXPECT_EQ(text_, buildPassmaskTable());
}

TEST_F(PassmaskTableTest, EveryPassPrintsAnEqualShareOfEveryRow) {
  for (pugi::xml_node mask : document_.document_element().children("Passmask")) {
    const int index = mask.child("nPassmaskIndex").text().as_int();
    const int passes = mask.child("nPassCount").text().as_int();
    const int width = mask.child("nMaskWidth").text().as_int();
    const std::vector<std::string> rows = splitRows(mask.child_value("strMaskPattern"));
    ASSERT_GE(passes, 2) << index;
    ASSERT_LE(passes, 9) << index;
    EXPECT_EQ(static_cast<int>(rows.size()), mask.child("nMaskHeight").text().as_int()) << index;
    EXPECT_LE(passes * mask.child("nFeedNozzles").text().as_int(), kHeadNozzles) << index;
    for (const std::string& row : rows) {
      ASSERT_EQ(static_cast<int>(row.size()), width) << index;
      std::map<char, int> counts;
      for (char cell : row) ++counts[cell];
      ASSERT_EQ(static_cast<int>(counts.size()), passes) << index << " " << row;
      for (const auto& [pass, count] : counts) {
        EXPECT_GE(pass, '1') << index;
        EXPECT_LE(pass, static_cast<char>('0' + passes)) << index;
        EXPECT_EQ(count, width / passes) << index << " " << row;
      }
    }
  }
}

TEST(PassmasksTest, RegularMasksNeverRepeatAPassInTouchingCells) {
  for (const Passmask& mask : passmasks()) {
    if (mask.name.find("Weave") != std::string::npos) continue;
    for (std::size_t y = 0; y < mask.rows.size(); ++y) {
      for (std::size_t x = 0; x < mask.rows[y].size(); ++x) {
        if (x + 1 < mask.rows[y].size()) {
          EXPECT_NE(mask.rows[y][x], mask.rows[y][x + 1]) << mask.name;
        }
        if (y + 1 < mask.rows.size()) {
          EXPECT_NE(mask.rows[y][x], mask.rows[y + 1][x]) << mask.name;
        }
      }
    }
  }
}

TEST(PassmasksTest, WeavesDifferFromTheRegularMaskOfTheirPassCount) {
  const std::vector<Passmask> masks = passmasks();
  std::map<int, std::vector<std::string>> regular;
  for (const Passmask& mask : masks) {
    if (mask.name.find("Weave") == std::string::npos) regular[mask.passCount] = mask.rows;
  }
  for (const Passmask& mask : masks) {
    if (mask.name.find("Weave") != std::string::npos) {
      EXPECT_NE(mask.rows, regular[mask.passCount]) << mask.name;
    }
  }
}

TEST(PassmasksTest, MediaFilesReferToMasksThatExist) {
  std::set<int> indices;
  for (const Passmask& mask : passmasks()) indices.insert(mask.index);
  for (const PrinterModel& model : printerModels()) {
    pugi::xml_document document;
    ASSERT_TRUE(document.load_string(buildMediaFile(model).c_str()));
    for (pugi::xml_node media : document.document_element().child("aMediaList").children()) {
      EXPECT_TRUE(indices.count(media.child("nPassmaskIndex").text().as_int()))
          << model.name << " " << media.child_value("strMediaName");
    }
  }
}

}  // namespace
}  // namespace payloadgen
