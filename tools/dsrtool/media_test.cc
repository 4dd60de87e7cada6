#include <string>
#include <vector>

#include "tools/dsrtool/dsrtool_test.h"
#include "tools/dsrtool/options.h"

namespace dsrtool {
namespace {

class MediaCommandTest : public DsrToolTest {
 protected:
  // The origin of each media, from the JSON output of |args|.
  std::vector<std::string> origins(const std::vector<std::string>& args) {
    EXPECT_EQ(run(args), kExitOk) << err_.str();
    const Json result = Json::parse(out_.str());
    std::vector<std::string> found;
    for (const Json& media : result["media"]) found.push_back(media["origin"].get<std::string>());
    return found;
  }
};

TEST_F(MediaCommandTest, MarksPresetsOfThePayloadDocumentOfTheSameNameAndTheUsersOwn) {
  writeUserDocument("user.dsr");
  // Deployed as "Ostrand KM.dsr"; Windows names ignore case.
  fs::copy_file(path("user.dsr"), path("OSTRAND KM.DSR"));
  const std::vector<std::string> fivePresets(5, "preset");
  std::vector<std::string> withUsers = fivePresets;
  withUsers.push_back("user");

  struct Case {
    std::vector<std::string> args;
    std::vector<std::string> expected;
  };
  const std::vector<Case> cases = {
      {{"media", "--json", path("OSTRAND KM.DSR")}, withUsers},
      // No payload document is deployed as "user.dsr": no reference.
      {{"media", "--json", path("user.dsr")}, std::vector<std::string>(6, "-")},
      {{"media", "--json", path("user.dsr"), "--against", path("ostrand_km.dsr")}, withUsers},
      {{"media", "--json", "--against", path("user.dsr"), path("ostrand_km.dsr")}, fivePresets},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.back());
    EXPECT_EQ(origins(c.args), c.expected);
  }
}

TEST_F(MediaCommandTest, ListsIndexVisibilityOriginAndEnglishName) {
  writeUserDocument("Ostrand KM.dsr");
  ASSERT_EQ(run({"media", path("Ostrand KM.dsr")}), kExitOk) << err_.str();
  EXPECT_EQ(out_.str(),
            "0\tvisible\tpreset\tGeneric Vinyl\n"
            "1\tvisible\tpreset\tGeneric Banner\n"
            "2\thidden\tpreset\tGeneric Paper\n"
            "3\tvisible\tpreset\tGeneric Backlit\n"
            "4\tvisible\tpreset\tGeneric Heat Transfer Sheet\n"
            "5\tvisible\tuser\tMy Vinyl\n");
  ASSERT_EQ(run({"media", "--json", path("Ostrand KM.dsr")}), kExitOk);
  const Json result = Json::parse(out_.str());
  EXPECT_EQ(result["against"], "payload");
  EXPECT_EQ(
      result["media"][2],
      (Json{{"index", 2}, {"name", "Generic Paper"}, {"visible", false}, {"origin", "preset"}}));
}

TEST_F(MediaCommandTest, AnUnreadableReferenceFailsTheCommand) {
  scratch_.write("text.dsr", "no XML");
  EXPECT_EQ(run({"media", path("ostrand_km.dsr"), "--against", path("text.dsr")}), kExitUnreadable);
  EXPECT_EQ(out_.str(), "");
  EXPECT_EQ(run({"media", path("ostrand_km.dsr"), "--against"}), kExitUsage);
}

}  // namespace
}  // namespace dsrtool
