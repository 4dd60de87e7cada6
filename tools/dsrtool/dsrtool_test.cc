#include "tools/dsrtool/dsrtool.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "app/version.h"
#include "devseries/device_series_io.h"
#include "testsupport/fault_file_system.h"
#include "testsupport/hosts/documents.h"
#include "testsupport/payload.h"
#include "testsupport/scratch_dir.h"
#include "testsupport/test_env.h"
#include "tools/dsrtool/dsrtool_test.h"
#include "xml/language_table.h"

namespace dsrtool {
namespace {

namespace fs = std::filesystem;
using testsupport::FileOp;
using testsupport::ScratchDir;

// ---------------------------------------------------------------------------
// Usage

TEST_F(DsrToolTest, HelpListsTheCommands) {
  EXPECT_EQ(run({"--help"}), kExitOk);
  for (const char* command : {"usage: dsrtool", "info", "roundtrip", "curve", "merge", "verify"}) {
    EXPECT_NE(out_.str().find(command), std::string::npos) << command;
  }
  EXPECT_EQ(err_.str(), "");
}

TEST_F(DsrToolTest, VersionAndCommandHelpGoToStandardOutput) {
  EXPECT_EQ(run({"--version"}), kExitOk);
  EXPECT_EQ(out_.str(), std::string("dsrtool ") + OKM_VERSION + "\n");
  for (const Command* command : commands()) {
    SCOPED_TRACE(command->name);
    EXPECT_EQ(run({command->name, "--help"}), kExitOk);
    EXPECT_EQ(out_.str().rfind(std::string("usage: dsrtool ") + command->synopsis + "\n", 0), 0u);
    EXPECT_EQ(err_.str(), "");
  }
}

TEST_F(DsrToolTest, UsageErrorsExitTwoWithAMessage) {
  const std::string doc = path("ostrand_km.dsr");
  const std::vector<std::vector<std::string>> cases = {
      {},
      {"frobnicate"},
      {"info"},
      {"info", doc, doc},
      {"roundtrip", doc},
      {"curve", doc, "0"},
      {"merge", doc, doc},
      {"merge", doc, doc, doc, doc},
      {"merge", doc, path("ostrand_km_lx.dsr"), doc},  // OUT would replace an input
      // ... also under another spelling of the same file
      {"merge", doc, path("ostrand_km_lx.dsr"), scratch_ / "./ostrand_km.dsr"},
      {"merge", path("ostrand_km_lx.dsr"), doc,
       scratch_ / "../" + fs::path(scratch_.path()).filename().string() + "/ostrand_km.dsr"},
      {"verify", "--host"},
      {"verify", "--host", ""},
      {"verify", "--host", scratch_.path(), "--host", scratch_.path()},
      {"verify", "--jsn"},
  };
  for (const std::vector<std::string>& args : cases) {
    SCOPED_TRACE(args.empty() ? "(none)" : args[0] + " with " + std::to_string(args.size()));
    EXPECT_EQ(run(args), kExitUsage);
    EXPECT_EQ(out_.str(), "");
    EXPECT_EQ(err_.str().rfind("dsrtool: ", 0), 0u) << err_.str();
  }
  run({"frobnicate"});
  EXPECT_NE(err_.str().find("unknown command 'frobnicate'"), std::string::npos);
}

TEST_F(DsrToolTest, OptionsAreCheckedBeforeAnythingIsRead) {
  const std::string doc = path("ostrand_km.dsr");
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"info", "--frob", doc}, "info: unknown option '--frob'"},
      {{"info", "--json", "--json", doc}, "info: option '--json' given twice"},
      {{"roundtrip", "--json", doc, doc}, "roundtrip: unknown option '--json'"},
  };
  for (const auto& [args, message] : cases) {
    SCOPED_TRACE(message);
    EXPECT_EQ(run(args), kExitUsage);
    EXPECT_EQ(err_.str().rfind("dsrtool: " + message + "\n", 0), 0u) << err_.str();
  }
  // "--" ends the options: what follows is a file name.
  EXPECT_EQ(run({"info", "--", "--json"}), kExitUnreadable);
  EXPECT_EQ(err_.str(), "dsrtool: --json: no such file\n");
}

TEST_F(DsrToolTest, AFailedWriteToStandardOutputIsAWriteError) {
  std::ostream full(nullptr);  // every write fails, as on /dev/full
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{"--version"}, {"info", path("ostrand_km.dsr")}}) {
    err_.str("");
    EXPECT_EQ(dsrtool::run(args, full, err_, *env_), kExitUnreadable) << args[0];
    EXPECT_EQ(err_.str(), "dsrtool: write error\n");
  }
}

