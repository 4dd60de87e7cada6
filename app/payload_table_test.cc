#include "app/payload_table.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "testsupport/fake_resources.h"

namespace app {
namespace {

using testsupport::FakeResources;

std::vector<int> blobIdsOf(PayloadKind kind) {
  std::vector<int> ids;
  for (const PayloadStep& step : payloadTable()) {
    if (step.kind == kind) ids.push_back(step.blobId);
  }
  return ids;
}

TEST(PayloadTable, HasSixtySixStepsNumberedInOrder) {
  const auto table = payloadTable();
  ASSERT_EQ(table.size(), 66u);
  for (std::size_t i = 0; i < table.size(); ++i) EXPECT_EQ(table[i].step, static_cast<int>(i + 1));
}

TEST(PayloadTable, KindsAndActionsFollowTheSteps) {
  const auto table = payloadTable();
  EXPECT_EQ(blobIdsOf(PayloadKind::kDeviceSeries), (std::vector<int>{131, 132, 133, 130}));
  for (const PayloadStep& step : table) {
    const bool device = step.step <= 9 || step.step >= 63;
    EXPECT_EQ(step.base, device ? PayloadBase::kDeviceFolder : PayloadBase::kInstallFolder)
        << step.step;
    if (device) {
      EXPECT_EQ(step.nameStringId, step.blobId + 100) << step.step;
    }
    const PayloadAction action = step.step >= 63 ? PayloadAction::kUpdate
                                 : (step.step >= 10 && step.step <= 12)
                                     ? PayloadAction::kCreateFolder
                                     : PayloadAction::kWrite;
    EXPECT_EQ(step.action, action) << step.step;
  }
  EXPECT_EQ(table[9].nameStringId, 201);
  EXPECT_EQ(table[10].nameStringId, 202);
  EXPECT_EQ(table[11].nameStringId, 203);
}

TEST(PayloadTable, EveryBlobFrom130To193ButNot140IsUsedOnce) {
  std::multiset<int> used;
  for (const PayloadStep& step : payloadTable()) {
    if (step.blobId != 0) used.insert(step.blobId);
  }
  std::multiset<int> expected;
  for (int id = 130; id <= 193; ++id) {
    if (id != 140) expected.insert(id);
  }
  EXPECT_EQ(used, expected);
}

class TargetPath : public ::testing::Test {
 protected:
  void SetUp() override {
    resources.setString(200, "Rastella\\Device\\");
    resources.setString(238, "Ostrand KM.bmp");
    resources.setString(230, "Ostrand KM.dsr");
    resources.setString(201, "Profiles\\Ostrand KM");
    resources.setString(101,
                        "Profiles\\Ostrand KM\\Ostrand CMYK\\KM2OS_GenericBacklit_900x600.icc");
  }
  const PayloadStep& step(int number) { return payloadTable()[number - 1]; }

  FakeResources resources;
};

TEST_F(TargetPath, PiecesAreJoinedWithoutInsertingSeparators) {
  std::string path;
  ASSERT_TRUE(buildTargetPath(resources, "C:\\Host\\", step(1), &path));
  EXPECT_EQ(path, "C:\\Host\\Rastella\\Device\\Ostrand KM.bmp");
  ASSERT_TRUE(buildTargetPath(resources, "C:\\Host\\", step(66), &path));
  EXPECT_EQ(path, "C:\\Host\\Rastella\\Device\\Ostrand KM.dsr");
  ASSERT_TRUE(buildTargetPath(resources, "C:\\Host\\", step(10), &path));
  EXPECT_EQ(path, "C:\\Host\\Profiles\\Ostrand KM");
  ASSERT_TRUE(buildTargetPath(resources, "C:\\Host\\", step(13), &path));
  EXPECT_EQ(path, "C:\\Host\\Profiles\\Ostrand KM\\Ostrand CMYK\\KM2OS_GenericBacklit_900x600.icc");
}

TEST_F(TargetPath, MissingOrEmptyStringsSkipTheStep) {
  std::string path = "unchanged";
  EXPECT_FALSE(buildTargetPath(resources, "C:\\Host\\", step(2), &path));  // no string 239
  resources.setString(239, "");
  EXPECT_FALSE(buildTargetPath(resources, "C:\\Host\\", step(2), &path));
  resources.removeString(200);
  EXPECT_FALSE(buildTargetPath(resources, "C:\\Host\\", step(1), &path));
  resources.setString(200, "");
  EXPECT_FALSE(buildTargetPath(resources, "C:\\Host\\", step(1), &path));
  EXPECT_EQ(path, "unchanged");
  // A profile does not need the device folder.
  EXPECT_TRUE(buildTargetPath(resources, "C:\\Host\\", step(13), &path));
}

}  // namespace
}  // namespace app
