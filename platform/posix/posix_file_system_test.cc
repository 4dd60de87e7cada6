#include "platform/posix/posix_file_system.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "testsupport/scratch_dir.h"

namespace platform::posix {
namespace {

using testsupport::ScratchDir;

class PosixFileSystemTest : public ::testing::Test {
 protected:
  // Native path of "C:\<rest>" in the test prefix.
  std::string onDisk(const std::string& rest) const { return scratch_ / ("dosdevices/c:/" + rest); }

  Error writeFile(const std::string& path, const std::string& content,
                  Disposition disposition = Disposition::kCreateAlways, bool followLinks = true) {
    std::unique_ptr<File> file;
    const Error error = files_.open(path, {Access::kWrite, disposition, followLinks}, &file);
    if (error != kOk) return error;
    std::uint32_t written = 0;
    EXPECT_EQ(file->write(content.data(), static_cast<std::uint32_t>(content.size()), &written),
              kOk);
    EXPECT_EQ(written, content.size());
    return file->close();
  }

  ScratchDir scratch_;
  PosixFileSystem files_{scratch_.path()};
};

TEST_F(PosixFileSystemTest, WritesAndReadsThroughWindowsPaths) {
  scratch_.mkdirs("dosdevices/c:/Host/Rastella");
  ASSERT_EQ(writeFile("C:\\HOST\\rastella\\a.bin", std::string("a\0b\r\n", 5)), kOk);
  EXPECT_EQ(ScratchDir::read(onDisk("Host/Rastella/a.bin")), std::string("a\0b\r\n", 5));

  std::unique_ptr<File> file;
  ASSERT_EQ(files_.open("C:\\Host\\Rastella\\A.BIN", {}, &file), kOk);
  char buffer[16] = {};
  std::uint32_t got = 0;
  EXPECT_EQ(file->read(buffer, sizeof buffer, &got), kOk);
  EXPECT_EQ(got, 5u);
  EXPECT_EQ(file->read(buffer, sizeof buffer, &got), kOk);
  EXPECT_EQ(got, 0u);  // end of file
  EXPECT_EQ(file->close(), kOk);
  EXPECT_EQ(file->close(), kInvalidHandle);
}

TEST_F(PosixFileSystemTest, MoveThroughTheOpenFileMovesOnlyThatFile) {
  scratch_.write("dosdevices/c:/dir/P", "old");
  const OpenOptions renamable{Access::kWrite, Disposition::kCreateNew, false, true};
  std::unique_ptr<File> replaced;
  std::unique_ptr<File> mine;
  ASSERT_EQ(files_.open("C:\\dir\\A.out", renamable, &replaced), kOk);
  ASSERT_EQ(files_.open("C:\\dir\\B.out", renamable, &mine), kOk);
  std::uint32_t written = 0;
  ASSERT_EQ(mine->write("new", 3, &written), kOk);
  ASSERT_EQ(mine->flush(), kOk);
  // Another program puts its own file at the name: it never moves over P.
  std::filesystem::remove(onDisk("dir/A.out"));
  scratch_.write("dosdevices/c:/dir/A.out", "theirs");
  EXPECT_EQ(replaced->moveReplace("C:\\dir\\P"), kAccessDenied);
  EXPECT_EQ(ScratchDir::read(onDisk("dir/P")), "old");
  EXPECT_EQ(mine->moveReplace("c:\\DIR\\p"), kOk);
  EXPECT_EQ(ScratchDir::read(onDisk("dir/P")), "new");
  EXPECT_FALSE(ScratchDir::exists(onDisk("dir/B.out")));
}

TEST_F(PosixFileSystemTest, FolderLockWaitsForItsHolderAndLeavesNothing) {
  scratch_.mkdirs("dosdevices/c:/dir");
  std::unique_ptr<FolderLock> held;
  ASSERT_EQ(files_.lockFolder("C:\\dir\\P", &held), kOk);
  std::atomic<bool> taken{false};
  std::thread other([&] {
    std::unique_ptr<FolderLock> lock;
    EXPECT_EQ(files_.lockFolder("c:\\DIR\\Q", &lock), kOk);
    taken = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_FALSE(taken);
  held.reset();
  other.join();
  EXPECT_TRUE(taken);
  EXPECT_TRUE(std::filesystem::is_empty(onDisk("dir")));
}

TEST_F(PosixFileSystemTest, OpenDispositions) {
  scratch_.write("dosdevices/c:/dir/old.txt", "old content");
  ASSERT_EQ(writeFile("C:\\dir\\old.txt", "new"), kOk);  // create-always truncates
  EXPECT_EQ(ScratchDir::read(onDisk("dir/old.txt")), "new");

  EXPECT_EQ(writeFile("C:\\dir\\old.txt", "x", Disposition::kCreateNew), kFileExists);
  EXPECT_EQ(ScratchDir::read(onDisk("dir/old.txt")), "new");
  EXPECT_EQ(writeFile("C:\\dir\\fresh.txt", "fresh", Disposition::kCreateNew), kOk);

  std::unique_ptr<File> file;
  EXPECT_EQ(files_.open("C:\\dir\\missing.txt", {}, &file), kFileNotFound);
  EXPECT_EQ(files_.open("C:\\nodir\\missing.txt", {}, &file), kPathNotFound);
  EXPECT_EQ(writeFile("C:\\nodir\\new.txt", "x"), kPathNotFound);
  EXPECT_FALSE(ScratchDir::exists(onDisk("nodir")));            // no folder is ever created
  EXPECT_EQ(files_.open("C:\\dir", {}, &file), kAccessDenied);  // a folder is not a file
  EXPECT_EQ(writeFile("C:\\dir", "x"), kAccessDenied);
}

TEST_F(PosixFileSystemTest, ReadOnlyFileIsRefusedAndUntouched) {
  const std::string path = scratch_.write("dosdevices/c:/ro.txt", "keep me");
  ScratchDir::makeReadOnly(path);
  std::uint32_t attributes = 0;
  ASSERT_EQ(files_.getAttributes("C:\\ro.txt", &attributes), kOk);
  EXPECT_EQ(attributes, kAttrReadOnly);

  // Refused whoever runs the test, root included.
  EXPECT_EQ(writeFile("C:\\ro.txt", "x"), kAccessDenied);
  EXPECT_EQ(writeFile("C:\\ro.txt", "x", Disposition::kOpenExisting), kAccessDenied);
  EXPECT_EQ(files_.deleteFile("C:\\ro.txt"), kAccessDenied);
  scratch_.write("dosdevices/c:/other.txt", "other");
  EXPECT_EQ(files_.moveFileReplace("C:\\other.txt", "C:\\ro.txt"), kAccessDenied);
  EXPECT_EQ(files_.copyFile("C:\\other.txt", "C:\\ro.txt", false), kAccessDenied);
  EXPECT_EQ(ScratchDir::read(path), "keep me");

  std::unique_ptr<File> file;
  EXPECT_EQ(files_.open("C:\\ro.txt", {}, &file), kOk);  // reading is fine
}

TEST_F(PosixFileSystemTest, NoFollowRefusesSymbolicLinks) {
  const std::string target = scratch_.write("dosdevices/c:/target.txt", "target content");
  ASSERT_EQ(::symlink(target.c_str(), onDisk("link.txt").c_str()), 0);
  EXPECT_EQ(writeFile("C:\\link.txt", "x", Disposition::kCreateAlways, false), kCantResolveName);
  EXPECT_EQ(writeFile("C:\\link.txt", "x", Disposition::kOpenExisting, false), kCantResolveName);
  EXPECT_EQ(ScratchDir::read(target), "target content");  // not truncated through the link
  EXPECT_EQ(writeFile("C:\\link.txt", "through", Disposition::kCreateAlways, true), kOk);
  EXPECT_EQ(ScratchDir::read(target), "through");
}

TEST_F(PosixFileSystemTest, CreateDirectoryAndAttributes) {
  scratch_.mkdirs("dosdevices/c:/Profiles");
  scratch_.write("dosdevices/c:/Profiles/file", "");
  EXPECT_EQ(files_.createDirectory("C:\\Profiles\\Ostrand KM"), kOk);
  EXPECT_EQ(files_.createDirectory("C:\\Profiles\\Ostrand KM"), kAlreadyExists);
  EXPECT_EQ(files_.createDirectory("C:\\Profiles\\file"), kAlreadyExists);
  EXPECT_EQ(files_.createDirectory("C:\\Missing\\Ostrand KM"), kPathNotFound);

  std::uint32_t attributes = 0;
  ASSERT_EQ(files_.getAttributes("C:\\profiles\\OSTRAND KM", &attributes), kOk);
  EXPECT_EQ(attributes, kAttrDirectory);
  ASSERT_EQ(files_.getAttributes("C:\\Profiles\\file", &attributes), kOk);
  EXPECT_EQ(attributes, kAttrNormal);
  EXPECT_EQ(files_.getAttributes("C:\\Profiles\\none", &attributes), kFileNotFound);
  EXPECT_EQ(files_.getAttributes("C:\\none\\none", &attributes), kPathNotFound);
}

TEST_F(PosixFileSystemTest, CopyFile) {
  const std::string bytes("\x00\xff copy \r\n", 10);
  scratch_.write("dosdevices/c:/a.dsr.tmp", bytes);
  scratch_.write("dosdevices/c:/a.dsr.out", "old out");
  EXPECT_EQ(files_.copyFile("C:\\a.dsr.tmp", "C:\\a.dsr.out", true), kFileExists);
  EXPECT_EQ(ScratchDir::read(onDisk("a.dsr.out")), "old out");
  EXPECT_EQ(files_.copyFile("C:\\a.dsr.tmp", "C:\\a.dsr.out", false), kOk);
  EXPECT_EQ(ScratchDir::read(onDisk("a.dsr.out")), bytes);
  EXPECT_EQ(files_.copyFile("C:\\missing", "C:\\b", false), kFileNotFound);
  EXPECT_FALSE(ScratchDir::exists(onDisk("b")));

  // Onto itself: refused instead of truncating the only copy.
  EXPECT_EQ(files_.copyFile("C:\\a.dsr.tmp", "C:\\A.DSR.TMP", false), kSharingViolation);
  EXPECT_EQ(ScratchDir::read(onDisk("a.dsr.tmp")), bytes);

  // A read-only source gives a read-only copy.
  ScratchDir::makeReadOnly(onDisk("a.dsr.tmp"));
  ASSERT_EQ(files_.copyFile("C:\\a.dsr.tmp", "C:\\c", true), kOk);
  std::uint32_t attributes = 0;
  ASSERT_EQ(files_.getAttributes("C:\\c", &attributes), kOk);
  EXPECT_EQ(attributes, kAttrReadOnly);
}

// A file size limit makes write(2) store part of the data and then fail
// (EFBIG), the nearest a test gets to a disk that fills up.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &saved_);
    savedHandler_ = ::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = saved_;
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &saved_);
    ::signal(SIGXFSZ, savedHandler_);
  }