TEST_F(DsrToolTest, EachKindOfNonFileHasItsOwnMessage) {
  std::vector<std::pair<std::string, std::string>> cases = {
      {"absent.dsr", "no such file"},
      {"folder.dsr", "is a folder"},
  };
  fs::create_directory(path("folder.dsr"));
#ifndef _WIN32
  ASSERT_EQ(::mkfifo(path("fifo.dsr").c_str(), 0644), 0);
  cases.emplace_back("fifo.dsr", "is not a regular file (a FIFO, device or socket)");
#endif
  for (const auto& [name, message] : cases) {
    SCOPED_TRACE(name);
    EXPECT_EQ(run({"info", path(name)}), kExitUnreadable);
    EXPECT_EQ(err_.str(), "dsrtool: " + path(name) + ": " + message + "\n");
  }
}

TEST_F(DsrToolTest, BadCurveIndicesAreUsageErrors) {
  const std::string doc = path("ostrand_km.dsr");
  const devseries::DeviceSeries record = read("ostrand_km.dsr");
  const std::string tables =
      std::to_string(record.aSeparationInfoList[0].aSeparationTableList.size());
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"-1", "0"},   {"x", "0"},           {"0", "1.5"},
      {"0", ""},     {"0", "99999999999"}, {"8", "0"},  // the document has eight separations
      {"0", tables},
  };
  for (const auto& [s, t] : cases) {
    SCOPED_TRACE(s + " " + t);
    EXPECT_EQ(run({"curve", doc, s, t}), kExitUsage);
    EXPECT_NE(err_.str().find("curve: "), std::string::npos) << err_.str();
    EXPECT_EQ(out_.str(), "");
  }
}

// ---------------------------------------------------------------------------
// info

TEST_F(DsrToolTest, InfoCountsEveryList) {
  EXPECT_EQ(run({"info", path("ostrand_km.dsr")}), kExitOk) << err_.str();
  EXPECT_EQ(out_.str(),
            "strVersion: 6.6.13.0\n"
            "aModelInfoList: 1\n"
            "aInkInfoList: 4\n"
            "aInkConfigInfoList: 1\n"
            "aResolutionInfoList: 31\n"
            "aModeInfoList: 11\n"
            "aSeparationInfoList: 8\n"
            "aVControlPointList: 86\n"
            "aPatternInfoList: 8\n"
            "aMediaInfoList: 5\n"
            "aPrintChartFileInfoSetList: 2\n"
            "aInkVolumeInfoList: 42\n");
  EXPECT_EQ(err_.str(), "");

  EXPECT_EQ(run({"info", path("ostrand_km_300_lx.dsr")}), kExitOk);
  EXPECT_NE(out_.str().find("aSeparationInfoList: 2\n"), std::string::npos);
  EXPECT_NE(out_.str().find("aMediaInfoList: 4\n"), std::string::npos);
}

TEST_F(DsrToolTest, InfoOnUnreadableDocumentsExitsOneWithTheReason) {
  std::string nineChildren = ScratchDir::read(path("ostrand_km.dsr"));
  nineChildren.erase(
      nineChildren.find("\t<aModelInfoList>"),
      nineChildren.find("\t<aInkInfoList>") - nineChildren.find("\t<aModelInfoList>"));
  nineChildren.erase(
      nineChildren.find("\t<aPrintChartFileInfoSetList>"),
      nineChildren.find("</DeviceSeries>") - nineChildren.find("\t<aPrintChartFileInfoSetList>"));
  scratch_.write("nine.dsr", nineChildren);
  scratch_.write("text.dsr", "this is no XML\n");
  scratch_.write("other.dsr", "<?xml version=\"1.0\"?>\n<MediaList strVersion=\"1.0.0.0\"/>\n");
  scratch_.write("broken.dsr",
                 "<DeviceSeries strVersion=\"1.0.0.0\">\n\t<aModelInfoList>\n\t</aInk>\n");

  const std::string extraEntry =
      writeEdited("extra.dsr", "ostrand_km.dsr", "<aInkInfoList>\n", "<aInkInfoList><Junk/>\n");
  const std::string extraField = writeEdited("shifted.dsr", "ostrand_km.dsr", "\t<aModelInfoList>",
                                             "\t<Junk/>\n\t<aModelInfoList>");

  // What follows "dsrtool: FILE": the place of the element concerned, where
  // it is known, and the reason after ": ".
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"broken.dsr", ":3:4: Start-end tags mismatch"},
      {"text.dsr",
       ": not well-formed: the declaration, top-level content, a name, a namespace, a comment, a "
       "duplicate attribute, '<' in an attribute value, \"]]>\" in text or a reference"},
      {"other.dsr", ": no DeviceSeries root element"},
      {"nine.dsr", ":2:1: a positional element is missing in /DeviceSeries"},
      // An element too many is no missing one.
      {"extra.dsr", ":" + placeOf(extraEntry, "<Junk/>") +
                        ": an element other than <InkInfo> among the entries (extra or misplaced) "
                        "in /DeviceSeries/aInkInfoList/Junk[1]"},
      {"shifted.dsr", ":" + placeOf(extraField, "<Junk/>") +
                          ": <Junk> stands where <aModelInfoList> belongs (extra, renamed or "
                          "misplaced) in /DeviceSeries"},
      {"absent.dsr", ": no such file"},
  };
  for (const auto& [name, reason] : cases) {
    SCOPED_TRACE(name);
    EXPECT_EQ(run({"info", path(name)}), kExitUnreadable);
    EXPECT_EQ(out_.str(), "");
    std::string expected = "dsrtool: ";
    expected += path(name);
    expected += reason;
    expected += '\n';
    EXPECT_EQ(err_.str(), expected);
  }
}

