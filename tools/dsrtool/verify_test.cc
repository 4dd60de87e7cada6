#include "tools/dsrtool/verify.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "devseries/device_series_io.h"
#include "testsupport/fault_file_system.h"
#include "testsupport/hosts/records.h"
#include "testsupport/hosts/second_run_host.h"
#include "testsupport/scratch_dir.h"
#include "testsupport/test_env.h"
#include "tools/dsrtool/dsrtool.h"

namespace dsrtool {
namespace {

namespace fs = std::filesystem;
using testsupport::ScratchDir;

// A host after the installer's first run, in-process with a small payload
// (second_run's), and the tool run against it. Public, so that the damage
// table's functions can reach the host.
class VerifyTest : public ::testing::Test {
 public:
  void SetUp() override {
    fs::create_directories(host_ + "/Rastella/Device");
    fs::create_directories(host_ + "/Profiles");
    testsupport::prepareEnv(env_, host_);
    testsupport::runInstaller(env_);
  }

  int verify(std::vector<std::string> args = {}) {
    out_.str("");
    err_.str("");
    args.insert(args.begin(), "verify");
    return run(args, out_, err_, env_);
  }

  // The native file of a device file, and the path verify names it by.
  std::string deviceFile(const std::string& name) const {
    return host_ + "/Rastella/Device/" + name;
  }
  std::string reported(const std::string& relative) const { return hostPath_ + "\\" + relative; }

  // Reads a device-series file, lets |edit| change the record, writes it back.
  void editDocument(const std::string& name,
                    const std::function<void(devseries::DeviceSeries&)>& edit) {
    devseries::DeviceSeries record;
    devseries::DeviceSeriesIO2 reader(deviceFile(name), env_);
    ASSERT_TRUE(reader.read(record)) << reader.lastError();
    edit(record);
    devseries::DeviceSeriesIO2 writer(deviceFile(name), env_);
    ASSERT_TRUE(writer.write(record)) << writer.lastError();
  }

  // The user's media added to Ostrand KM.dsr and merged by a second run.
  void mergeUsersMedia() {
    editDocument("Ostrand KM.dsr", testsupport::addUserMediaAndHidePreset);
    testsupport::runInstaller(env_);
  }

  // Every kind of damage at once, on different targets.
  void damageEverything() {
    mergeUsersMedia();
    fs::remove(deviceFile("Ostrand KM.rmt"));
    ScratchDir::overwrite(deviceFile("Ostrand KM LX.dsr"), "not XML\n<<<");
    ScratchDir::overwrite(deviceFile("Ostrand KM.dsr.tmp"), "left");
  }

