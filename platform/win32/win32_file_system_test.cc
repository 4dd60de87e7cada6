#include "platform/win32/win32_file_system.h"

#include <gtest/gtest.h>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

#include "platform/win32/wide.h"
#include "testsupport/scratch_dir.h"

namespace platform::win32 {
namespace {

using testsupport::ScratchDir;

class Win32FileSystemTest : public testing::Test {
 protected:
  Error writeFile(const std::string& path, const std::string& content) {
    std::unique_ptr<File> file;
    const Error error = files_.open(path, {Access::kWrite, Disposition::kCreateAlways}, &file);
    if (error != kOk) return error;
    std::uint32_t written = 0;
    EXPECT_EQ(file->write(content.data(), static_cast<std::uint32_t>(content.size()), &written),
              kOk);
    EXPECT_EQ(written, content.size());
    return file->close();
  }

  std::string readFile(const std::string& path) {
    std::unique_ptr<File> file;
    EXPECT_EQ(files_.open(path, {}, &file), kOk) << path;
    if (file == nullptr) return {};
    std::string content(4096, '\0');
    std::uint32_t got = 0;
    EXPECT_EQ(file->read(content.data(), static_cast<std::uint32_t>(content.size()), &got), kOk);
    content.resize(got);
    return content;
  }

  ScratchDir scratch_;
  Win32FileSystem files_;
};

TEST_F(Win32FileSystemTest, NonAsciiNamesAndMixedSeparatorsRoundTrip) {
  const std::string folder = scratch_ / "Härvel Ü";
  ASSERT_EQ(files_.createDirectory(folder), kOk);
  const std::string bytes("a\0b\r\n\xff", 6);
  ASSERT_EQ(writeFile(folder + "/日本.dsr", bytes), kOk);
  EXPECT_EQ(ScratchDir::read(folder + "\\日本.dsr"), bytes);
  EXPECT_EQ(readFile(scratch_ / "HÄRVEL ü\\日本.DSR"), bytes);  // any case, as Windows matches

  // The name on disk is the one given, not a code-page rendering of it.
  const auto entry = std::filesystem::directory_iterator(std::filesystem::path(toWide(folder)));
  EXPECT_EQ(fromWide(entry->path().filename().wstring()), "日本.dsr");
  EXPECT_EQ(files_.findExactName(folder + "\\日本.dsr"), kOk);
}

TEST_F(Win32FileSystemTest, MoveThroughTheOpenFileReplacesOnlyWritableFiles) {
  const std::string p = scratch_ / "P";
  ASSERT_EQ(writeFile(p, "old"), kOk);
  const OpenOptions renamable{Access::kWrite, Disposition::kCreateNew, false, true};
  std::unique_ptr<File> mine;
  ASSERT_EQ(files_.open(scratch_ / "B.out", renamable, &mine), kOk);
  std::uint32_t written = 0;
  ASSERT_EQ(mine->write("new", 3, &written), kOk);
  ASSERT_EQ(mine->flush(), kOk);
  // Opened without sharing, the file cannot be taken from its name.
  EXPECT_NE(files_.deleteFile(scratch_ / "B.out"), kOk);
  ASSERT_TRUE(::SetFileAttributesW(toWide(p).c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(mine->moveReplace(p), kAccessDenied);
  ASSERT_TRUE(::SetFileAttributesW(toWide(p).c_str(), FILE_ATTRIBUTE_NORMAL));
  EXPECT_EQ(mine->moveReplace(p), kOk);
  EXPECT_EQ(mine->close(), kOk);
  EXPECT_EQ(readFile(p), "new");
  EXPECT_FALSE(ScratchDir::exists(scratch_ / "B.out"));
}

TEST_F(Win32FileSystemTest, FolderLockWaitsForItsHolderAndLeavesNothing) {
  const std::string folder = scratch_ / "dir";
  ASSERT_EQ(files_.createDirectory(folder), kOk);
  std::unique_ptr<FolderLock> held;
  ASSERT_EQ(files_.lockFolder(folder + "\\P", &held), kOk);
  std::atomic<bool> taken{false};
  std::thread other([&] {
    std::unique_ptr<FolderLock> lock;
    EXPECT_EQ(files_.lockFolder(folder + "/Q", &lock), kOk);
    taken = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_FALSE(taken);
  held.reset();
  other.join();
  EXPECT_TRUE(taken);
  EXPECT_TRUE(std::filesystem::is_empty(std::filesystem::path(folder)));
}

TEST_F(Win32FileSystemTest, FileReadsToTheEndAndClosesOnce) {
  scratch_.write("a.bin", "12345");
  std::unique_ptr<File> file;
  ASSERT_EQ(files_.open(scratch_ / "a.bin", {}, &file), kOk);
  char buffer[16] = {};
  std::uint32_t got = 0;
  EXPECT_EQ(file->read(buffer, sizeof buffer, &got), kOk);
  EXPECT_EQ(got, 5u);
  EXPECT_EQ(file->read(buffer, sizeof buffer, &got), kOk);
  EXPECT_EQ(got, 0u);  // end of file
  // Opened without sharing: a second opener is refused while it is open.
  std::unique_ptr<File> second;
  EXPECT_EQ(files_.open(scratch_ / "a.bin", {}, &second), kSharingViolation);
  EXPECT_EQ(file->close(), kOk);
  EXPECT_EQ(file->close(), kInvalidHandle);
}

TEST_F(Win32FileSystemTest, OpenDispositions) {
  struct Case {
    const char* path;
    Access access;
    Disposition disposition;
    Error expected;
    const char* contentAfter;  // of old.txt
  };
  const Case cases[] = {
      {"old.txt", Access::kWrite, Disposition::kCreateAlways, kOk, ""},  // truncated
      {"old.txt", Access::kRead, Disposition::kCreateAlways, kOk, ""},
      {"old.txt", Access::kWrite, Disposition::kCreateNew, kFileExists, "old content"},
      {"old.txt", Access::kWrite, Disposition::kOpenExisting, kOk, "old content"},
      {"fresh.txt", Access::kWrite, Disposition::kCreateNew, kOk, "old content"},
      {"missing.txt", Access::kRead, Disposition::kOpenExisting, kFileNotFound, "old content"},
      {"nodir\\missing.txt", Access::kRead, Disposition::kOpenExisting, kPathNotFound,
       "old content"},
      {"nodir\\new.txt", Access::kWrite, Disposition::kCreateAlways, kPathNotFound, "old content"},
      {"old.txt\\below", Access::kWrite, Disposition::kCreateAlways, kPathNotFound, "old content"},
      {"dir", Access::kRead, Disposition::kOpenExisting, kAccessDenied, "old content"},
      {"dir", Access::kWrite, Disposition::kCreateAlways, kAccessDenied, "old content"},
      {"dir", Access::kWrite, Disposition::kCreateNew, kFileExists, "old content"},
  };
  for (const Case& c : cases) {
    const std::string old = scratch_.write("old.txt", "old content");
    scratch_.mkdirs("dir");
    std::unique_ptr<File> file;
    EXPECT_EQ(files_.open(scratch_ / c.path, {c.access, c.disposition, true}, &file), c.expected)
        << c.path;
    file.reset();
    EXPECT_EQ(ScratchDir::read(old), c.contentAfter) << c.path;
    EXPECT_FALSE(ScratchDir::exists(scratch_ / "nodir"));  // no folder is ever created
  }
}

TEST_F(Win32FileSystemTest, ReadOnlyFilesAndFoldersAreRefusedAndUntouched) {
  // Windows refuses a read-only file itself; Wine running as root would
  // not, so there the backend's own check is what this proves.
  const std::string readOnly = scratch_.write("ro.txt", "keep me");
  const std::string other = scratch_.write("other.txt", "other");
  const std::string folder = scratch_.mkdirs("Device");
  ScratchDir::makeReadOnly(readOnly);
  const auto open = [&](const std::string& path, Access access, Disposition disposition) {
    std::unique_ptr<File> file;
    return files_.open(path, {access, disposition, true}, &file);
  };
  const std::function<Error()> refused[] = {
      [&] { return open(readOnly, Access::kWrite, Disposition::kCreateAlways); },
      [&] { return open(readOnly, Access::kWrite, Disposition::kOpenExisting); },
      [&] { return open(readOnly, Access::kRead, Disposition::kCreateAlways); },
      [&] { return files_.deleteFile(readOnly); },
      [&] { return files_.moveFileReplace(other, readOnly); },
      [&] { return files_.copyFile(other, readOnly, false); },
      [&] { return files_.deleteFile(folder); },
      [&] { return files_.moveFileReplace(other, folder); },
      [&] { return files_.copyFile(other, folder, false); },
      [&] { return files_.copyFile(folder, scratch_ / "copy", false); },
  };
  for (std::size_t i = 0; i < std::size(refused); ++i) {
    EXPECT_EQ(refused[i](), kAccessDenied) << "operation " << i;
    EXPECT_EQ(ScratchDir::read(readOnly), "keep me") << "operation " << i;
    EXPECT_EQ(ScratchDir::read(other), "other") << "operation " << i;
  }
  EXPECT_FALSE(ScratchDir::exists(scratch_ / "copy"));
  EXPECT_EQ(readFile(readOnly), "keep me");  // reading is fine
}

TEST_F(Win32FileSystemTest, CreateDirectoryAndAttributes) {
  scratch_.write("Profiles\\file", "");
  const std::string profiles = scratch_ / "Profiles";
  EXPECT_EQ(files_.createDirectory(profiles + "\\Ostrand KM"), kOk);
  EXPECT_EQ(files_.createDirectory(profiles + "\\Ostrand KM"), kAlreadyExists);
  EXPECT_EQ(files_.createDirectory(profiles + "\\file"), kAlreadyExists);
  EXPECT_EQ(files_.createDirectory(scratch_ / "Missing\\Ostrand KM"), kPathNotFound);

  std::uint32_t attributes = 0;
  ASSERT_EQ(files_.getAttributes(scratch_ / "profiles\\OSTRAND KM", &attributes), kOk);
  EXPECT_EQ(attributes, kAttrDirectory);
  ASSERT_EQ(files_.getAttributes(profiles + "\\file", &attributes), kOk);
  EXPECT_EQ(attributes, kAttrNormal);  // not FILE_ATTRIBUTE_ARCHIVE
  EXPECT_EQ(files_.getAttributes(profiles + "\\none", &attributes), kFileNotFound);
  EXPECT_EQ(files_.getAttributes(scratch_ / "none\\none", &attributes), kPathNotFound);
}

TEST_F(Win32FileSystemTest, CopyReplacesOnlyWhatItMay) {
  const std::string bytes("\x00\xff copy \r\n", 10);
  const std::string source = scratch_.write("a.dsr.tmp", bytes);
  const std::string target = scratch_.write("a.dsr.out", "old out");
  EXPECT_EQ(files_.copyFile(source, target, true), kFileExists);
  EXPECT_EQ(ScratchDir::read(target), "old out");
  EXPECT_EQ(files_.copyFile(source, target, false), kOk);
  EXPECT_EQ(ScratchDir::read(target), bytes);
  EXPECT_EQ(files_.copyFile(scratch_ / "missing", scratch_ / "b", false), kFileNotFound);
  EXPECT_FALSE(ScratchDir::exists(scratch_ / "b"));
  EXPECT_EQ(files_.copyFile(source, scratch_ / "nodir\\b", false), kPathNotFound);

  // Onto itself, under another spelling: refused instead of truncating it.
  EXPECT_EQ(files_.copyFile(source, scratch_ / "A.DSR.TMP", false), kSharingViolation);
  EXPECT_EQ(files_.copyFile(source, source, true), kSharingViolation);
  EXPECT_EQ(ScratchDir::read(source), bytes);

  // A read-only source gives a read-only copy.
  ScratchDir::makeReadOnly(source);
  ASSERT_EQ(files_.copyFile(source, scratch_ / "c", true), kOk);
  std::uint32_t attributes = 0;
  ASSERT_EQ(files_.getAttributes(scratch_ / "c", &attributes), kOk);
  EXPECT_EQ(attributes, kAttrReadOnly);
  EXPECT_EQ(ScratchDir::read(scratch_ / "c"), bytes);
}

TEST_F(Win32FileSystemTest, MoveDeleteAndSync) {
  const std::string device = scratch_ / "Device";
  scratch_.write("Device\\Ostrand KM.dsr", "installed");
  scratch_.write("Device\\Ostrand KM.dsr.out", "merged");
  ASSERT_EQ(files_.moveFileReplace(device + "\\Ostrand KM.dsr.out", device + "/Ostrand KM.dsr"),
            kOk);
  EXPECT_EQ(ScratchDir::read(device + "\\Ostrand KM.dsr"), "merged");
  EXPECT_FALSE(ScratchDir::exists(device + "\\Ostrand KM.dsr.out"));
  EXPECT_EQ(files_.moveFileReplace(device + "\\gone", device + "\\x"), kFileNotFound);

  EXPECT_EQ(files_.syncParentDirectory(device + "\\Ostrand KM.dsr"), kOk);
  EXPECT_EQ(files_.syncParentDirectory(scratch_ / "NoDevice\\x"), kPathNotFound);
  EXPECT_EQ(files_.syncParentDirectory(device + "\\Ostrand KM.dsr\\x"), kPathNotFound);

  EXPECT_EQ(files_.deleteFile(device + "\\OSTRAND KM.DSR"), kOk);
  EXPECT_FALSE(ScratchDir::exists(device + "\\Ostrand KM.dsr"));
  EXPECT_EQ(files_.deleteFile(device + "\\Ostrand KM.dsr"), kFileNotFound);
  EXPECT_EQ(files_.deleteFile(scratch_ / "NoDevice\\x"), kPathNotFound);
}

TEST_F(Win32FileSystemTest, FindExactName) {
  scratch_.write("Device\\Ostrand KM.dsr", "installed");
  const struct {
    const char* path;
    Error expected;
  } cases[] = {
      {"Device\\Ostrand KM.dsr", kOk},
      {"device/ostrand km.DSR", kOk},  // without regard to case, as the Windows search
      {"Device\\Ostrand KM.ds", kFileNotFound},
      {"Device\\Ostrand*", kFileNotFound},  // never a pattern
      {"Device\\Ostrand KM.ds?", kFileNotFound},
      {"Device\\", kFileNotFound},
      {"NoDevice\\Ostrand KM.dsr", kPathNotFound},
  };
  for (const auto& c : cases)
    EXPECT_EQ(files_.findExactName(scratch_ / c.path), c.expected) << c.path;
}

TEST_F(Win32FileSystemTest, DevicesAreNeitherOpenedNorCopied) {
  const std::string file = scratch_.write("file", "regular");
  std::unique_ptr<File> opened;
  EXPECT_EQ(files_.open("NUL", {}, &opened), kAccessDenied);
  EXPECT_EQ(files_.open("\\\\.\\NUL", {Access::kWrite, Disposition::kOpenExisting}, &opened),
            kAccessDenied);
  EXPECT_EQ(files_.copyFile("NUL", scratch_ / "copy", false), kAccessDenied);
  EXPECT_FALSE(ScratchDir::exists(scratch_ / "copy"));
  EXPECT_EQ(files_.copyFile(file, "NUL", false), kAccessDenied);
  EXPECT_EQ(ScratchDir::read(file), "regular");
}

TEST_F(Win32FileSystemTest, IdentityTellsSpellingsOfOneFileFromOtherFiles) {
  const std::string a = scratch_.write("dir\\a.dsr", "a");
  const std::string b = scratch_.write("dir\\b.dsr", "b");
  FileIdentity first;
  ASSERT_EQ(files_.identity(a, &first), kOk);
  for (const std::string& other :
       {scratch_ / "DIR\\A.DSR", scratch_ / "dir\\.\\a.dsr", scratch_ / "dir/../dir/a.dsr"}) {
    FileIdentity same;
    ASSERT_EQ(files_.identity(other, &same), kOk) << other;
    EXPECT_EQ(same, first) << other;
  }
  FileIdentity second;
  ASSERT_EQ(files_.identity(b, &second), kOk);
  EXPECT_FALSE(second == first);
  EXPECT_EQ(files_.identity(scratch_ / "dir\\none", &second), kFileNotFound);
}

TEST_F(Win32FileSystemTest, ClearReadOnlyChangesRegularFilesOnly) {
  const std::string readOnly = scratch_.write("ro", "stale");
  ScratchDir::makeReadOnly(readOnly);
  EXPECT_EQ(files_.clearReadOnly(readOnly), kOk);
  std::uint32_t attributes = 0;
  ASSERT_EQ(files_.getAttributes(readOnly, &attributes), kOk);
  EXPECT_EQ(attributes, kAttrNormal);
  EXPECT_EQ(files_.deleteFile(readOnly), kOk);
  EXPECT_EQ(files_.clearReadOnly(scratch_.mkdirs("dir")), kAccessDenied);
  EXPECT_EQ(files_.clearReadOnly(scratch_ / "none"), kFileNotFound);
}

}  // namespace
}  // namespace platform::win32
