#include "tools/payloadgen/media_file.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <regex>
#include <set>
#include <string>
#include <vector>

#include "testsupport/payload.h"

namespace payloadgen {
namespace {

constexpr char kDeclaration[] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";

std::string committedMediaFile(const PrinterModel& model) {
  return testsupport::payloadText(model.fileStem + ".rmt");
}

class MediaFileTest : public ::testing::TestWithParam<PrinterModel> {
 protected:
  void SetUp() override {
    text_ = committedMediaFile(GetParam());
    const pugi::xml_parse_result result =
        document_.load_buffer(text_.data(), text_.size(), pugi::parse_default, pugi::encoding_utf8);
    ASSERT_TRUE(result) << result.description();
    root_ = document_.document_element();
  }

  std::string text_;
  pugi::xml_document document_;
  pugi::xml_node root_;
};

TEST_P(MediaFileTest, IsAUtf8HarvelMediaFileOfItsModel) {
  EXPECT_EQ(text_.rfind(kDeclaration, 0), 0u);
  EXPECT_STREQ(root_.name(), "Harvel_Media_File");
  EXPECT_EQ(std::string(root_.child_value("strModelName")), GetParam().name);
  EXPECT_EQ(root_.child("nMaxMediaWidth").text().as_int(), GetParam().wide ? 3200 : 1620);
  EXPECT_EQ(text_, buildMediaFile(GetParam()));
}

TEST_P(MediaFileTest, ListsTheFiveGenericMedia) {
  std::vector<std::string> names;
  for (pugi::xml_node media : root_.child("aMediaList").children("Media")) {
    names.emplace_back(media.child_value("strMediaName"));
    const int passmask = media.child("nPassmaskIndex").text().as_int();
    EXPECT_GE(passmask, 11) << names.back();
    EXPECT_LE(passmask, 35) << names.back();
    const int vacuum = media.child("nVacuumPower").text().as_int();
    EXPECT_GE(vacuum, 1);
    EXPECT_LE(vacuum, 5);
    EXPECT_GT(media.child("flThickness").text().as_double(), 0.0);
    // Reals are written with three decimals, as in the device-series files.
    EXPECT_TRUE(std::regex_match(media.child("aflFeedCalibration").child_value("value"),
                                 std::regex(R"(-?[0-9]+\.[0-9]{3})")));
    // Tessel ink is cured, not dried: the curing unit is on, the drier off.
    if (GetParam().tessel) {
      EXPECT_EQ(media.child("nDryHeater").text().as_int(), 0);
      EXPECT_GT(media.child("nCuringTemperature").text().as_int(), 0);
    } else {
      EXPECT_GT(media.child("nDryHeater").text().as_int(), 0);
      EXPECT_EQ(media.child("nCuringTemperature").text().as_int(), 0);
    }
    EXPECT_STREQ(media.child_value("bVisibleMedia"), "true");
  }
  EXPECT_EQ(names, (std::vector<std::string>{"Generic Vinyl", "Generic Banner", "Generic Paper",
                                             "Generic Backlit", "Generic Heat Transfer Sheet"}));
  EXPECT_EQ(names, mediaNames());
}

INSTANTIATE_TEST_SUITE_P(Models, MediaFileTest, ::testing::ValuesIn(printerModels()),
                         [](const ::testing::TestParamInfo<PrinterModel>& param) {
                           return param.param.fileStem;
                         });

TEST(MediaFilesTest, EveryModelHasItsOwnFile) {
  std::set<std::string> texts;
  std::set<int> blobIds;
  for (const PrinterModel& model : printerModels()) {
    texts.insert(committedMediaFile(model));
    blobIds.insert(model.mediaBlobId);
  }
  EXPECT_EQ(texts.size(), 4u);
  EXPECT_EQ(blobIds, (std::set<int>{139, 141, 142, 143}));
}

}  // namespace
}  // namespace payloadgen