  ScratchDir scratch_;
  std::string host_ = scratch_ / "Host";
  testsupport::TestEnv env_{host_};
  // The install folder as the registry names it: the Windows path of host_.
  std::string hostPath_ = testsupport::windowsPathOf(host_);
  std::ostringstream out_;
  std::ostringstream err_;
};

struct DamageCase {
  const char* name;
  std::function<void(VerifyTest&)> damage;
  const char* target;    // below the install folder; empty: none damaged
  std::string expected;  // the target's line after the column of states
  int exitCode;
  std::vector<std::string> leftovers;  // below the device folder
};

// The line verify prints for |path| with state |state|.
std::string stateLine(const std::string& state, const std::string& rest) {
  return state + std::string(12 - state.size(), ' ') + rest;
}

TEST_F(VerifyTest, EachKindOfDamageGetsItsState) {
  const std::string dsr = "Rastella\\Device\\Ostrand KM.dsr";
  const std::string lx = "Rastella\\Device\\Ostrand KM LX.dsr";
  const std::string profile = "Profiles\\Ostrand KM\\Ostrand CMYK\\KM2OS_GenericPVC_600x600.icc";
  const DamageCase cases[] = {
      {"intact", [](VerifyTest&) {}, "", "", 0, {}},
      {"missing file",
       [](VerifyTest& t) { fs::remove(t.deviceFile("Ostrand KM.rmt")); },
       "Rastella\\Device\\Ostrand KM.rmt",
       stateLine("missing", "%s"),
       1,
       {}},
      {"changed byte",
       [](VerifyTest& t) {
         const std::string file = t.host_ +
                                  "/Profiles/Ostrand KM/Ostrand CMYK/"
                                  "KM2OS_GenericPVC_600x600.icc";
         std::string bytes = ScratchDir::read(file);
         bytes[bytes.size() / 2] ^= 1;
         ScratchDir::overwrite(file, bytes);
       },
       profile.c_str(),
       stateLine("modified", "%s"),
       1,
       {}},
      {"stale document",
       [](VerifyTest& t) {
         std::string text = ScratchDir::read(t.deviceFile("Ostrand KM LX.dsr"));
         text.replace(text.find("strVersion=\"") + 12, 1, "1");
         ScratchDir::overwrite(t.deviceFile("Ostrand KM LX.dsr"), text);
       },
       lx.c_str(),
       stateLine("out of date", "%s: version 1.3.0.0, the payload's 3.3.0.0 (0 user media)"),
       1,
       {}},
      {"preset changed in the document",
       [](VerifyTest& t) {
         t.editDocument("Ostrand KM LX.dsr",
                        [](devseries::DeviceSeries& r) { r.aMediaInfoList[0].nDryTime = 9; });
       },
       lx.c_str(),
       stateLine("out of date", "%s (0 user media)"),
       1,
       {}},
      {"user's media merged",
       [](VerifyTest& t) { t.mergeUsersMedia(); },
       dsr.c_str(),
       stateLine("merged", "%s (1 user media)"),
       0,
       {}},
      {"user's media not yet merged",
       [](VerifyTest& t) {
         t.editDocument("Ostrand KM.dsr", testsupport::addUserMediaAndHidePreset);
       },
       dsr.c_str(),
       stateLine("out of date", "%s (1 user media)"),
       1,
       {}},
      {"not XML",
       [](VerifyTest& t) { ScratchDir::overwrite(t.deviceFile("Ostrand KM.dsr"), "not XML\n<<<"); },
       dsr.c_str(),
       stateLine("unreadable", "%s:2:2: "),
       1,
       {}},
      {"leftovers",
       [](VerifyTest& t) {
         for (const char* name : {"Ostrand KM.dsr.out", "Ostrand KM.dsr.tmp", "Ostrand KM.dsr.bak",
                                  "Ostrand KM.dsr.7.bak", "Ostrand KM.bmp.tmp"}) {
           ScratchDir::overwrite(t.deviceFile(name), "left");
         }
       },
       "",
       "",
       0,
       {"Ostrand KM.bmp.tmp", "Ostrand KM.dsr.tmp", "Ostrand KM.dsr.out", "Ostrand KM.dsr.bak",
        "Ostrand KM.dsr.7.bak"}},
  };
  const testsupport::Tree installed = testsupport::snapshot(host_);
  for (const DamageCase& c : cases) {
    SCOPED_TRACE(c.name);
    testsupport::restore(host_, installed);
    c.damage(*this);
    EXPECT_EQ(verify(), c.exitCode) << out_.str() << err_.str();

    std::istringstream lines(out_.str());
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "host: " + hostPath_ + "\\");
    int targets = 0;
    std::vector<std::string> leftovers;
    while (std::getline(lines, line) && !line.starts_with("66 targets:")) {
      if (line.starts_with("leftover")) {
        leftovers.push_back(line.substr(line.rfind('\\') + 1));
        continue;
      }
      ++targets;
      const std::string target = *c.target == '\0' ? "" : reported(c.target);
      if (!target.empty() && line.find(target) != std::string::npos) {
        std::string expected = c.expected;
        expected.replace(expected.find("%s"), 2, target);
        // An unreadable document's reason is the parser's; its place is ours.
        EXPECT_EQ(line.substr(0, std::min(line.size(), expected.size())), expected);
      } else {
        // The others are intact; a second run leaves its merges.
        const bool intact = line.starts_with("ok          ") ||
                            (line.starts_with("merged      ") && line.ends_with(" (0 user media)"));
        EXPECT_TRUE(intact) << line;
      }
    }
    EXPECT_EQ(targets, 66);
    EXPECT_EQ(leftovers, c.leftovers);
    EXPECT_TRUE(line.starts_with("66 targets:")) << line;
  }
}

TEST_F(VerifyTest, JsonReportNamesEveryTargetAndLeftover) {
  damageEverything();
  EXPECT_EQ(verify({"--json"}), 1);
  const nlohmann::json report = nlohmann::json::parse(out_.str());
  EXPECT_EQ(report["host"], hostPath_ + "\\");
  EXPECT_EQ(report["intact"], false);
  ASSERT_EQ(report["targets"].size(), 66u);
  const nlohmann::json& picture = report["targets"][0];
  EXPECT_EQ(picture["step"], 1);
  EXPECT_EQ(picture["kind"], "device picture");
  EXPECT_EQ(picture["path"], reported("Rastella\\Device\\Ostrand KM.bmp"));
  EXPECT_EQ(picture["state"], "ok");
  EXPECT_FALSE(picture.contains("userMedia"));
  EXPECT_EQ(report["targets"][1]["state"], "missing");
  EXPECT_EQ(report["targets"][9]["kind"], "folder");
  const nlohmann::json& lx = report["targets"][63];
  EXPECT_EQ(lx["path"], reported("Rastella\\Device\\Ostrand KM LX.dsr"));
  EXPECT_EQ(lx["state"], "unreadable");
  EXPECT_EQ(lx["line"], 2);
  EXPECT_EQ(lx["column"], 2);
  EXPECT_FALSE(lx["reason"].get<std::string>().empty());
  const nlohmann::json& km = report["targets"][65];
  EXPECT_EQ(km["kind"], "device series");
  EXPECT_EQ(km["state"], "merged");
  EXPECT_EQ(km["userMedia"], 1);
  EXPECT_EQ(report["leftovers"],
            nlohmann::json::array({reported("Rastella\\Device\\Ostrand KM.dsr.tmp")}));
}

// Records what kind of open every open is.
class OpenRecorder : public testsupport::FaultFileSystem {
 public:
  using FaultFileSystem::FaultFileSystem;
  platform::Error open(const std::string& path, const platform::OpenOptions& options,
                       std::unique_ptr<platform::File>* file) override {
    readOnlyOpens = readOnlyOpens && options.access == platform::Access::kRead &&
                    options.disposition == platform::Disposition::kOpenExisting;
    return FaultFileSystem::open(path, options, file);
  }
  bool readOnlyOpens = true;
};

TEST_F(VerifyTest, OnlyReads) {
  damageEverything();
  const testsupport::Tree before = testsupport::snapshot(host_);
  OpenRecorder files(env_.files());
  env_.useFiles(files);
  EXPECT_EQ(verify(), 1);
  EXPECT_TRUE(files.readOnlyOpens);
  for (const testsupport::FileCall& call : files.calls()) {
    using testsupport::FileOp;
    const bool reading = call.op == FileOp::kOpen || call.op == FileOp::kRead ||
                         call.op == FileOp::kClose || call.op == FileOp::kGetAttributes ||
                         call.op == FileOp::kFindExactName;
    EXPECT_TRUE(reading) << testsupport::fileOpName(call.op) << " " << call.path;
  }
  EXPECT_TRUE(testsupport::snapshot(host_) == before);
}

TEST_F(VerifyTest, FindsTheHostAsTheInstallerDoesOrWhereItIsTold) {
  ASSERT_EQ(verify(), 0);
  const std::string viaRegistry = out_.str();
  env_.fakeRegistry().failValue(platform::Hive::kLocalMachine,
                                "Software\\Harvel\\Harvel Rastella Dual\\Installer", "InstallPath",
                                platform::kFileNotFound);
  EXPECT_EQ(verify(), 1);
  EXPECT_EQ(out_.str(), "");
  EXPECT_NE(err_.str().find("no host found"), std::string::npos) << err_.str();
  EXPECT_EQ(verify({"--host", hostPath_}), 0);
  EXPECT_EQ(out_.str(), viaRegistry);
  EXPECT_EQ(verify({"--host", host_}), 0);  // a native folder as it stands
  EXPECT_EQ(verify({"--host", scratch_ / "Elsewhere"}), 1);
  EXPECT_NE(out_.str().find("missing"), std::string::npos);
}

}  // namespace
}  // namespace dsrtool
