// Shared set-up of the device-series update tests: small documents saved
// with a chosen version, the usual installed/new pair and its expected
// merge, and a fixture running the update on a scratch folder through a
// fault-injecting file system.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "devseries/device_series_io.h"
#include "testsupport/fault_file_system.h"
#include "testsupport/hosts/documents.h"
#include "testsupport/hosts/records.h"
#include "testsupport/payload.h"
#include "testsupport/scratch_dir.h"
#include "testsupport/test_env.h"
#include "update/device_series_updater.h"

namespace testsupport {

namespace fs = std::filesystem;
using devseries::DeviceSeries;
using devseries::MediaInfo;
using update::BlobWriter;
using update::DeviceSeriesUpdater;

inline constexpr int kBlobId = 141;
inline constexpr const char* kNewVersion = "6.6.13.0";
inline constexpr const char* kOldVersion = "6.5.2.0";

// Where a test cannot plant a symbolic link, it cannot check what the
// update does with one.
inline constexpr const char* kNoLinks = "this system does not let us create symbolic links";

// A media the user made: one permission set on separation 1 with
// |calibrations| calibration entries and one quality level.
inline MediaInfo userMedia(const std::string& name, int calibrations) {
  MediaInfo record = media(name, true, 45);
  devseries::PermissionSet set;
  set.nPermissionIndex = 7;
  set.nSeparationIndex = 1;
  set.strPrinterProfile = name + ".icc";
  for (int i = 0; i < calibrations; ++i) {
    devseries::CalibrationInfo calibration;
    calibration.nOutputLimit = 100 + i;
    set.aCalibrationInfoList.add(calibration);
  }
  record.aPermissionSetList.add(set);
  devseries::QualityInfo quality;
  quality.nQualityLevel = 3;
  quality.strQualityName = nameOf("Fine");
  quality.anPermissionIndexList.add(7);
  record.aQualityInfoList.add(quality);
  return record;
}

inline std::vector<std::string> englishNames(const DeviceSeries& record) {
  std::vector<std::string> names;
  for (const MediaInfo& entry : record.aMediaInfoList) names.push_back(entry.strMediaName[0]);
  return names;
}

inline std::vector<bool> visibility(const DeviceSeries& record) {
  std::vector<bool> flags;
  for (const MediaInfo& entry : record.aMediaInfoList) flags.push_back(entry.bVisibleMedia);
  return flags;
}

// The strVersion attribute text of a saved document ("" when none).
inline std::string versionText(const std::string& bytes) {
  const std::string key = "strVersion=\"";
  const auto start = bytes.find(key);
  if (start == std::string::npos) return {};
  const auto end = bytes.find('"', start + key.size());
  return bytes.substr(start + key.size(), end - start - key.size());
}

inline std::size_t callIndex(const std::vector<FileCall>& calls, const FileCall& call) {
  return static_cast<std::size_t>(std::find(calls.begin(), calls.end(), call) - calls.begin());
}

class DeviceSeriesUpdaterTest : public ::testing::Test {
 protected:
  DeviceSeriesUpdaterTest() { env_.useFiles(faults_); }

  // The bytes of |record| saved as a document whose strVersion is |version|.
  std::string documentBytes(const DeviceSeries& record, const std::string& version) {
    const std::string scratch = dir_ + "/scratch.xml";
    devseries::DeviceSeriesIO2 io(scratch, setupEnv_);
    EXPECT_TRUE(io.write(record));
    std::string bytes = ScratchDir::read(scratch);
    fs::remove(scratch);
    const std::string written = "strVersion=\"" + versionText(bytes) + "\"";
    bytes.replace(bytes.find(written), written.size(), "strVersion=\"" + version + "\"");
    return bytes;
  }

  // The document at |path| read back; the test fails when it does not read.
  DeviceSeries readBack(const std::string& path) {
    DeviceSeries record;
    devseries::DeviceSeriesIO2 io(path, setupEnv_);
    EXPECT_TRUE(io.read(record)) << path << ": " << io.lastError();
    return record;
  }

