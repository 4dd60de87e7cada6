#include "update/device_series_updater.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "devseries/device_series_io.h"
#include "devseries/testing_support.h"
#include "platform/fault_file_system.h"
#include "platform/testing/scratch_dir.h"
#include "platform/testing/test_env.h"

namespace update {
namespace {

namespace fs = std::filesystem;
using devseries::DeviceSeries;
using devseries::MediaInfo;
using platform::Fault;
using platform::FileCall;
using platform::FileOp;
using platform::testing::ScratchDir;

constexpr int kBlobId = 141;
constexpr const char* kNewVersion = "6.6.13.0";
constexpr const char* kOldVersion = "6.5.2.0";

// Where a test cannot plant a symbolic link, it cannot check what the
// update does with one.
constexpr const char* kNoLinks = "this system does not let us create symbolic links";

xml::LocalizedText nameOf(const std::string& base) {
  xml::LocalizedText name;
  for (std::string& text : name) text = base;
  return name;
}

MediaInfo media(const std::string& name, bool visible, int dryTime = 0) {
  MediaInfo record;
  record.strMediaName = nameOf(name);
  record.bVisibleMedia = visible;
  record.nDryTime = dryTime;
  return record;
}

// A media the user made: one permission set on separation 1 with
// |calibrations| calibration entries and one quality level.
MediaInfo userMedia(const std::string& name, int calibrations) {
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

// A small series: one model, four process inks, separation 1 with four
// input channels, and the given media.
DeviceSeries series(std::vector<MediaInfo> mediaList) {
  DeviceSeries record;
  record.aModelInfoList.add(devseries::ModelInfo{});
  devseries::SeparationInfo separation;
  separation.nSeparationIndex = 1;
  for (int ink = 0; ink < 4; ++ink) separation.anInputChannelInkIndexList.add(ink);
  record.aSeparationInfoList.add(separation);
  for (const MediaInfo& entry : mediaList) record.aMediaInfoList.add(entry);
  return record;
}

std::vector<std::string> englishNames(const DeviceSeries& record) {
  std::vector<std::string> names;
  for (const MediaInfo& entry : record.aMediaInfoList) names.push_back(entry.strMediaName[0]);
  return names;
}

std::vector<bool> visibility(const DeviceSeries& record) {
  std::vector<bool> flags;
  for (const MediaInfo& entry : record.aMediaInfoList) flags.push_back(entry.bVisibleMedia);
  return flags;
}

// The strVersion attribute text of a saved document ("" when none).
std::string versionText(const std::string& bytes) {
  const std::string key = "strVersion=\"";
  const auto start = bytes.find(key);
  if (start == std::string::npos) return {};
  const auto end = bytes.find('"', start + key.size());
  return bytes.substr(start + key.size(), end - start - key.size());
}

std::size_t callIndex(const std::vector<FileCall>& calls, const FileCall& call) {
  return static_cast<std::size_t>(std::find(calls.begin(), calls.end(), call) - calls.begin());
}

class DeviceSeriesUpdaterTest : public devseries::testing::DevSeriesTest {
 protected:
  DeviceSeriesUpdaterTest() { env_.useFiles(faults_); }

  // The bytes of |record| saved as a document whose strVersion is |version|.
  std::string documentBytes(DeviceSeries record, const std::string& version) {
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

  BlobWriter blobWriter() {
    return [this](const std::string& path, int blobId) {
      blobCalls_.push_back(path);
      EXPECT_EQ(blobId, kBlobId);
      if (failBlobWrites_) return false;
      ScratchDir::overwrite(path, payload_);
      return true;
    };
  }

  void runUpdate() { EXPECT_TRUE(DeviceSeriesUpdater(env_, blobWriter(), p_, kBlobId)); }

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
  platform::testing::TestEnv env_{dir_};
  platform::testing::TestEnv setupEnv_{dir_};
  platform::FaultFileSystem faults_{env_.files()};
  std::string p_ = dir_ + "/Ostrand KM.dsr";
  std::string t_ = p_ + ".tmp";
  std::string o_ = p_ + ".out";
  std::string installedBytes_;
  std::string payload_;
  bool failBlobWrites_ = false;
  std::vector<std::string> blobCalls_;
};

// --- without a merge ------------------------------------------------------

TEST_F(DeviceSeriesUpdaterTest, MissingInstalledFileIsWrittenDirectly) {
  payload_ = documentBytes(series({media("Glossy", true)}), kNewVersion);

  runUpdate();

  EXPECT_EQ(blobCalls_, std::vector<std::string>{p_});
  EXPECT_EQ(ScratchDir::read(p_), payload_);
  std::vector<std::string> entries;
  for (const auto& entry : fs::directory_iterator(dir_)) {
    entries.push_back(entry.path().filename().string());
  }
  EXPECT_EQ(entries, std::vector<std::string>{"Ostrand KM.dsr"});
}

TEST_F(DeviceSeriesUpdaterTest, FileThatIsNotXmlIsKeptAsBackupAndReplaced) {
  payload_ = documentBytes(series({media("Glossy", true)}), kNewVersion);
  std::string garbage(2048, '\0');
  for (std::size_t i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<char>(i * 7);
  ScratchDir::overwrite(p_, garbage);
  ScratchDir::overwrite(p_ + ".bak", "an older backup");

  runUpdate();

  EXPECT_EQ(blobCalls_, std::vector<std::string>{p_});
  EXPECT_EQ(ScratchDir::read(p_), payload_);
  EXPECT_EQ(ScratchDir::read(p_ + ".bak"), garbage);
  expectNoTemporaries();
}

TEST_F(DeviceSeriesUpdaterTest, BackupIsNotWrittenThroughALinkStandingAtItsName) {
  payload_ = documentBytes(series({media("Glossy", true)}), kNewVersion);
  const std::string garbage(1500, 'x');
  ScratchDir::overwrite(p_, garbage);
  const std::string victim = dir_ + "/victim.txt";
  ScratchDir::overwrite(victim, "not yours");
  if (!ScratchDir::makeSymlink(victim, p_ + ".bak")) GTEST_SKIP() << kNoLinks;

  runUpdate();

  EXPECT_EQ(ScratchDir::read(victim), "not yours");
  EXPECT_FALSE(ScratchDir::isLink(p_ + ".bak"));
  EXPECT_EQ(ScratchDir::read(p_ + ".bak"), garbage);
  EXPECT_EQ(ScratchDir::read(p_), payload_);
  fs::remove(victim);
}

TEST_F(DeviceSeriesUpdaterTest, FileThatIsNotXmlStaysWhenItsBackupFails) {
  const std::string garbage(1500, 'x');
  ScratchDir::overwrite(p_, garbage);
  faults_.inject(Fault::failCall(FileOp::kCopyFile, platform::kDiskFull, 0, ".bak"));

  runUpdate();

  EXPECT_TRUE(blobCalls_.empty());
  EXPECT_EQ(ScratchDir::read(p_), garbage);
  EXPECT_FALSE(ScratchDir::exists(p_ + ".bak"));
  expectNoTemporaries();
}

TEST_F(DeviceSeriesUpdaterTest, XmlThatIsNoDeviceSeriesDocumentIsLeftAlone) {
  const std::vector<std::string> documents = {
      "<?xml version=\"1.0\"?>\n<PrinterSeries strVersion=\"6.6.13.0\"><a/></PrinterSeries>\n",
      "<?xml version=\"1.0\"?>\n<DeviceSeries><aModelInfoList/></DeviceSeries>\n",
      "<?xml version=\"1.0\"?>\n<DeviceSeries strVersion=\"6.6.13.0\"><aModelInfoList/>"
      "<aInkInfoList/></DeviceSeries>\n",
  };
  payload_ = documentBytes(series({media("Glossy", true)}), kNewVersion);
  for (const std::string& document : documents) {
    SCOPED_TRACE(document);
    blobCalls_.clear();
    ScratchDir::overwrite(p_, document);

    runUpdate();

    EXPECT_TRUE(blobCalls_.empty());
    EXPECT_EQ(ScratchDir::read(p_), document);
    EXPECT_FALSE(ScratchDir::exists(p_ + ".bak"));
    expectNoTemporaries();
  }
}

// --- the merge ------------------------------------------------------------

TEST_F(DeviceSeriesUpdaterTest, MergesTheUsersMediaIntoTheNewDocument) {
  useTypicalFiles();

  runUpdate();

  EXPECT_EQ(blobCalls_, std::vector<std::string>{t_});
  expectTypicalMerge(p_);
  expectNoTemporaries();
  EXPECT_FALSE(ScratchDir::exists(p_ + ".bak"));
}

TEST_F(DeviceSeriesUpdaterTest, MergesIntoTheShippedPayloadDocument) {
  payload_ = ScratchDir::read(std::string(OKM_PAYLOAD_BLOBS) + "/ostrand_km.dsr");
  ASSERT_FALSE(payload_.empty());
  ScratchDir::overwrite(p_, payload_);
  const DeviceSeries shipped = readBack(p_);
  const int count = shipped.aMediaInfoList.size();
  ASSERT_GE(count, 2);
  DeviceSeries installed = shipped;
  installed.aMediaInfoList[1].bVisibleMedia = !shipped.aMediaInfoList[1].bVisibleMedia;
  MediaInfo mine = installed.aMediaInfoList[0];
  mine.strMediaName[xml::kEnglish] = "My Vinyl";
  installed.aMediaInfoList.add(mine);
  ScratchDir::overwrite(p_, documentBytes(installed, "6.6.0.0"));

  runUpdate();

  const DeviceSeries merged = readBack(p_);
  EXPECT_EQ(versionText(ScratchDir::read(p_)), kNewVersion);
  ASSERT_EQ(merged.aMediaInfoList.size(), count + 1);
  EXPECT_EQ(merged.aMediaInfoList[0].bVisibleMedia, shipped.aMediaInfoList[0].bVisibleMedia);
  EXPECT_NE(merged.aMediaInfoList[1].bVisibleMedia, shipped.aMediaInfoList[1].bVisibleMedia);
  EXPECT_EQ(merged.aMediaInfoList[count].strMediaName[xml::kEnglish], "My Vinyl");
  expectNoTemporaries();
}

TEST_F(DeviceSeriesUpdaterTest, LeftoversOfAnEarlierRunAreReplaced) {
  useTypicalFiles();
  ScratchDir::overwrite(t_, "stale temporary");
  ScratchDir::overwrite(o_, "stale output");

  runUpdate();

  expectTypicalMerge(p_);
  expectNoTemporaries();
}

TEST_F(DeviceSeriesUpdaterTest, OutputIsFlushedBeforeTheMoveAndTheFolderSyncedAfter) {
  useTypicalFiles();

  runUpdate();

  const std::vector<FileCall>& calls = faults_.calls();
  const std::size_t flush = callIndex(calls, {FileOp::kFlush, o_, {}});
  const std::size_t move = callIndex(calls, {FileOp::kMoveFileReplace, o_, p_});
  const std::size_t sync = callIndex(calls, {FileOp::kSyncParentDirectory, p_, {}});
  ASSERT_LT(move, calls.size());
  EXPECT_LT(flush, move);
  EXPECT_LT(move, sync);
  EXPECT_NE(sync, calls.size());
}

TEST_F(DeviceSeriesUpdaterTest, FailedSearchDoesNotOverwriteTheUsersFile) {
  useTypicalFiles();
  faults_.inject(Fault::failCall(FileOp::kFindExactName, platform::kAccessDenied));

  runUpdate();

  EXPECT_EQ(blobCalls_, std::vector<std::string>{t_});
  expectTypicalMerge(p_);
  expectNoTemporaries();
}

// --- failures during the merge ---------------------------------------------

TEST_F(DeviceSeriesUpdaterTest, FailedWriteOfTheNewPayloadLeavesNothing) {
  useTypicalFiles();
  failBlobWrites_ = true;

  runUpdate();

  expectInstalledFileUntouched();
  expectNoTemporaries();
}

TEST_F(DeviceSeriesUpdaterTest, UnreadableNewPayloadLeavesItsTemporaryFile) {
  useTypicalFiles();
  payload_ = "<?xml version=\"1.0\"?>\n<DeviceSeries strVersion=\"6.6.13.0\"/>";

  runUpdate();

  expectInstalledFileUntouched();
  EXPECT_EQ(ScratchDir::read(t_), payload_);
  EXPECT_FALSE(ScratchDir::exists(o_));
}

TEST_F(DeviceSeriesUpdaterTest, NewPayloadThatCannotBeOpenedLeavesItsTemporaryFile) {
  useTypicalFiles();
  faults_.inject(Fault::failCall(FileOp::kOpen, platform::kSharingViolation, 0, ".tmp"));

  runUpdate();

  expectInstalledFileUntouched();
  EXPECT_EQ(ScratchDir::read(t_), payload_);
  EXPECT_FALSE(ScratchDir::exists(o_));
}

TEST_F(DeviceSeriesUpdaterTest, FailedCopyToTheOutputStopsTheUpdate) {
  useTypicalFiles();
  faults_.inject(Fault::failCall(FileOp::kCopyFile, platform::kDiskFull, 0, ".out"));

  runUpdate();

  expectInstalledFileUntouched();
  expectNoTemporaries();
}

TEST_F(DeviceSeriesUpdaterTest, OutputWhoseVersionCannotBeReadStopsTheUpdate) {
  // The merged document takes its version from the copy at O; a copy that
  // cannot be read back would give it the writer's own version instead.
  const std::vector<Fault> faults = {
      Fault::failCall(FileOp::kOpen, platform::kTooManyOpenFiles, 1, ".out"),
      Fault::failCall(FileOp::kRead, platform::kReadFault, 1, ".out"),
  };
  for (const Fault& fault : faults) {
    SCOPED_TRACE(platform::fileOpName(fault.op));
    useTypicalFiles();
    faults_.clearFaults();
    faults_.inject(fault);

    runUpdate();

    expectInstalledFileUntouched();
    expectNoTemporaries();
  }
}

TEST_F(DeviceSeriesUpdaterTest, FailedMergedWriteLeavesTheUsersFile) {
  // O is opened twice: first read for its version, then written.
  const std::vector<Fault> faults = {
      Fault::failCall(FileOp::kOpen, platform::kAccessDenied, 2, ".out"),
      Fault::failCall(FileOp::kWrite, platform::kWriteFault, 0, ".out"),
      Fault::diskFull(100, ".out"),
      Fault::shortWrite(100, ".out"),
      Fault::failCall(FileOp::kFlush, platform::kIoDevice, 0, ".out"),
      Fault::failCall(FileOp::kClose, platform::kIoDevice, 2, ".out"),
  };
  for (const Fault& fault : faults) {
    SCOPED_TRACE(std::string(platform::fileOpName(fault.op)) + " #" + std::to_string(fault.nth));
    useTypicalFiles();
    faults_.clearFaults();
    faults_.clearCalls();
    faults_.inject(fault);

    runUpdate();

    expectInstalledFileUntouched();
    expectNoTemporaries();
    const std::vector<FileCall>& calls = faults_.calls();
    EXPECT_EQ(callIndex(calls, {FileOp::kMoveFileReplace, o_, p_}), calls.size());
  }
}

TEST_F(DeviceSeriesUpdaterTest, FailedMoveLeavesTheMergedOutput) {
  useTypicalFiles();
  faults_.inject(Fault::failCall(FileOp::kMoveFileReplace, platform::kAccessDenied));

  runUpdate();

  expectInstalledFileUntouched();
  EXPECT_FALSE(ScratchDir::exists(t_));
  expectTypicalMerge(o_);
}

TEST_F(DeviceSeriesUpdaterTest, ReadOnlyInstalledFileIsNotReplaced) {
  useTypicalFiles();
  ScratchDir::makeReadOnly(p_);

  runUpdate();

  expectInstalledFileUntouched();
  EXPECT_FALSE(ScratchDir::exists(t_));
  expectTypicalMerge(o_);
}

// --- links standing at the temporary names ---------------------------------

TEST_F(DeviceSeriesUpdaterTest, LinksAtTheTemporaryNamesAreNotWrittenThrough) {
  for (const bool atOutput : {false, true}) {
    SCOPED_TRACE(atOutput ? "link at O" : "link at T");
    useTypicalFiles();
    const std::string victim = dir_ + "/victim.txt";
    ScratchDir::overwrite(victim, "not yours");
    const std::string& link = atOutput ? o_ : t_;
    if (!ScratchDir::makeSymlink(victim, link)) GTEST_SKIP() << kNoLinks;

    runUpdate();

    EXPECT_EQ(ScratchDir::read(victim), "not yours");
    expectTypicalMerge(p_);
    expectNoTemporaries();
    fs::remove(victim);
  }
}

TEST_F(DeviceSeriesUpdaterTest, DanglingLinksAtTheTemporaryNamesCreateNothing) {
  useTypicalFiles();
  const std::string targetOfT = dir_ + "/made-through-t";
  const std::string targetOfO = dir_ + "/made-through-o";
  if (!ScratchDir::makeSymlink(targetOfT, t_) || !ScratchDir::makeSymlink(targetOfO, o_)) {
    GTEST_SKIP() << kNoLinks;
  }

  runUpdate();

  EXPECT_FALSE(ScratchDir::exists(targetOfT));
  EXPECT_FALSE(ScratchDir::exists(targetOfO));
  expectTypicalMerge(p_);
  expectNoTemporaries();
}

TEST_F(DeviceSeriesUpdaterTest, LinkAtTheOutputThatCannotBeRemovedStopsTheUpdate) {
  useTypicalFiles();
  const std::string victim = dir_ + "/victim.txt";
  ScratchDir::overwrite(victim, "not yours");
  if (!ScratchDir::makeSymlink(victim, o_)) GTEST_SKIP() << kNoLinks;
  // Only the removal before the copy fails; the copy then meets the link.
  faults_.inject(Fault::failCall(FileOp::kDeleteFile, platform::kAccessDenied, 1, ".out"));

  runUpdate();

  EXPECT_EQ(ScratchDir::read(victim), "not yours");
  expectInstalledFileUntouched();
  expectNoTemporaries();
}

}  // namespace
}  // namespace update
