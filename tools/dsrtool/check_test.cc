#include <string>
#include <vector>

#include "tools/dsrtool/dsrtool_test.h"
#include "tools/dsrtool/options.h"

namespace dsrtool {
namespace {

using CheckCommandTest = DsrToolTest;

TEST_F(CheckCommandTest, ThePayloadDocumentsCheckClean) {
  for (const char* name : testsupport::kPayloadNames) {
    SCOPED_TRACE(name);
    EXPECT_EQ(run({"check", path(name)}), kExitOk);
    EXPECT_EQ(out_.str(), "");
    EXPECT_EQ(err_.str(), "");
  }
}

TEST_F(CheckCommandTest, ReportsEachKindOfFindingAtItsElement) {
  const std::string visible = "\t\t\t<bVisibleMedia>true</bVisibleMedia>\n";
  struct Case {
    std::string from;
    std::string to;
    std::string at;  // where the finding is, in the edited text
    std::string message;
  };
  const std::vector<Case> cases = {
      {"<nHeadNum>6<", "<nHeadNum>six<", "<nHeadNum>",
       "text 'six' in the number field <nHeadNum>, read as 0"},
      {"<nHeadNum>6<", "<nHeadNum>2.5<", "<nHeadNum>",
       "'2.5' in <nHeadNum> truncated at its first non-digit"},
      {"<R>198</R>", "<R>300</R>", "<R>300", "'300' in <R> is out of range"},
      {visible, "\t\t\t<bVisibleMedia>yes</bVisibleMedia>\n", "<bVisibleMedia>yes",
       "bad boolean 'yes' in <bVisibleMedia>, read as false"},
      {"<nHeadNum>6</nHeadNum>", "<nHeadCount>6</nHeadCount>", "<nHeadCount>",
       "element <nHeadCount> stands where <nHeadNum> belongs and is read as it (renamed, extra "
       "or misplaced)"},
      {visible, visible + "\t\t\t<bVisibleMedia>false</bVisibleMedia>\n", "<bVisibleMedia>false",
       "<bVisibleMedia> given twice: this later one wins"},
      {visible, visible + "\t\t\t<bFrobnicate/>\n", "<bFrobnicate/>",
       "element <bFrobnicate> skipped: no field of that name here"},
      {"strVersion=\"6.6.13.0\"", "strVersion=\"banana\"", "<DeviceSeries",
       "strVersion 'banana' is not four numbers"},
      {"</nHeadPositionIndex>", "\t<value99>7</value99>\n\t\t\t</nHeadPositionIndex>", "<value99>",
       "element <value99> skipped: only 24 slots"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    const std::string text = writeEdited("edited.dsr", "ostrand_km.dsr", c.from, c.to);
    EXPECT_EQ(run({"check", path("edited.dsr")}), kExitUnreadable);
    EXPECT_EQ(out_.str(), path("edited.dsr") + ":" + placeOf(text, c.at) + ": " + c.message + "\n");
  }
}

TEST_F(CheckCommandTest, AMissingPositionalElementIsReportedWithTheFailedRead) {
  const std::string text = writeEdited("short.dsr", "ostrand_km.dsr", "\t\t\t\t<B>198</B>\n", "");
  EXPECT_EQ(run({"check", "--json", path("short.dsr")}), kExitUnreadable);
  const Json result = Json::parse(out_.str());
  EXPECT_EQ(result["clean"], false);
  const std::string place = placeOf(text, "<lightColor>");
  const std::string inkPlace = placeOf(text, "<InkInfo>");
  const auto at = [](const std::string& where, const std::string& message) {
    const std::size_t colon = where.find(':');
    return Json{{"line", std::stoi(where.substr(0, colon))},
                {"column", std::stoi(where.substr(colon + 1))},
                {"message", message}};
  };
  EXPECT_EQ(result["findings"],
            (Json{at(inkPlace,
                     "the document cannot be read: a positional element is missing in "
                     "/DeviceSeries/aInkInfoList/InkInfo[1]"),
                  at(place, "positional element <B> missing in <lightColor>")}))
      << result.dump(1);
}

}  // namespace
}  // namespace dsrtool