  // The usual pair: the installed file holds the user's choices and an own
  // media with eight calibration entries; the new payload ships a third
  // preset and another version.
  void useTypicalFiles() {
    installedBytes_ = documentBytes(
        series({media("Glossy", false, 10), media("Matte", true, 20), userMedia("My Banner", 8)}),
        kOldVersion);
    ScratchDir::overwrite(p_, installedBytes_);
    payload_ = documentBytes(
        series({media("Glossy", true, 11), media("Matte", true, 21), media("Canvas", true, 31)}),
        kNewVersion);
  }

  // Checks that |path| holds the merge of the typical files.
  void expectTypicalMerge(const std::string& path) {
    const std::string bytes = ScratchDir::read(path);
    EXPECT_EQ(versionText(bytes), kNewVersion);
    const DeviceSeries merged = readBack(path);
    EXPECT_EQ(englishNames(merged),
              (std::vector<std::string>{"Glossy", "Matte", "Canvas", "My Banner"}));
    EXPECT_EQ(visibility(merged), (std::vector<bool>{false, true, true, true}));
    if (merged.aMediaInfoList.size() != 4) return;
    // The presets keep the new payload's content.
    EXPECT_EQ(merged.aMediaInfoList[0].nDryTime, 11);
    EXPECT_EQ(merged.aMediaInfoList[1].nDryTime, 21);
    // The user's media arrives whole, its calibrations cut to four channels.
    const MediaInfo& mine = merged.aMediaInfoList[3];
    EXPECT_EQ(mine.nDryTime, 45);
    ASSERT_EQ(mine.aQualityInfoList.size(), 1);
    EXPECT_EQ(mine.aQualityInfoList[0].nQualityLevel, 3);
    ASSERT_EQ(mine.aPermissionSetList.size(), 1);
    EXPECT_EQ(mine.aPermissionSetList[0].strPrinterProfile, "My Banner.icc");
    const auto& calibrations = mine.aPermissionSetList[0].aCalibrationInfoList;
    ASSERT_EQ(calibrations.size(), 4);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(calibrations[i].nOutputLimit, 100 + i);
  }

  // Stands in for the installer's writer: records the path its progress
  // line names (blobCalls_) and the file written (blobFiles_), and creates
  // the file exclusively, as the real one does.
  BlobWriter blobWriter() {
    return [this](const std::string& file, const std::string& reported, int blobId) {
      blobCalls_.push_back(reported);
      blobFiles_.push_back(file);
      EXPECT_EQ(blobId, kBlobId);
      if (failBlobWrites_ || ScratchDir::exists(file)) return false;
      ScratchDir::overwrite(file, payload_);
      return true;
    };
  }

  // Runs the update; |deployed| is the result expected: whether P ends up
  // holding the new payload or the merge.
  void runUpdate(bool deployed = true) {
    EXPECT_EQ(DeviceSeriesUpdater(env_, blobWriter(), p_, kBlobId), deployed);
  }

  // P byte for byte as the test wrote it (no diff of two documents on failure).
  void expectInstalledFileUntouched() {
    const std::string bytes = ScratchDir::read(p_);
    EXPECT_TRUE(bytes == installedBytes_)
        << "P changed: " << bytes.size() << " bytes, strVersion \"" << versionText(bytes) << "\"";
  }

  void expectNoTemporaries() {
    EXPECT_FALSE(ScratchDir::exists(t_)) << "T left behind";
    EXPECT_FALSE(ScratchDir::exists(o_)) << "O left behind";
  }

  ScratchDir scratch_;
  std::string dir_ = scratch_.path();
  testsupport::TestEnv env_{dir_};
  testsupport::TestEnv setupEnv_{dir_};
  testsupport::FaultFileSystem faults_{env_.files()};
  std::string p_ = dir_ + "/Ostrand KM.dsr";
  std::string t_ = p_ + ".tmp";
  std::string o_ = p_ + ".out";
  std::string installedBytes_;
  std::string payload_;
  bool failBlobWrites_ = false;
  std::vector<std::string> blobCalls_;
  std::vector<std::string> blobFiles_;
};

}  // namespace testsupport
