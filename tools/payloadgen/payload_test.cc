// What the installer and the embedding step rely on in the committed
// manifest: every blob id of the payload table with an existing file and a
// target name, the string table of folders and language names.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "testsupport/payload.h"
#include "tools/payloadgen/manifest.h"
#include "tools/payloadgen/profile_list.h"

namespace payloadgen {
namespace {

using testsupport::payloadDir;
using testsupport::readFile;

class CommittedManifestTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string text = readFile(payloadDir() / "manifest.tsv");
    ASSERT_FALSE(text.empty());
    std::string error;
    ASSERT_TRUE(parseManifest(text, &manifest_, &error)) << error;
  }

  std::string stringText(int id) const {
    const ManifestString* entry = findString(manifest_, id);
    return entry != nullptr ? entry->text : "<missing string " + std::to_string(id) + ">";
  }

  Manifest manifest_;
};

TEST_F(CommittedManifestTest, HoldsExactlyTheBlobIdsOfThePayloadTable) {
  std::set<int> ids;
  for (const ManifestBlob& blob : manifest_.blobs) ids.insert(blob.id);
  std::set<int> expected;
  for (int id = 130; id <= 193; ++id) {
    if (id != 140) expected.insert(id);
  }
  EXPECT_EQ(ids, expected);
  EXPECT_EQ(manifest_.blobs.size(), 63u);
}

TEST_F(CommittedManifestTest, EveryBlobFileExistsAndIsNotEmpty) {
  for (const ManifestBlob& blob : manifest_.blobs) {
    const std::filesystem::path path = payloadDir() / blob.path;
    std::error_code ec;
    EXPECT_TRUE(std::filesystem::is_regular_file(path, ec)) << blob.id << " " << path;
    EXPECT_GT(std::filesystem::file_size(path, ec), 0u) << blob.id << " " << path;
  }
}

TEST_F(CommittedManifestTest, ThePassMaskBlobsAreOneFile) {
  const ManifestBlob* first = findBlob(manifest_, 134);
  ASSERT_NE(first, nullptr);
  for (int id = 135; id <= 137; ++id) {
    const ManifestBlob* blob = findBlob(manifest_, id);
    ASSERT_NE(blob, nullptr) << id;
    EXPECT_EQ(blob->path, first->path) << id;
  }
}

TEST_F(CommittedManifestTest, NoOtherBlobsShareAFile) {
  std::set<std::string> paths;
  for (const ManifestBlob& blob : manifest_.blobs) {
    if (blob.id >= 135 && blob.id <= 137) continue;
    EXPECT_TRUE(paths.insert(blob.path).second) << blob.path;
  }
}

TEST_F(CommittedManifestTest, DeviceBlobsTargetTheirFileNames) {
  const std::vector<std::pair<int, std::string>> expected = {
      {130, "Ostrand KM.dsr"},        {131, "Ostrand KM 300.dsr"},    {132, "Ostrand KM LX.dsr"},
      {133, "Ostrand KM 300 LX.dsr"}, {134, "Ostrand KM.pmp"},        {135, "Ostrand KM 300.pmp"},
      {136, "Ostrand KM LX.pmp"},     {137, "Ostrand KM 300 LX.pmp"}, {138, "Ostrand KM.bmp"},
      {139, "Ostrand KM.rmt"},        {141, "Ostrand KM 300.rmt"},    {142, "Ostrand KM LX.rmt"},
      {143, "Ostrand KM 300 LX.rmt"},
  };
  for (const auto& [blobId, name] : expected) {
    const ManifestBlob* blob = findBlob(manifest_, blobId);
    ASSERT_NE(blob, nullptr) << blobId;
    EXPECT_EQ(blob->targetStringId, blobId + 100) << blobId;
    EXPECT_EQ(stringText(blobId + 100), name) << blobId;
  }
}

TEST_F(CommittedManifestTest, DeviceBlobFilesHaveTheKindOfTheirTarget) {
  for (const ManifestBlob& blob : manifest_.blobs) {
    if (blob.id > 143) continue;
    const std::string target = stringText(blob.targetStringId);
    ASSERT_GE(target.size(), 4u);
    EXPECT_EQ(std::filesystem::path(blob.path).extension().string(),
              target.substr(target.size() - 4))
        << blob.id;
  }
}

