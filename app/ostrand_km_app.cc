#include "app/ostrand_km_app.h"

#include <array>
#include <cstdint>
#include <memory>

#include "app/host_records.h"
#include "app/payload_table.h"
#include "app/progress_log.h"
#include "app/resource_deployer.h"
#include "update/device_series_updater.h"

namespace app {
namespace {

// An installed device-series file shorter than this is written over rather
// than merged.
constexpr std::uint32_t kMergeThreshold = 1024;

// Steps 10 to 12: create the folder only when nothing exists at its path.
// The creation's result is not examined: a missing parent shows later as
// "file cannot opened" lines of the files meant for it.
void createFolderIfMissing(platform::FileSystem& files, const std::string& path) {
  std::uint32_t attributes = 0;
  if (files.getAttributes(path, &attributes) != platform::kOk) (void)files.createDirectory(path);
}

// What the installation sequence finds at a device-series path.
enum class InstalledCopy {
  kNone,          // nothing there (or a folder on the way is missing)
  kShort,         // a file whose first read delivers fewer than kMergeThreshold bytes
  kMergeable,     // a file whose first read delivers kMergeThreshold bytes
  kUnexaminable,  // something that cannot be opened or read for any other reason
};

// Opens |path| for reading and reads kMergeThreshold bytes; the file is
// closed before this returns. Only a missing file is absent: a file that is
// there but cannot be opened or read (locked, without read permission, an
// I/O error, a FIFO or device) may hold the user's media and is examined no
// further.
InstalledCopy examineInstalledCopy(platform::FileSystem& files, const std::string& path) {
  std::unique_ptr<platform::File> file;
  platform::OpenOptions options;
  options.access = platform::Access::kRead;
  options.disposition = platform::Disposition::kOpenExisting;
  const platform::Error opened = files.open(path, options, &file);
  if (opened == platform::kFileNotFound || opened == platform::kPathNotFound) {
    return InstalledCopy::kNone;
  }
  if (opened != platform::kOk || !file) return InstalledCopy::kUnexaminable;
  std::array<std::uint8_t, kMergeThreshold> buffer;
  std::uint32_t bytesRead = 0;
  const platform::Error read = file->read(buffer.data(), kMergeThreshold, &bytesRead);
  // Opened for reading only: a failed close loses nothing.
  (void)file->close();
  if (read != platform::kOk) return InstalledCopy::kUnexaminable;
  return bytesRead == kMergeThreshold ? InstalledCopy::kMergeable : InstalledCopy::kShort;
}

}  // namespace

COstrandKMApp theApp;

COstrandKMApp::COstrandKMApp() = default;

COstrandKMApp::COstrandKMApp(platform::Env& env, Updater updater)
    : env_(&env), updater_(std::move(updater)) {}

bool COstrandKMApp::runDeviceSeriesUpdater(platform::Env& env, const std::string& installedPath,
                                           int blobId) {
  const update::BlobWriter writeBlob = [&env](const std::string& filePath,
                                              const std::string& reportedPath, int id) {
    return deployResourceToNewFile(env, filePath, reportedPath, id);
  };
  return update::DeviceSeriesUpdater(env, writeBlob, installedPath, blobId);
}

bool COstrandKMApp::InitInstance() {
  platform::Env& env = env_ != nullptr ? *env_ : platform::Env::Default();
  const Updater updater = updater_ ? updater_ : Updater(&COstrandKMApp::runDeviceSeriesUpdater);

  outcome_ = InstallOutcome::kNoHost;
  std::string installFolder;
  if (!findHostInstallFolder(env.registry(), &installFolder)) return true;

  bool allDeployed = true;
  for (const PayloadStep& step : payloadTable()) {
    std::string path;
    if (!buildTargetPath(env.resources(), installFolder, step, &path)) {
      // A payload file without its target name is a file not deployed; a
      // folder's creation is not examined (its files tell).
      if (step.action != PayloadAction::kCreateFolder) allDeployed = false;
      continue;
    }
    bool deployed = true;
    switch (step.action) {
      case PayloadAction::kWrite:
        deployed = ResourceDeployer(env, path, step.blobId);
        break;
      case PayloadAction::kCreateFolder:
        createFolderIfMissing(env.files(), path);
        break;
      case PayloadAction::kUpdate:
        switch (examineInstalledCopy(env.files(), path)) {
          case InstalledCopy::kMergeable:
            deployed = updater(env, path, step.blobId);
            break;
          case InstalledCopy::kUnexaminable:
            // Left exactly as it is, with the line a write refused at the
            // open would give.
            emitProgressLine(env.debugOutput(), ProgressOutcome::kFileCannotOpen, path);
            deployed = false;
            break;
          case InstalledCopy::kNone:
          case InstalledCopy::kShort:
            deployed = ResourceDeployer(env, path, step.blobId);
            break;
        }
        break;
    }
    allDeployed = allDeployed && deployed;
  }
  outcome_ = allDeployed ? InstallOutcome::kDeployed : InstallOutcome::kNotAllDeployed;
  return true;
}

}  // namespace app
