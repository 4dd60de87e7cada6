#include "platform/file_io.h"

#include <gtest/gtest.h>

#include <string>

#include "testsupport/fault_file_system.h"
#include "testsupport/memory_file_system.h"

namespace platform {
namespace {

using testsupport::Fault;
using testsupport::FaultFileSystem;
using testsupport::MemoryFileSystem;

constexpr const char* kPath = "C:\\data\\file.bin";

// Bytes that differ from one position to the next, so a block read twice or
// skipped shows.
std::string pattern(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
  return bytes;
}

TEST(FileIoTest, ReadFileToStringReadsEveryLengthAroundTheBlockSize) {
  for (const std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{kCopyBlockSize - 1},
                                 std::size_t{kCopyBlockSize}, std::size_t{kCopyBlockSize + 1},
                                 std::size_t{5 * kCopyBlockSize + 7}}) {
    SCOPED_TRACE(size);
    MemoryFileSystem files;
    files.put(kPath, pattern(size));
    std::string content = "left from before";
    ASSERT_EQ(readFileToString(files, kPath, &content), kOk);
    EXPECT_TRUE(content == pattern(size));
  }
}

TEST(FileIoTest, WriteAllGoesOnAfterAShortWrite) {
  MemoryFileSystem memory;
  FaultFileSystem files(memory);
  files.inject(Fault::shortWrite(3));
  std::unique_ptr<File> file;
  ASSERT_EQ(createNewFile(files, kPath, &file), kOk);
  EXPECT_EQ(writeAll(*file, "0123456789"), kOk);
  EXPECT_EQ(file->close(), kOk);
  EXPECT_EQ(memory.content(kPath), "0123456789");
}

TEST(FileIoTest, CreateNewFileLeavesWhatIsThereAlone) {
  MemoryFileSystem files;
  files.put(kPath, "the user's");
  std::unique_ptr<File> file;
  EXPECT_EQ(createNewFile(files, kPath, &file), kFileExists);
  EXPECT_EQ(file, nullptr);
  EXPECT_EQ(files.content(kPath), "the user's");
}

}  // namespace
}  // namespace platform
