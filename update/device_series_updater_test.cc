#include "update/device_series_updater.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "testsupport/hosts/updater_fixture.h"
#include "update/update_files.h"

namespace update {
namespace {

using namespace testsupport;
namespace fs = std::filesystem;
using devseries::DeviceSeries;
using devseries::MediaInfo;

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
  // Earlier backups may be the user's only good copies: each one stays.
  for (int earlier = 0; earlier <= 2; ++earlier) {
    SCOPED_TRACE(earlier);
    ScratchDir::overwrite(p_, garbage);
    blobCalls_.clear();

    runUpdate();

    EXPECT_EQ(blobCalls_, std::vector<std::string>{p_});
    EXPECT_EQ(ScratchDir::read(p_), payload_);
    EXPECT_EQ(ScratchDir::read(backupName(p_, earlier)), garbage);
    for (int older = 0; older < earlier; ++older) {
      EXPECT_EQ(ScratchDir::read(backupName(p_, older)), garbage) << older;
    }
    EXPECT_FALSE(ScratchDir::exists(backupName(p_, earlier + 1)));
    expectNoTemporaries();
  }
  EXPECT_EQ(backupName(p_, 0), p_ + ".bak");
  EXPECT_EQ(backupName(p_, 2), p_ + ".2.bak");
}

TEST_F(DeviceSeriesUpdaterTest, LeftoverTemporaryDoesNotBlockTheReplaceOfAFileThatIsNotXml) {
  payload_ = documentBytes(series({media("Glossy", true)}), kNewVersion);
  const std::string garbage(2048, '\x01');
  for (const bool readOnly : {false, true}) {
    SCOPED_TRACE(readOnly ? "read-only" : "writable");
    ScratchDir::overwrite(p_, garbage);
    ScratchDir::overwrite(t_, "stale temporary");
    if (readOnly) ScratchDir::makeReadOnly(t_);

    runUpdate();

    EXPECT_EQ(ScratchDir::read(p_), payload_);
    EXPECT_EQ(ScratchDir::read(p_ + ".bak"), garbage);
    expectNoTemporaries();
    fs::remove(p_ + ".bak");
  }
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
  EXPECT_TRUE(ScratchDir::isLink(p_ + ".bak"));  // a name taken, as any other
  EXPECT_EQ(ScratchDir::read(p_ + ".1.bak"), garbage);
  EXPECT_EQ(ScratchDir::read(p_), payload_);
  fs::remove(victim);
}

TEST_F(DeviceSeriesUpdaterTest, FileThatIsNotXmlStaysWhenItsBackupFails) {
  const std::string garbage(1500, 'x');
  const std::vector<Fault> faults = {
      Fault::failCall(FileOp::kOpen, platform::kDiskFull, 0, ".bak"),
      Fault::diskFull(100, ".bak"),
      Fault::failCall(FileOp::kFlush, platform::kIoDevice, 0, ".bak"),
      Fault::failCall(FileOp::kClose, platform::kIoDevice, 0, ".bak"),
      Fault::failCall(FileOp::kSyncParentDirectory, platform::kIoDevice, 0, ".bak"),
  };
  for (const Fault& fault : faults) {
    SCOPED_TRACE(testsupport::fileOpName(fault.op));
    ScratchDir::overwrite(p_, garbage);
    faults_.clearFaults();
    faults_.inject(fault);

    runUpdate(/*deployed=*/false);

    EXPECT_TRUE(blobCalls_.empty());
    EXPECT_EQ(ScratchDir::read(p_), garbage);
    EXPECT_FALSE(ScratchDir::exists(p_ + ".bak"));
    expectNoTemporaries();
  }
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

    runUpdate(/*deployed=*/false);

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
  payload_ = payloadText("ostrand_km.dsr");
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

// A name the user's editor wrote as a character reference arrives as the
// bytes of that character, so the merged file loads on the next update.
TEST_F(DeviceSeriesUpdaterTest, CharacterReferenceInAUsersMediaNameIsMergedAsItsBytes) {
  useTypicalFiles();
  const std::string euro = "\xE2\x82\xAC";
  installedBytes_ = documentBytes(
      series({media("Glossy", false, 10), userMedia(euro + " Banner", 8)}), kOldVersion);
  for (std::size_t at = installedBytes_.find(euro); at != std::string::npos;
       at = installedBytes_.find(euro, at)) {
    installedBytes_.replace(at, euro.size(), "&#x20AC;");
  }
  ScratchDir::overwrite(p_, installedBytes_);

  runUpdate();

  const DeviceSeries merged = readBack(p_);
  ASSERT_EQ(merged.aMediaInfoList.size(), 4);
  EXPECT_EQ(merged.aMediaInfoList[3].strMediaName[xml::kEnglish], euro + " Banner");
  expectNoTemporaries();
}

TEST_F(DeviceSeriesUpdaterTest, LeftoversOfAnEarlierRunAreReplaced) {
  // Read-only leftovers too: they must never block every later update. A
  // stale T holds a document of its own, which must never be merged.
  const std::string foreign = documentBytes(series({media("Foreign", true)}), kNewVersion);
  for (const bool readOnly : {false, true}) {
    SCOPED_TRACE(readOnly ? "read-only" : "writable");
    useTypicalFiles();
    ScratchDir::overwrite(t_, foreign);
    ScratchDir::overwrite(o_, "stale output");
    if (readOnly) {
      ScratchDir::makeReadOnly(t_);
      ScratchDir::makeReadOnly(o_);
    }

    runUpdate();

    expectTypicalMerge(p_);
    expectNoTemporaries();
  }
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

TEST_F(DeviceSeriesUpdaterTest, FolderThatCannotBeLockedLeavesTheUsersFile) {
  useTypicalFiles();
  faults_.inject(Fault::failCall(FileOp::kLockFolder, platform::kAccessDenied));

  runUpdate(/*deployed=*/false);

  EXPECT_EQ(blobCalls_, std::vector<std::string>{p_});  // its "cannot opened" line
  expectInstalledFileUntouched();
  expectNoTemporaries();
}

// --- failures during the merge ---------------------------------------------

TEST_F(DeviceSeriesUpdaterTest, FailedWriteOfTheNewPayloadLeavesNothing) {
  useTypicalFiles();
  failBlobWrites_ = true;

  runUpdate(/*deployed=*/false);

  expectInstalledFileUntouched();
  expectNoTemporaries();
}

TEST_F(DeviceSeriesUpdaterTest, UnreadableNewPayloadLeavesNoTemporaryFile) {
  useTypicalFiles();
  payload_ = "<?xml version=\"1.0\"?>\n<DeviceSeries strVersion=\"6.6.13.0\"/>";

  runUpdate(/*deployed=*/false);

  expectInstalledFileUntouched();
  expectNoTemporaries();
}

TEST_F(DeviceSeriesUpdaterTest, NewPayloadThatCannotBeOpenedLeavesNoTemporaryFile) {
  useTypicalFiles();
  faults_.inject(Fault::failCall(FileOp::kOpen, platform::kSharingViolation, 0, ".tmp"));

  runUpdate(/*deployed=*/false);

  expectInstalledFileUntouched();
  expectNoTemporaries();
}

TEST_F(DeviceSeriesUpdaterTest, FailedCopyToTheOutputStopsTheUpdate) {
  useTypicalFiles();
  faults_.inject(Fault::failCall(FileOp::kCopyFile, platform::kDiskFull, 0, ".out"));

  runUpdate(/*deployed=*/false);

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
    SCOPED_TRACE(testsupport::fileOpName(fault.op));
    useTypicalFiles();
    faults_.clearFaults();
    faults_.inject(fault);

    runUpdate(/*deployed=*/false);

    expectInstalledFileUntouched();
    expectNoTemporaries();
  }
}

TEST_F(DeviceSeriesUpdaterTest, FailedMergedWriteLeavesTheUsersFile) {
  // O is opened four times: its head read for the version, read whole to
  // compare it with T, its head looked for again by the writer after O is
  // removed, then written. The written file is not closed before the move:
  // flushed, it stays open until it is moved over P through its handle.
  const std::vector<Fault> faults = {
      Fault::failCall(FileOp::kOpen, platform::kAccessDenied, 4, ".out"),
      Fault::failCall(FileOp::kWrite, platform::kWriteFault, 0, ".out"),
      Fault::diskFull(100, ".out"),
      Fault::shortWrite(100, ".out"),
      Fault::failCall(FileOp::kFlush, platform::kIoDevice, 0, ".out"),
  };
  for (const Fault& fault : faults) {
    SCOPED_TRACE(std::string(testsupport::fileOpName(fault.op)) + " #" + std::to_string(fault.nth));
    useTypicalFiles();
    faults_.clearFaults();
    faults_.clearCalls();
    faults_.inject(fault);

    runUpdate(/*deployed=*/false);

    expectInstalledFileUntouched();
    expectNoTemporaries();
    const std::vector<FileCall>& calls = faults_.calls();
    EXPECT_EQ(callIndex(calls, {FileOp::kMoveFileReplace, o_, p_}), calls.size());
  }
}

TEST_F(DeviceSeriesUpdaterTest, FailedMoveLeavesNoTemporaryFile) {
  useTypicalFiles();
  faults_.inject(Fault::failCall(FileOp::kMoveFileReplace, platform::kAccessDenied));

  runUpdate(/*deployed=*/false);

  expectInstalledFileUntouched();
  expectNoTemporaries();
}

TEST_F(DeviceSeriesUpdaterTest, ReadOnlyInstalledFileIsNotReplaced) {
  useTypicalFiles();
  ScratchDir::makeReadOnly(p_);

  runUpdate(/*deployed=*/false);

  expectInstalledFileUntouched();
  expectNoTemporaries();
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

  runUpdate(/*deployed=*/false);

  EXPECT_EQ(ScratchDir::read(victim), "not yours");
  expectInstalledFileUntouched();
  expectNoTemporaries();
}

}  // namespace
}  // namespace update