 private:
  rlimit saved_{};
  sighandler_t savedHandler_;
};

TEST_F(PosixFileSystemTest, ShortWriteIsReportedAndFailedCopyLeavesNoTarget) {
  const std::string big(100000, 'z');
  scratch_.write("dosdevices/c:/big", big);
  FileSizeLimit limit(4096);

  std::unique_ptr<File> file;
  ASSERT_EQ(files_.open("C:\\part", {Access::kWrite, Disposition::kCreateAlways}, &file), kOk);
  std::uint32_t written = 0;
  EXPECT_EQ(file->write(big.data(), 10000, &written), kOk);
  EXPECT_EQ(written, 4096u);  // what the one write(2) call stored
  EXPECT_NE(file->write(big.data(), 10, &written), kOk);
  EXPECT_EQ(written, 0u);
  EXPECT_EQ(file->close(), kOk);

  EXPECT_NE(files_.copyFile("C:\\big", "C:\\copy", false), kOk);
  EXPECT_FALSE(ScratchDir::exists(onDisk("copy")));
}

TEST_F(PosixFileSystemTest, MoveDeleteFindAndSync) {
  scratch_.write("dosdevices/c:/Device/Ostrand KM.dsr", "installed");
  scratch_.write("dosdevices/c:/Device/Ostrand KM.dsr.out", "merged");
  ASSERT_EQ(files_.moveFileReplace("C:\\Device\\Ostrand KM.dsr.out", "C:\\Device\\Ostrand KM.dsr"),
            kOk);
  EXPECT_EQ(ScratchDir::read(onDisk("Device/Ostrand KM.dsr")), "merged");
  EXPECT_FALSE(ScratchDir::exists(onDisk("Device/Ostrand KM.dsr.out")));
  EXPECT_EQ(files_.moveFileReplace("C:\\Device\\gone", "C:\\Device\\x"), kFileNotFound);

  EXPECT_EQ(files_.findExactName("C:\\device\\Ostrand KM.dsr"), kOk);  // the folder by any case
  // The name matches without regard to case, as open() and the Windows search do.
  EXPECT_EQ(files_.findExactName("C:\\Device\\ostrand km.dsr"), kOk);
  EXPECT_EQ(files_.findExactName("C:\\Device\\Ostrand KM.ds"), kFileNotFound);
  EXPECT_EQ(files_.findExactName("C:\\Device\\Ostrand*"), kFileNotFound);  // no wildcards
  EXPECT_EQ(files_.findExactName("C:\\NoDevice\\Ostrand KM.dsr"), kPathNotFound);

  EXPECT_EQ(files_.syncParentDirectory("C:\\Device\\Ostrand KM.dsr"), kOk);
  EXPECT_EQ(files_.syncParentDirectory("C:\\NoDevice\\x"), kPathNotFound);

  EXPECT_EQ(files_.deleteFile("C:\\Device"), kAccessDenied);
  EXPECT_EQ(files_.deleteFile("C:\\Device\\OSTRAND KM.DSR"), kOk);
  EXPECT_FALSE(ScratchDir::exists(onDisk("Device/Ostrand KM.dsr")));
  EXPECT_EQ(files_.deleteFile("C:\\Device\\Ostrand KM.dsr"), kFileNotFound);
}

TEST_F(PosixFileSystemTest, OnlyRegularFilesAreOpenedOrCopiedAndNothingWaits) {
  scratch_.mkdirs("dosdevices/c:/dir");
  scratch_.write("dosdevices/c:/dir/file", "regular");
  ASSERT_EQ(::mkfifo(onDisk("dir/fifo").c_str(), 0644), 0);
  ASSERT_EQ(::symlink("/dev/zero", onDisk("dir/zero").c_str()), 0);
  for (const char* name : {"C:\\dir\\fifo", "C:\\dir\\zero"}) {
    SCOPED_TRACE(name);
    std::uint32_t attributes = 0;
    ASSERT_EQ(files_.getAttributes(name, &attributes), kOk);
    EXPECT_EQ(attributes & (kAttrDevice | kAttrDirectory), kAttrDevice);
    std::unique_ptr<File> file;
    EXPECT_EQ(files_.open(name, {}, &file), kAccessDenied);
    EXPECT_EQ(writeFile(name, "x"), kAccessDenied);
    EXPECT_EQ(writeFile(name, "x", Disposition::kOpenExisting), kAccessDenied);
    EXPECT_EQ(files_.copyFile(name, "C:\\dir\\copy", false), kAccessDenied);
    EXPECT_EQ(files_.copyFile("C:\\dir\\file", name, false), kAccessDenied);
  }
  EXPECT_FALSE(ScratchDir::exists(onDisk("dir/copy")));
  struct stat info = {};
  ASSERT_EQ(::lstat(onDisk("dir/fifo").c_str(), &info), 0);
  EXPECT_TRUE(S_ISFIFO(info.st_mode));
}

TEST_F(PosixFileSystemTest, IdentityTellsSpellingsOfOneFileFromOtherFiles) {
  scratch_.write("dosdevices/c:/dir/a.dsr", "a");
  scratch_.write("dosdevices/c:/dir/b.dsr", "b");
  ASSERT_EQ(::symlink(onDisk("dir/a.dsr").c_str(), onDisk("dir/link.dsr").c_str()), 0);
  FileIdentity a;
  ASSERT_EQ(files_.identity("C:\\dir\\a.dsr", &a), kOk);
  for (const char* other : {"C:\\DIR\\A.DSR", "C:\\dir\\.\\a.dsr", "C:\\dir\\link.dsr"}) {
    FileIdentity same;
    ASSERT_EQ(files_.identity(other, &same), kOk) << other;
    EXPECT_EQ(same, a) << other;
  }
  FileIdentity b;
  ASSERT_EQ(files_.identity("C:\\dir\\b.dsr", &b), kOk);
  EXPECT_FALSE(b == a);
  EXPECT_EQ(files_.identity("C:\\dir\\none", &b), kFileNotFound);
}

TEST_F(PosixFileSystemTest, ClearReadOnlyChangesTheFileItselfOnly) {
  const std::string ro = scratch_.write("dosdevices/c:/dir/ro", "stale");
  const std::string target = scratch_.write("dosdevices/c:/dir/target", "not yours");
  ScratchDir::makeReadOnly(ro);
  ScratchDir::makeReadOnly(target);
  ASSERT_EQ(::symlink(target.c_str(), onDisk("dir/link").c_str()), 0);

  EXPECT_EQ(files_.clearReadOnly("C:\\dir\\ro"), kOk);
  std::uint32_t attributes = 0;
  ASSERT_EQ(files_.getAttributes("C:\\dir\\ro", &attributes), kOk);
  EXPECT_EQ(attributes, kAttrNormal);
  EXPECT_EQ(files_.deleteFile("C:\\dir\\ro"), kOk);

  EXPECT_EQ(files_.clearReadOnly("C:\\dir\\link"), kAccessDenied);
  EXPECT_EQ(files_.clearReadOnly("C:\\dir"), kAccessDenied);
  EXPECT_EQ(files_.clearReadOnly("C:\\dir\\none"), kFileNotFound);
  ASSERT_EQ(files_.getAttributes("C:\\dir\\target", &attributes), kOk);
  EXPECT_EQ(attributes, kAttrReadOnly);
}

}  // namespace
}  // namespace platform::posix
