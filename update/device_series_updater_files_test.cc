// The update against hostile files: foreign or stale temporaries, existing
// backups, links planted during the run, and the durable replace of a file
// that is not XML.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "testsupport/hosts/updater_fixture.h"
#include "update/device_series_updater.h"
#include "update/update_files.h"

namespace update {
namespace {

using namespace testsupport;
using testsupport::Fault;
using testsupport::FileCall;
using testsupport::FileOp;
using testsupport::ScratchDir;

// Puts a link to |victim| in place of |path| right after a call that made
// or removed |path|: after the copy that creates it, or after the |nth|
// deletion of it, as another program could between two steps of the update.
class LinkPlanter : public testsupport::FaultFileSystem {
 public:
  LinkPlanter(platform::FileSystem& inner, std::string path, std::string victim, int nthDeletion)
      : FaultFileSystem(inner),
        path_(std::move(path)),
        victim_(std::move(victim)),
        nthDeletion_(nthDeletion) {}

  platform::Error copyFile(const std::string& from, const std::string& to,
                           bool failIfExists) override {
    const platform::Error error = FaultFileSystem::copyFile(from, to, failIfExists);
    if (error == platform::kOk && to == path_ && nthDeletion_ == 0) {
      std::error_code ignored;
      std::filesystem::remove(path_, ignored);
      plant();
    }
    return error;
  }

  platform::Error deleteFile(const std::string& path) override {
    const platform::Error error = FaultFileSystem::deleteFile(path);
    if (path == path_ && ++deletions_ == nthDeletion_) plant();
    return error;
  }
  bool planted() const { return planted_; }

 private:
  void plant() { planted_ = planted_ || ScratchDir::makeSymlink(victim_, path_); }

  std::string path_;
  std::string victim_;
  int nthDeletion_;
  int deletions_ = 0;
  bool planted_ = false;
};

// Replaces the bytes of |path| right after the copy that creates it.
class CopyReplacer : public testsupport::FaultFileSystem {
 public:
  CopyReplacer(platform::FileSystem& inner, std::string path, std::string bytes)
      : FaultFileSystem(inner), path_(std::move(path)), bytes_(std::move(bytes)) {}

  platform::Error copyFile(const std::string& from, const std::string& to,
                           bool failIfExists) override {
    const platform::Error error = FaultFileSystem::copyFile(from, to, failIfExists);
    if (error == platform::kOk && to == path_) ScratchDir::overwrite(path_, bytes_);
    return error;
  }