// ---------------------------------------------------------------------------
// roundtrip and curve

TEST_F(DsrToolTest, RoundtripGivesEveryPayloadDocumentBack) {
  for (const char* name : testsupport::kPayloadNames) {
    SCOPED_TRACE(name);
    const std::string out = std::string("round_") + name;
    EXPECT_EQ(run({"roundtrip", path(name), path(out)}), kExitOk) << err_.str();
    EXPECT_EQ(ScratchDir::read(path(out)), ScratchDir::read(path(name)));
  }
}

TEST_F(DsrToolTest, RoundtripOfAnUnreadableDocumentWritesNothing) {
  scratch_.write("text.dsr", "<DeviceSeries");
  EXPECT_EQ(run({"roundtrip", path("text.dsr"), path("out.dsr")}), kExitUnreadable);
  EXPECT_FALSE(ScratchDir::exists(path("out.dsr")));
}

TEST_F(DsrToolTest, CurvePrintsTheWholeOutputTable) {
  // The payload carries no output tables (eType 0): 4096 zeros.
  EXPECT_EQ(run({"curve", path("ostrand_km.dsr"), "1", "0"}), kExitOk) << err_.str();
  std::string zeros;
  for (int i = 0; i < 4096; ++i) zeros += "0\n";
  EXPECT_EQ(out_.str(), zeros);

  // A document that carries a table (a ramp over the 12-bit range) prints
  // the entries rebuilt from its samples.
  devseries::DeviceSeries record = read("ostrand_km.dsr");
  devseries::SeparationTable& table = record.aSeparationInfoList[1].aSeparationTableList[2];
  table.eType = 1;
  for (int i = 0; i < 4096; ++i)
    table.usOutputTable[static_cast<std::size_t>(i)] = static_cast<std::uint16_t>(i);
  devseries::DeviceSeriesIO2 writer(path("ramp.dsr"), *env_);
  ASSERT_TRUE(writer.write(record));
  const devseries::DeviceSeries reread = read("ramp.dsr");
  const auto& rebuilt = reread.aSeparationInfoList[1].aSeparationTableList[2];

  EXPECT_EQ(run({"curve", path("ramp.dsr"), "1", "2"}), kExitOk) << err_.str();
  std::istringstream lines(out_.str());
  std::vector<long> printed;
  for (std::string line; std::getline(lines, line);) printed.push_back(std::stol(line));
  ASSERT_EQ(printed.size(), 4096u);
  for (std::size_t i = 0; i < printed.size(); ++i) {
    ASSERT_EQ(printed[i], rebuilt.usOutputTable[i]) << i;
  }
  // The samples come back exactly at their positions.
  EXPECT_EQ(printed[16], 16);
  EXPECT_EQ(printed[2056], 2056);
  EXPECT_EQ(printed[4095], 4095);
}

// ---------------------------------------------------------------------------
// merge