TEST_F(CommittedManifestTest, ProfilesAreTheFiftyNamesInEntryOrder) {
  const std::vector<std::string> stems = {"GenericBacklit_900x600",
                                          "GenericBacklit_900x900",
                                          "GenericHeatTransferSheet_600x600",
                                          "GenericHeatTransferSheet_900x600",
                                          "GenericHeatTransferSheet_900x900",
                                          "GenericPVC_600x600",
                                          "GenericPVC_900x600",
                                          "GenericPVC_900x900",
                                          "GenericPaper_600x600",
                                          "GenericPaper_900x600",
                                          "GenericPaper_900x900"};
  const std::vector<std::string> bannerStems = {"GenericBanner_600x600", "GenericBanner_900x600",
                                                "GenericBanner_900x900"};
  const std::string cmyk = "Profiles\\Ostrand KM\\Ostrand CMYK\\";
  const std::string tessel = "Profiles\\Ostrand KM\\Ostrand Tessel CMYK\\";
  std::vector<std::string> expected;
  for (const auto& [folder, prefix, banner] :
       {std::tuple{cmyk, "KM2OS_", false}, std::tuple{cmyk, "KMOS_", true},
        std::tuple{tessel, "KM2LX_", false}, std::tuple{tessel, "KMLX_", true}}) {
    for (std::size_t i = 0; i < stems.size(); ++i) {
      expected.push_back(folder + prefix + stems[i] + ".icc");
      if (banner && i == 1) {
        for (const std::string& stem : bannerStems) {
          expected.push_back(folder + prefix + stem + ".icc");
        }
      }
    }
  }
  ASSERT_EQ(expected.size(), 50u);

  for (int entry = 101; entry <= 150; ++entry) {
    const std::string& want = expected[entry - 101];
    EXPECT_EQ(stringText(entry), want) << entry;
    const ManifestBlob* blob = findBlob(manifest_, entry + 43);
    ASSERT_NE(blob, nullptr) << entry;
    EXPECT_EQ(blob->targetStringId, entry);
    const std::string fileName = want.substr(want.rfind('\\') + 1);
    EXPECT_EQ(blob->path, "blobs/profiles/" + fileName) << entry;
  }
}

TEST_F(CommittedManifestTest, GeneratorProfileListMatchesTheManifest) {
  const std::vector<ProfileEntry>& entries = profileEntries();
  ASSERT_EQ(entries.size(), 50u);
  for (const ProfileEntry& entry : entries) {
    EXPECT_EQ(entry.blobId, entry.stringId + 43);
    EXPECT_EQ(stringText(entry.stringId), profileTargetPath(entry));
    EXPECT_EQ(entry.name + ".icc", entry.fileName);
  }
}

TEST_F(CommittedManifestTest, FolderAndLanguageStrings) {
  EXPECT_EQ(stringText(200), "Rastella\\Device\\");
  EXPECT_EQ(stringText(201), "Profiles\\Ostrand KM");
  EXPECT_EQ(stringText(202), "Profiles\\Ostrand KM\\Ostrand CMYK");
  EXPECT_EQ(stringText(203), "Profiles\\Ostrand KM\\Ostrand Tessel CMYK");
  const std::vector<std::pair<int, std::string>> languages = {{1, "English"},
                                                              {2, "Chinese_Simplified"},
                                                              {3, "Chinese_Traditional"},
                                                              {4, "French"},
                                                              {5, "German"},
                                                              {6, "Italian"},
                                                              {7, "Japanese"},
                                                              {8, "Korean"},
                                                              {9, "Portuguese"},
                                                              {10, "Spanish"},
                                                              {14, "Russian"},
                                                              {15, "Turkish"},
                                                              {16, "Arabic"}};
  for (const auto& [id, name] : languages) EXPECT_EQ(stringText(id), name) << id;
  for (int id : {11, 12, 13}) EXPECT_EQ(findString(manifest_, id), nullptr) << id;
}

TEST_F(CommittedManifestTest, EveryBlobHasItsTargetString) {
  for (const ManifestBlob& blob : manifest_.blobs) {
    const ManifestString* target = findString(manifest_, blob.targetStringId);
    ASSERT_NE(target, nullptr) << blob.id;
    EXPECT_FALSE(target->text.empty()) << blob.id;
  }
}

}  // namespace
}  // namespace payloadgen
