#include "testsupport/fault_file_system.h"

#include <algorithm>

namespace testsupport {

using namespace platform;  // the interface this file implements, and its error codes

namespace {

// An open file of a FaultFileSystem: every call is recorded and may fail.
class FaultFile : public File {
 public:
  FaultFile(FaultFileSystem& owner, std::string path, std::unique_ptr<File> inner)
      : owner_(owner), path_(std::move(path)), inner_(std::move(inner)) {}

  Error read(void* buffer, std::uint32_t n, std::uint32_t* bytesRead) override {
    if (const Fault* fault = owner_.record(FileOp::kRead, path_)) {
      if (bytesRead != nullptr) *bytesRead = 0;
      return fault->error;
    }
    return inner_->read(buffer, n, bytesRead);
  }

  Error write(const void* data, std::uint32_t n, std::uint32_t* bytesWritten) override {
    const Fault* fault = owner_.record(FileOp::kWrite, path_);
    if (fault == nullptr) return inner_->write(data, n, bytesWritten);
    if (bytesWritten != nullptr) *bytesWritten = 0;
    if (fault->writeKind == WriteFaultKind::kNone) return fault->error;

    std::uint32_t stored = 0;
    const Error error = inner_->write(data, std::min(n, fault->keepBytes), &stored);
    if (bytesWritten != nullptr) *bytesWritten = stored;
    if (error != kOk) return error;
    return fault->writeKind == WriteFaultKind::kFillDisk ? fault->error : kOk;
  }

  Error flush() override {
    if (const Fault* fault = owner_.record(FileOp::kFlush, path_)) return fault->error;
    return inner_->flush();
  }

  Error moveReplace(const std::string& to) override {
    if (const Fault* fault = owner_.record(FileOp::kMoveFileReplace, path_, to)) {
      return fault->error;
    }
    return inner_->moveReplace(to);
  }

  // A failed close leaves the real file open; destroying this object closes
  // it, so nothing leaks.
  Error close() override {
    if (const Fault* fault = owner_.record(FileOp::kClose, path_)) return fault->error;
    return inner_->close();
  }