class DsrToolMergeTest : public DsrToolTest {
 protected:
  // installed.dsr: the payload document as a user has it, with a media of
  // the user's own and the third preset hidden, saved in format 3.3.0.0.
  void SetUp() override {
    DsrToolTest::SetUp();
    writeUserDocument("installed.dsr");
    ASSERT_NE(ScratchDir::read(path("installed.dsr")).find("strVersion=\"3.3.0.0\""),
              std::string::npos);
  }
};

TEST_F(DsrToolMergeTest, CarriesTheUsersMediaAndVisibilityWithTheNewVersion) {
  ASSERT_EQ(run({"merge", path("installed.dsr"), path("ostrand_km.dsr"), path("out.dsr")}), kExitOk)
      << err_.str();
  EXPECT_EQ(out_.str(),
            "media 0 \"Generic Vinyl\": matched new media 0, visibility copied\n"
            "media 1 \"Generic Banner\": matched new media 1, visibility copied\n"
            "media 2 \"Generic Paper\": matched new media 2, visibility copied\n"
            "media 3 \"Generic Backlit\": matched new media 3, visibility copied\n"
            "media 4 \"Generic Heat Transfer Sheet\": matched new media 4, visibility copied\n"
            "media 5 \"My Vinyl\": appended as media 5\n");

  const std::string text = ScratchDir::read(path("out.dsr"));
  EXPECT_NE(text.find("<DeviceSeries strVersion=\"6.6.13.0\">"), std::string::npos);
  const devseries::DeviceSeries merged = read("out.dsr");
  ASSERT_EQ(merged.aMediaInfoList.size(), 6);
  EXPECT_EQ(merged.aMediaInfoList[5].strMediaName[xml::kJapanese], "My Vinyl");
  EXPECT_EQ(merged.aMediaInfoList[5].nDryTime, 77);
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(merged.aMediaInfoList[i].bVisibleMedia, i != 2) << i;
  }
}

TEST_F(DsrToolMergeTest, TouchesNoFileButTheOutput) {
  const std::string installed = ScratchDir::read(path("installed.dsr"));
  const std::string payload = ScratchDir::read(path("ostrand_km.dsr"));
  const std::set<std::string> before = folderContent();
  files_->clearCalls();
  ASSERT_EQ(run({"merge", path("installed.dsr"), path("ostrand_km.dsr"), path("out.dsr")}),
            kExitOk);

  EXPECT_EQ(ScratchDir::read(path("installed.dsr")), installed);
  EXPECT_EQ(ScratchDir::read(path("ostrand_km.dsr")), payload);
  std::set<std::string> after = before;
  after.insert("out.dsr");
  EXPECT_EQ(folderContent(), after);
  for (const testsupport::FileCall& call : files_->calls()) {
    const bool changes = call.op == FileOp::kWrite || call.op == FileOp::kDeleteFile ||
                         call.op == FileOp::kMoveFileReplace || call.op == FileOp::kCopyFile ||
                         call.op == FileOp::kCreateDirectory;
    if (!changes) continue;
    // The result is made beside OUT and renamed over it.
    const std::string& target = call.otherPath.empty() ? call.path : call.otherPath;
    EXPECT_TRUE(target == path("out.dsr") || target == path("out.dsr.tmp"))
        << testsupport::fileOpName(call.op) << " " << target;
  }
}

TEST_F(DsrToolMergeTest, AFailedWriteLeavesTheOutputAsItWas) {
  // No OUT before: none after. An existing OUT (maybe a file the user still
  // needs): kept byte for byte.
  for (const bool existed : {false, true}) {
    SCOPED_TRACE(existed ? "existing OUT" : "no OUT");
    if (existed) ScratchDir::overwrite(path("out.dsr"), "the user's file");
    files_->clearFaults();
    files_->inject(testsupport::Fault::diskFull(1000, "out.dsr"));
    EXPECT_EQ(run({"merge", path("installed.dsr"), path("ostrand_km.dsr"), path("out.dsr")}),
              kExitUnreadable);
    std::string expected = "dsrtool: ";
    expected += path("out.dsr");
    expected += ": cannot be written: ";
    expected += platform::describeError(platform::kDiskFull);
    expected += '\n';
    EXPECT_EQ(err_.str(), expected);
    EXPECT_EQ(out_.str(), "");
    EXPECT_EQ(ScratchDir::exists(path("out.dsr")), existed);
    if (existed) {
      EXPECT_EQ(ScratchDir::read(path("out.dsr")), "the user's file");
    }
    EXPECT_FALSE(ScratchDir::exists(path("out.dsr.tmp")));
  }
}

}  // namespace
}  // namespace dsrtool
