#include "app/resource_deployer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/progress_log.h"
#include "testsupport/fault_file_system.h"
#include "testsupport/file_calls.h"
#include "testsupport/hosts/app_host.h"
#include "testsupport/scratch_dir.h"
#include "testsupport/test_env.h"

namespace app {
namespace {

namespace fs = std::filesystem;
using testsupport::ScratchDir;
using testsupport::TestEnv;

class ResourceDeployerTest : public ::testing::Test {
 protected:
  ResourceDeployerTest() : env(scratch.path()), files(env.files()) { env.useFiles(files); }

  void SetUp() override { env.fakeResources().addBlob(150, "0123456789"); }

  int callsOf(testsupport::FileOp op) const { return testsupport::countCalls(files.calls(), op); }

  // A target path as the installer builds it: Windows separators after the
  // folder.
  std::string target(const std::string& relative) const { return scratch.path() + "\\" + relative; }
  std::string native(const std::string& relative) const { return scratch / relative; }

  const std::vector<std::string>& lines() { return env.output().texts(); }

  ScratchDir scratch;
  TestEnv env;
  testsupport::FaultFileSystem files;
};

TEST_F(ResourceDeployerTest, WritesTheWholeBlobAndReportsItsSize) {
  EXPECT_TRUE(ResourceDeployer(env, target("a.icc"), 150));
  EXPECT_EQ(ScratchDir::read(native("a.icc")), "0123456789");
  ASSERT_EQ(lines().size(), 1u);
  EXPECT_EQ(lines()[0], "[01] " + target("a.icc") + " ( 10 Bytes ) successfly updated!\r\n");
}

TEST_F(ResourceDeployerTest, ReplacesAndTruncatesAnExistingFile) {
  scratch.write("a.icc", std::string(100, 'o'));
  EXPECT_TRUE(ResourceDeployer(env, target("a.icc"), 150));
  EXPECT_EQ(ScratchDir::read(native("a.icc")), "0123456789");
}

TEST_F(ResourceDeployerTest, LargerBlobIsReportedInPlainDecimal) {
  env.fakeResources().addBlob(151, std::string(33976, 'z'));
  EXPECT_TRUE(ResourceDeployer(env, target("big.bin"), 151));
  EXPECT_EQ(fs::file_size(native("big.bin")), 33976u);
  EXPECT_EQ(lines().at(0),
            "[01] " + target("big.bin") + " ( 33976 Bytes ) successfly updated!\r\n");
}

TEST_F(ResourceDeployerTest, BlobProblemsLeaveAnExistingFileUntouched) {
  env.fakeResources().addUnobtainableBlob(160);
  env.fakeResources().addBlob(161, std::string());
  scratch.write("keep.bin", "old");
  EXPECT_FALSE(ResourceDeployer(env, target("keep.bin"), 999));
  EXPECT_FALSE(ResourceDeployer(env, target("keep.bin"), 160));
  EXPECT_FALSE(ResourceDeployer(env, target("keep.bin"), 161));
  EXPECT_EQ(ScratchDir::read(native("keep.bin")), "old");
  EXPECT_TRUE(files.calls().empty());
  const std::string path = target("keep.bin");
  EXPECT_EQ(lines(),
            (std::vector<std::string>{"[01] " + path + " error: resource not found.\r\n",
                                      "[02] " + path + " error: resource data cannot loaded.\r\n",
                                      "[03] " + path + " error: resource size is zero.\r\n"}));
}

TEST_F(ResourceDeployerTest, FailuresConsumeNumbers) {
  EXPECT_FALSE(ResourceDeployer(env, target("x.bin"), 999));
  EXPECT_TRUE(ResourceDeployer(env, target("x.bin"), 150));
  ASSERT_EQ(lines().size(), 2u);
  EXPECT_EQ(lines()[0].substr(0, 5), "[01] ");
  EXPECT_EQ(lines()[1], "[02] " + target("x.bin") + " ( 10 Bytes ) successfly updated!\r\n");
}

TEST_F(ResourceDeployerTest, MissingFolderIsNotCreated) {
  const std::string path = target("Profiles\\Ostrand KM\\a.icc");
  EXPECT_FALSE(ResourceDeployer(env, path, 150));
  EXPECT_FALSE(fs::exists(native("Profiles")));
  EXPECT_EQ(callsOf(testsupport::FileOp::kCreateDirectory), 0);
  EXPECT_EQ(lines(),
            (std::vector<std::string>{"[01] " + path + " error: file cannot opened.\r\n"}));
}

TEST_F(ResourceDeployerTest, ReadOnlyTargetIsLeftAsItWas) {
  scratch.write("ro.bin", "protected");
  ScratchDir::makeReadOnly(native("ro.bin"));
  EXPECT_FALSE(ResourceDeployer(env, target("ro.bin"), 150));
  EXPECT_EQ(ScratchDir::read(native("ro.bin")), "protected");
  EXPECT_EQ(lines().at(0), "[01] " + target("ro.bin") + " error: file cannot opened.\r\n");
}

TEST_F(ResourceDeployerTest, DiskFullDuringTheWriteLeavesNoFile) {
  scratch.write("full.bin", "old content");
  files.inject(testsupport::Fault::diskFull(4));
  EXPECT_FALSE(ResourceDeployer(env, target("full.bin"), 150));
  EXPECT_FALSE(fs::exists(native("full.bin")));
  EXPECT_EQ(lines(), (std::vector<std::string>{"[01] error: " + target("full.bin") +
                                               " file io failed.\r\n"}));
}

TEST_F(ResourceDeployerTest, ShortWriteCountsAsFailed) {
  files.inject(testsupport::Fault::shortWrite(9));
  EXPECT_FALSE(ResourceDeployer(env, target("short.bin"), 150));
  EXPECT_FALSE(fs::exists(native("short.bin")));
  EXPECT_EQ(lines().at(0), "[01] error: " + target("short.bin") + " file io failed.\r\n");
}

TEST_F(ResourceDeployerTest, FailedCloseIsNotReportedAsSuccess) {
  files.inject(testsupport::Fault::failCall(testsupport::FileOp::kClose, platform::kWriteFault));
  EXPECT_FALSE(ResourceDeployer(env, target("close.bin"), 150));
  EXPECT_FALSE(fs::exists(native("close.bin")));
  EXPECT_EQ(lines(), (std::vector<std::string>{"[01] error: " + target("close.bin") +
                                               " file io failed.\r\n"}));
}

// --- a new file that is to replace another -----------------------------------

TEST_F(ResourceDeployerTest, NewFileIsWrittenFlushedAndReportedUnderTheOtherName) {
  EXPECT_TRUE(deployResourceToNewFile(env, target("a.dsr.tmp"), target("a.dsr"), 150));
  EXPECT_EQ(ScratchDir::read(native("a.dsr.tmp")), "0123456789");
  EXPECT_FALSE(fs::exists(native("a.dsr")));
  EXPECT_EQ(callsOf(testsupport::FileOp::kFlush), 1);
  EXPECT_EQ(lines(), (std::vector<std::string>{"[01] " + target("a.dsr") +
                                               " ( 10 Bytes ) successfly updated!\r\n"}));
}

TEST_F(ResourceDeployerTest, NewFileIsNeverWrittenOverAnythingAtItsName) {
  scratch.write("victim.txt", "not yours");
  scratch.write("old.tmp", "someone else's");
  const bool linked = ScratchDir::makeSymlink(native("victim.txt"), native("link.tmp"));
  const bool dangling = ScratchDir::makeSymlink(native("made-through"), native("dangling.tmp"));
  std::vector<std::string> names = {"old.tmp"};
  if (linked) names.push_back("link.tmp");
  if (dangling) names.push_back("dangling.tmp");
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    env.output().clear();
    EXPECT_FALSE(deployResourceToNewFile(env, target(name), target("a.dsr"), 150));
    EXPECT_EQ(lines(), (std::vector<std::string>{"[01] " + target("a.dsr") +
                                                 " error: file cannot opened.\r\n"}));
  }
  EXPECT_EQ(ScratchDir::read(native("old.tmp")), "someone else's");
  EXPECT_EQ(ScratchDir::read(native("victim.txt")), "not yours");
  EXPECT_FALSE(ScratchDir::exists(native("made-through")));
}

TEST_F(ResourceDeployerTest, NewFileThatCannotBeWrittenWholeIsRemoved) {
  const std::vector<testsupport::Fault> faults = {
      testsupport::Fault::diskFull(4),
      testsupport::Fault::failCall(testsupport::FileOp::kFlush, platform::kIoDevice),
  };
  for (const testsupport::Fault& fault : faults) {
    SCOPED_TRACE(testsupport::fileOpName(fault.op));
    files.clearFaults();
    files.inject(fault);
    env.output().clear();
    EXPECT_FALSE(deployResourceToNewFile(env, target("a.dsr.tmp"), target("a.dsr"), 150));
    EXPECT_FALSE(fs::exists(native("a.dsr.tmp")));
    EXPECT_EQ(lines(), (std::vector<std::string>{"[01] error: " + target("a.dsr") +
                                                 " file io failed.\r\n"}));
  }
}

}  // namespace
}  // namespace app
