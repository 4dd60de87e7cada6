#include "app/resource_deployer.h"

#include <cstdint>
#include <limits>
#include <memory>

#include "app/progress_log.h"

namespace app {
namespace {

// Writes the blob to |filePath| opened with |options| and reports the
// outcome for |reportedPath|; with |flush| the data is on stable storage
// before the file is closed.
bool deploy(platform::Env& env, const std::string& filePath, const std::string& reportedPath,
            int blobId, const platform::OpenOptions& options, bool flush) {
  platform::Resources& resources = env.resources();
  platform::DebugOutput& output = env.debugOutput();

  if (!resources.hasBlob(blobId)) {
    emitProgressLine(output, ProgressOutcome::kResourceNotFound, reportedPath);
    return false;
  }
  const std::uint8_t* data = resources.blobData(blobId);
  if (data == nullptr) {
    emitProgressLine(output, ProgressOutcome::kResourceDataNotLoaded, reportedPath);
    return false;
  }
  const std::size_t size = resources.blobSize(blobId);
  if (size == 0) {
    emitProgressLine(output, ProgressOutcome::kResourceSizeZero, reportedPath);
    return false;
  }

  platform::FileSystem& files = env.files();
  std::unique_ptr<platform::File> file;
  if (files.open(filePath, options, &file) != platform::kOk || !file) {
    emitProgressLine(output, ProgressOutcome::kFileCannotOpen, reportedPath);
    return false;
  }

  // One single write call; it counts only when it reports the whole blob.
  // A blob too large for one call can never be written whole.
  bool done = false;
  if (size <= std::numeric_limits<std::uint32_t>::max()) {
    const auto n = static_cast<std::uint32_t>(size);
    std::uint32_t written = 0;
    done = file->write(data, n, &written) == platform::kOk && written == n;
  }
  if (done && flush) done = file->flush() == platform::kOk;

  if (done) {
    // A close that fails may have lost buffered data, so it is not reported
    // as a success; the file is then handled like a failed write.
    const platform::Error closed = file->close();
    file.reset();
    if (closed == platform::kOk) {
      emitProgressLine(output, ProgressOutcome::kUpdated, reportedPath, size);
      return true;
    }
    emitProgressLine(output, ProgressOutcome::kFileIoFailed, reportedPath);
  } else {
    emitProgressLine(output, ProgressOutcome::kFileIoFailed, reportedPath);
    // The write already failed and is reported; the file goes below.
    (void)file->close();
    file.reset();
  }
  // The old content is already gone; leave no partial file behind. Best
  // effort: the failure is reported either way.
  (void)files.deleteFile(filePath);
  return false;
}

}  // namespace

bool ResourceDeployer(platform::Env& env, const std::string& targetPath, int blobId) {
  platform::OpenOptions options;
  options.access = platform::Access::kWrite;
  options.disposition = platform::Disposition::kCreateAlways;
  // A link standing at the target is refused ("file cannot opened"), never
  // written through: the installer writes the host's own files only.
  options.followLinks = false;
  return deploy(env, targetPath, targetPath, blobId, options, /*flush=*/false);
}

bool deployResourceToNewFile(platform::Env& env, const std::string& filePath,
                             const std::string& reportedPath, int blobId) {
  platform::OpenOptions options;
  options.access = platform::Access::kWrite;
  options.disposition = platform::Disposition::kCreateNew;
  options.followLinks = false;
  return deploy(env, filePath, reportedPath, blobId, options, /*flush=*/true);
}

}  // namespace app