 private:
  FaultFileSystem& owner_;
  std::string path_;
  std::unique_ptr<File> inner_;
};

}  // namespace

const char* fileOpName(FileOp op) {
  switch (op) {
    case FileOp::kOpen:
      return "open";
    case FileOp::kGetAttributes:
      return "getAttributes";
    case FileOp::kCreateDirectory:
      return "createDirectory";
    case FileOp::kDeleteFile:
      return "deleteFile";
    case FileOp::kCopyFile:
      return "copyFile";
    case FileOp::kMoveFileReplace:
      return "moveFileReplace";
    case FileOp::kFindExactName:
      return "findExactName";
    case FileOp::kSyncParentDirectory:
      return "syncParentDirectory";
    case FileOp::kIdentity:
      return "identity";
    case FileOp::kClearReadOnly:
      return "clearReadOnly";
    case FileOp::kLockFolder:
      return "lockFolder";
    case FileOp::kRead:
      return "read";
    case FileOp::kWrite:
      return "write";
    case FileOp::kFlush:
      return "flush";
    case FileOp::kClose:
      return "close";
  }
  return "?";
}

Fault Fault::failCall(FileOp op, Error error, int nth, std::string pathContains) {
  Fault fault;
  fault.op = op;
  fault.error = error;
  fault.nth = nth;
  fault.pathContains = std::move(pathContains);
  return fault;
}

Fault Fault::diskFull(std::uint32_t keepBytes, std::string pathContains) {
  Fault fault = failCall(FileOp::kWrite, kDiskFull, 1, std::move(pathContains));
  fault.writeKind = WriteFaultKind::kFillDisk;
  fault.keepBytes = keepBytes;
  return fault;
}

Fault Fault::shortWrite(std::uint32_t keepBytes, std::string pathContains) {
  Fault fault = failCall(FileOp::kWrite, kOk, 1, std::move(pathContains));
  fault.writeKind = WriteFaultKind::kShortWrite;
  fault.keepBytes = keepBytes;
  return fault;
}

void FaultFileSystem::inject(Fault fault) { faults_.push_back({std::move(fault), 0}); }

void FaultFileSystem::clearFaults() { faults_.clear(); }

const Fault* FaultFileSystem::record(FileOp op, const std::string& path,
                                     const std::string& otherPath) {
  calls_.push_back({op, path, otherPath});
  if (observer_) observer_(FileCall(calls_.back()));  // a copy: the observer may add calls
  const Fault* hit = nullptr;
  // Every matching fault counts the call, also when an earlier one hits it,
  // so "the nth call" always means the nth call made.
  for (ActiveFault& active : faults_) {
    const Fault& fault = active.fault;
    if (fault.op != op) continue;
    const bool pathMatches = fault.pathContains.empty() ||
                             path.find(fault.pathContains) != std::string::npos ||
                             otherPath.find(fault.pathContains) != std::string::npos;
    if (!pathMatches) continue;
    ++active.matchingCalls;
    if (hit == nullptr && (fault.nth == 0 || fault.nth == active.matchingCalls)) hit = &fault;
  }
  return hit;
}

Error FaultFileSystem::open(const std::string& path, const OpenOptions& options,
                            std::unique_ptr<File>* file) {
  if (const Fault* fault = record(FileOp::kOpen, path)) return fault->error;
  std::unique_ptr<File> opened;
  const Error error = target().open(path, options, &opened);
  if (error == kOk && file != nullptr) {
    *file = std::make_unique<FaultFile>(*this, path, std::move(opened));
  }
  return error;
}

Error FaultFileSystem::getAttributes(const std::string& path, std::uint32_t* attributes) {
  if (const Fault* fault = record(FileOp::kGetAttributes, path)) return fault->error;
  return target().getAttributes(path, attributes);
}

Error FaultFileSystem::createDirectory(const std::string& path) {
  if (const Fault* fault = record(FileOp::kCreateDirectory, path)) return fault->error;
  return target().createDirectory(path);
}

Error FaultFileSystem::deleteFile(const std::string& path) {
  if (const Fault* fault = record(FileOp::kDeleteFile, path)) return fault->error;
  return target().deleteFile(path);
}

Error FaultFileSystem::copyFile(const std::string& from, const std::string& to, bool failIfExists) {
  if (const Fault* fault = record(FileOp::kCopyFile, from, to)) return fault->error;
  return target().copyFile(from, to, failIfExists);
}

Error FaultFileSystem::moveFileReplace(const std::string& from, const std::string& to) {
  if (const Fault* fault = record(FileOp::kMoveFileReplace, from, to)) return fault->error;
  return target().moveFileReplace(from, to);
}

Error FaultFileSystem::findExactName(const std::string& path) {
  if (const Fault* fault = record(FileOp::kFindExactName, path)) return fault->error;
  return target().findExactName(path);
}

Error FaultFileSystem::syncParentDirectory(const std::string& path) {
  if (const Fault* fault = record(FileOp::kSyncParentDirectory, path)) return fault->error;
  return target().syncParentDirectory(path);
}

Error FaultFileSystem::identity(const std::string& path, FileIdentity* id) {
  if (const Fault* fault = record(FileOp::kIdentity, path)) return fault->error;
  return target().identity(path, id);
}

Error FaultFileSystem::clearReadOnly(const std::string& path) {
  if (const Fault* fault = record(FileOp::kClearReadOnly, path)) return fault->error;
  return target().clearReadOnly(path);
}

Error FaultFileSystem::lockFolder(const std::string& path, std::unique_ptr<FolderLock>* lock) {
  if (const Fault* fault = record(FileOp::kLockFolder, path)) return fault->error;
  return target().lockFolder(path, lock);
}

}  // namespace testsupport
