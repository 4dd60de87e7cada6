#include <string>
#include <vector>

#include "tools/dsrtool/dsrtool_test.h"
#include "tools/dsrtool/options.h"

namespace dsrtool {
namespace {

using DiffCommandTest = DsrToolTest;

TEST_F(DiffCommandTest, ADocumentAgainstItsOwnMergeListsExactlyTheUsersMedia) {
  writeUserDocument("installed.dsr");
  ASSERT_EQ(run({"merge", path("installed.dsr"), path("ostrand_km.dsr"), path("merged.dsr")}),
            kExitOk)
      << err_.str();
  ASSERT_EQ(run({"diff", "--json", path("ostrand_km.dsr"), path("merged.dsr")}), 1) << err_.str();
  const Json result = Json::parse(out_.str());
  EXPECT_EQ(result["same"], false);
  EXPECT_EQ(result["strVersion"], (Json{{"a", "6.6.13.0"}, {"b", "6.6.13.0"}}));
  EXPECT_EQ(result["fields"], Json::array());
  // The user's media, and the user's choice to hide a preset: nothing else.
  const Json expected = Json::parse(R"([{
      "list": "aMediaInfoList",
      "added": [{"index": 5, "name": "My Vinyl"}],
      "removed": [],
      "changed": [{"a": 2, "b": 2, "name": "Generic Paper",
                   "fields": [{"field": "bVisibleMedia", "a": "true", "b": "false"}]}]}])");
  EXPECT_EQ(result["lists"], expected);

  EXPECT_EQ(run({"diff", path("ostrand_km.dsr"), path("merged.dsr")}), 1);
  EXPECT_EQ(out_.str(),
            "aMediaInfoList[5]: added \"My Vinyl\"\n"
            "aMediaInfoList[2]: changed \"Generic Paper\"\n"
            "  bVisibleMedia: true -> false\n");
}

TEST_F(DiffCommandTest, MatchesOtherListsByPositionAndReportsEveryChangedField) {
  devseries::DeviceSeries record = read("ostrand_km.dsr");
  record.aInkInfoList[1].strShortInkName = "Zz";
  record.aInkInfoList[1].nCapacity = 1234;
  record.aVControlPointList.clear();
  // The media moved: matched by name, not by position.
  std::swap(record.aMediaInfoList[0], record.aMediaInfoList[1]);
  devseries::DeviceSeriesIO2 io(path("edited.dsr"), *env_);
  ASSERT_TRUE(io.write(record)) << io.lastError();

  ASSERT_EQ(run({"diff", "--json", path("ostrand_km.dsr"), path("edited.dsr")}), 1);
  const Json result = Json::parse(out_.str());
  EXPECT_EQ(result["strVersion"]["b"], "3.3.0.0");
  ASSERT_EQ(result["lists"].size(), 2u) << result.dump(1);
  const Json& inks = result["lists"][0];
  EXPECT_EQ(inks["list"], "aInkInfoList");
  ASSERT_EQ(inks["changed"].size(), 1u);
  EXPECT_EQ(inks["changed"][0]["a"], 1);
  const Json& fields = inks["changed"][0]["fields"];
  ASSERT_EQ(fields.size(), 2u);
  EXPECT_EQ(fields[0]["field"], "strShortInkName");
  EXPECT_EQ(fields[0]["b"], "Zz");
  EXPECT_EQ(fields[1], (Json{{"field", "nCapacity"}, {"a", fields[1]["a"]}, {"b", "1234"}}));
  const Json& points = result["lists"][1];
  EXPECT_EQ(points["list"], "aVControlPointList");
  EXPECT_EQ(points["removed"].size(), 86u);
  EXPECT_EQ(points["added"], Json::array());
}

TEST_F(DiffCommandTest, ExitsLikeDiff) {
  scratch_.write("text.dsr", "no XML");
  const std::vector<std::pair<std::vector<std::string>, int>> cases = {
      {{"diff", path("ostrand_km.dsr"), path("ostrand_km.dsr")}, 0},
      {{"diff", path("ostrand_km.dsr"), path("ostrand_km_lx.dsr")}, 1},
      {{"diff", path("ostrand_km.dsr"), path("text.dsr")}, 2},
      {{"diff", path("ostrand_km.dsr"), path("absent.dsr")}, 2},
      {{"diff", path("ostrand_km.dsr")}, 2},
  };
  for (const auto& [args, status] : cases) {
    SCOPED_TRACE(args.back());
    EXPECT_EQ(run(args), status) << err_.str();
    // Nothing to show when the same, nothing shown on trouble.
    EXPECT_EQ(out_.str().empty(), status != 1);
  }
}

}  // namespace
}  // namespace dsrtool