 private:
  std::string path_;
  std::string bytes_;
};

class UpdaterFilesTest : public DeviceSeriesUpdaterTest {
 protected:
  // A file at P that is not XML, and a payload to replace it.
  void useFileThatIsNotXml() {
    installedBytes_.assign(1500, 'x');
    ScratchDir::overwrite(p_, installedBytes_);
    payload_ = documentBytes(series({media("Glossy", true)}), kNewVersion);
  }
};

TEST_F(UpdaterFilesTest, SameContentOnlyForEqualBytesReadToTheEnd) {
  const std::string block(70000, 'a');  // longer than one compared block
  const struct {
    std::string a;
    std::string b;
    bool same;
  } cases[] = {{"", "", true},
               {"abc", "abc", true},
               {"abc", "abd", false},
               {"abc", "ab", false},
               {block, block, true},
               {block, block + "b", false},
               {block + "b", block + "c", false}};
  const std::string a = dir_ + "/a";
  const std::string b = dir_ + "/b";
  for (const auto& c : cases) {
    ScratchDir::overwrite(a, c.a);
    ScratchDir::overwrite(b, c.b);
    EXPECT_EQ(sameContent(faults_, a, b), c.same) << c.a.size() << " " << c.b.size();
  }
  EXPECT_FALSE(sameContent(faults_, a, dir_ + "/missing"));
  faults_.inject(Fault::failCall(FileOp::kRead, platform::kIoDevice, 0, "/b"));
  EXPECT_FALSE(sameContent(faults_, b, b));
}

TEST_F(UpdaterFilesTest, CopyThatDiffersFromTheNewPayloadIsNeverMerged) {
  useTypicalFiles();
  const std::string payload = payload_;
  // Both carry the new version in their head: one more byte, half the file.
  for (const std::string& bytes : {payload + "\n", payload.substr(0, payload.size() / 2)}) {
    useTypicalFiles();
    CopyReplacer replacer(faults_, o_, bytes);
    env_.useFiles(replacer);

    runUpdate(/*deployed=*/false);

    env_.useFiles(faults_);
    expectInstalledFileUntouched();
    expectNoTemporaries();
  }
}

TEST_F(UpdaterFilesTest, ForeignTemporaryThatCannotBeRemovedIsNeverMerged) {
  useTypicalFiles();
  const std::string foreign = documentBytes(series({media("Foreign", true)}), kNewVersion);
  ScratchDir::overwrite(t_, foreign);
  faults_.inject(Fault::failCall(FileOp::kDeleteFile, platform::kAccessDenied, 0, ".tmp"));

  runUpdate(/*deployed=*/false);

  EXPECT_EQ(blobCalls_, std::vector<std::string>{t_});  // its error line
  expectInstalledFileUntouched();
  EXPECT_EQ(ScratchDir::read(t_), foreign);
  EXPECT_FALSE(ScratchDir::exists(o_));
}

TEST_F(UpdaterFilesTest, NoBackupAndNoReplaceWhenEveryBackupNameIsTaken) {
  useFileThatIsNotXml();
  for (int index = 0; index < kBackupNames; ++index) {
    ScratchDir::overwrite(backupName(p_, index), "kept");
  }

  runUpdate(/*deployed=*/false);

  EXPECT_TRUE(blobCalls_.empty());
  expectInstalledFileUntouched();
  EXPECT_FALSE(ScratchDir::exists(backupName(p_, kBackupNames)));
  EXPECT_EQ(ScratchDir::read(backupName(p_, kBackupNames - 1)), "kept");
  expectNoTemporaries();
}

TEST_F(UpdaterFilesTest, FileThatIsNotXmlIsReplacedDurably) {
  useFileThatIsNotXml();
  const std::string backup = p_ + ".bak";

  runUpdate();

  // The payload goes to T, its line names P, and T is renamed over P only
  // after the backup is on disk.
  EXPECT_EQ(blobFiles_, std::vector<std::string>{t_});
  EXPECT_EQ(blobCalls_, std::vector<std::string>{p_});
  EXPECT_EQ(ScratchDir::read(p_), payload_);
  EXPECT_EQ(ScratchDir::read(backup), installedBytes_);
  expectNoTemporaries();
  const std::vector<FileCall>& calls = faults_.calls();
  const std::size_t flush = callIndex(calls, {FileOp::kFlush, backup, {}});
  const std::size_t backupSync = callIndex(calls, {FileOp::kSyncParentDirectory, backup, {}});
  const std::size_t move = callIndex(calls, {FileOp::kMoveFileReplace, t_, p_});
  const std::size_t sync = callIndex(calls, {FileOp::kSyncParentDirectory, p_, {}});
  ASSERT_LT(sync, calls.size());
  EXPECT_LT(flush, backupSync);
  EXPECT_LT(backupSync, move);
  EXPECT_LT(move, sync);
}

TEST_F(UpdaterFilesTest, FileThatIsNotXmlStaysWholeWhenItCannotBeReplaced) {
  enum class Failure { kReadOnly, kPayloadWrite, kMove };
  for (const Failure failure : {Failure::kReadOnly, Failure::kPayloadWrite, Failure::kMove}) {
    SCOPED_TRACE(static_cast<int>(failure));
    std::error_code ignored;
    std::filesystem::permissions(p_, std::filesystem::perms::owner_all, ignored);
    useFileThatIsNotXml();
    faults_.clearFaults();
    blobCalls_.clear();
    failBlobWrites_ = failure == Failure::kPayloadWrite;
    if (failure == Failure::kReadOnly) ScratchDir::makeReadOnly(p_);
    if (failure == Failure::kMove) {
      faults_.inject(Fault::failCall(FileOp::kMoveFileReplace, platform::kAccessDenied));
    }

    runUpdate(/*deployed=*/false);

    EXPECT_EQ(blobCalls_, std::vector<std::string>{p_});  // one line for P
    expectInstalledFileUntouched();
    EXPECT_FALSE(ScratchDir::exists(p_ + ".bak"));
    expectNoTemporaries();
  }
}

TEST_F(UpdaterFilesTest, LinkPlantedAtTheOutputIsNeverWrittenThrough) {
  // 0: the copy at O is replaced by a link to a document of the same
  // version before the merged document is saved; 2: a link appears after
  // O was removed to be made anew (the first deletion clears leftovers).
  for (const int nthDeletion : {0, 2}) {
    SCOPED_TRACE(nthDeletion);
    useTypicalFiles();
    const std::string victim = dir_ + "/victim.dsr";
    const std::string victimBytes = nthDeletion == 0 ? payload_ : "not yours";
    ScratchDir::overwrite(victim, victimBytes);
    LinkPlanter planter(faults_, o_, victim, nthDeletion);
    env_.useFiles(planter);

    const bool deployed = DeviceSeriesUpdater(env_, blobWriter(), p_, kBlobId);

    env_.useFiles(faults_);
    if (!planter.planted()) GTEST_SKIP() << kNoLinks;
    EXPECT_EQ(deployed, nthDeletion == 0);
    EXPECT_EQ(ScratchDir::read(victim), victimBytes);
    if (nthDeletion == 0) {
      expectTypicalMerge(p_);  // the link is removed, O made anew
    } else {
      expectInstalledFileUntouched();  // O cannot be made: the update stops
    }
    expectNoTemporaries();
  }
}

}  // namespace
}  // namespace update
