// A FileSystem for tests that wraps another one and makes chosen calls fail.
//
//   testsupport::FaultFileSystem files(realFiles);
//   files.inject(Fault::failCall(FileOp::kMoveFileReplace, kAccessDenied));
//   files.inject(Fault::diskFull(100, ".tmp"));   // first write to a *.tmp path
//   ... run the code under test ...
//   files.calls();   // every call made, in order
//
// An injected failure happens before the real call, so the disk is left as it
// was (a failed open creates and truncates nothing, a failed delete deletes
// nothing). The two write faults are the exception: they write a part of the
// data for real, as a disk that fills up or a short write would.
//
// Files opened through this object must not outlive it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/error.h"
#include "platform/file_system.h"
#include "platform/file_system_wrapper.h"

namespace testsupport {

enum class FileOp {
  kOpen,
  kGetAttributes,
  kCreateDirectory,
  kDeleteFile,
  kCopyFile,
  kMoveFileReplace,
  kFindExactName,
  kSyncParentDirectory,
  kIdentity,
  kClearReadOnly,
  kLockFolder,
  kRead,  // the four operations on an open file
  kWrite,
  kFlush,
  kClose,
  // File::moveReplace is recorded as kMoveFileReplace: it is the same move.
};

// The name of |op| as written in the FileSystem and File interfaces.
const char* fileOpName(FileOp op);

// How a write fault behaves.
enum class WriteFaultKind {
  kNone,        // an ordinary failure: nothing written, |error| returned
  kFillDisk,    // the first |keepBytes| bytes are written, then |error|
  kShortWrite,  // only |keepBytes| bytes are written and kOk is returned
};

struct Fault {
  FileOp op = FileOp::kOpen;
  // Which matching call fails: 1 is the first, 2 the second...; 0 is every
  // matching call.
  int nth = 0;
  // Only calls whose path (either path of a copy or move; for file
  // operations the path the file was opened with) contains this text match.
  // Empty matches every path.
  std::string pathContains;
  platform::Error error = platform::kIoDevice;
  WriteFaultKind writeKind = WriteFaultKind::kNone;
  std::uint32_t keepBytes = 0;

  // The |nth| matching call of |op| fails with |error| (0: every call).
  static Fault failCall(FileOp op, platform::Error error, int nth = 0,
                        std::string pathContains = {});
  // The first matching write stores |keepBytes| bytes, then reports
  // kDiskFull with the count stored.
  static Fault diskFull(std::uint32_t keepBytes, std::string pathContains = {});
  // The first matching write stores |keepBytes| bytes and reports kOk.
  static Fault shortWrite(std::uint32_t keepBytes, std::string pathContains = {});
};

// One call as it reached this object (also when it failed).
struct FileCall {
  FileOp op;
  std::string path;
  std::string otherPath;  // the target of a copy or move

  bool operator==(const FileCall&) const = default;
};

class FaultFileSystem : public platform::FileSystemWrapper {
 public:
  explicit FaultFileSystem(platform::FileSystem& target) : FileSystemWrapper(&target) {}

  // Adds a fault; several may be active. When more than one matches a call,
  // the first injected decides.
  void inject(Fault fault);
  // Removes all faults and resets their call counts.
  void clearFaults();

  // Calls |observer| with each call as it reaches this object, before it is
  // made or failed, so a test can act between any two operations.
  void observe(std::function<void(const FileCall&)> observer) { observer_ = std::move(observer); }

  const std::vector<FileCall>& calls() const { return calls_; }
  void clearCalls() { calls_.clear(); }

  // Every call is recorded and may fail; the rest go to the target.
  platform::Error open(const std::string& path, const platform::OpenOptions& options,
                       std::unique_ptr<platform::File>* file) override;
  platform::Error getAttributes(const std::string& path, std::uint32_t* attributes) override;
  platform::Error createDirectory(const std::string& path) override;
  platform::Error deleteFile(const std::string& path) override;
  platform::Error copyFile(const std::string& from, const std::string& to,
                           bool failIfExists) override;
  platform::Error moveFileReplace(const std::string& from, const std::string& to) override;
  platform::Error findExactName(const std::string& path) override;
  platform::Error syncParentDirectory(const std::string& path) override;
  platform::Error identity(const std::string& path, platform::FileIdentity* id) override;
  platform::Error clearReadOnly(const std::string& path) override;
  platform::Error lockFolder(const std::string& path,
                             std::unique_ptr<platform::FolderLock>* lock) override;

  // Records a call and returns the fault that hits it, if any. Used by the
  // files this object hands out.
  const Fault* record(FileOp op, const std::string& path, const std::string& otherPath = {});

 private:
  struct ActiveFault {
    Fault fault;
    int matchingCalls = 0;
  };

  std::vector<ActiveFault> faults_;
  std::vector<FileCall> calls_;
  std::function<void(const FileCall&)> observer_;
};

}  // namespace testsupport
