#include "tools/dsrtool/verify.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <string_view>
#include <utility>

#include "app/host_records.h"
#include "devseries/device_series_io.h"
#include "platform/file_io.h"
#include "update/media_merge.h"
#include "update/update_files.h"

namespace dsrtool {
namespace {

using platform::Error;

// A file held in memory, for reading only.
class HeldFile : public platform::File {
 public:
  explicit HeldFile(std::string_view bytes) : bytes_(bytes) {}

  Error read(void* buffer, std::uint32_t n, std::uint32_t* bytesRead) override {
    const std::size_t count = std::min<std::size_t>(n, bytes_.size() - position_);
    std::memcpy(buffer, bytes_.data() + position_, count);
    position_ += count;
    *bytesRead = static_cast<std::uint32_t>(count);
    return platform::kOk;
  }
  Error write(const void*, std::uint32_t, std::uint32_t* bytesWritten) override {
    *bytesWritten = 0;
    return platform::kAccessDenied;
  }
  Error flush() override { return platform::kOk; }
  Error close() override { return platform::kOk; }
  Error moveReplace(const std::string&) override { return platform::kAccessDenied; }

 private:
  std::string_view bytes_;
  std::size_t position_ = 0;
};

// Files already read into memory, served for reading only: a document is
// parsed from the very bytes that were compared with the payload, and a
// payload document from the tool's own resources, without a file of its
// own. Everything that would change a file is refused.
class HeldFiles : public platform::FileSystem {
 public:
  void hold(const std::string& path, std::string_view bytes) { files_[path] = bytes; }

  Error open(const std::string& path, const platform::OpenOptions& options,
             std::unique_ptr<platform::File>* file) override {
    if (options.access != platform::Access::kRead ||
        options.disposition != platform::Disposition::kOpenExisting) {
      return platform::kAccessDenied;
    }
    const auto held = files_.find(path);
    if (held == files_.end()) return platform::kFileNotFound;
    *file = std::make_unique<HeldFile>(held->second);
    return platform::kOk;
  }
  Error getAttributes(const std::string& path, std::uint32_t* attributes) override {
    if (!files_.contains(path)) return platform::kFileNotFound;
    *attributes = platform::kAttrReadOnly;
    return platform::kOk;
  }
  Error findExactName(const std::string& path) override {
    return files_.contains(path) ? platform::kOk : platform::kFileNotFound;
  }
  Error createDirectory(const std::string&) override { return platform::kAccessDenied; }
  Error deleteFile(const std::string&) override { return platform::kAccessDenied; }
  Error copyFile(const std::string&, const std::string&, bool) override {
    return platform::kAccessDenied;
  }
  Error moveFileReplace(const std::string&, const std::string&) override {
    return platform::kAccessDenied;
  }
  Error syncParentDirectory(const std::string&) override { return platform::kAccessDenied; }
  Error lockFolder(const std::string&, std::unique_ptr<platform::FolderLock>*) override {
    return platform::kAccessDenied;
  }

 private:
  std::map<std::string, std::string_view> files_;
};

// |outer| with HeldFiles in place of its file system.
class HeldEnv : public platform::Env {
 public:
  explicit HeldEnv(platform::Env& outer) : outer_(outer) {}
  platform::Registry& registry() override { return outer_.registry(); }
  platform::FileSystem& files() override { return files_; }
  platform::DebugOutput& debugOutput() override { return outer_.debugOutput(); }
  platform::Resources& resources() override { return outer_.resources(); }
  HeldFiles& held() { return files_; }

 private:
  platform::Env& outer_;
  HeldFiles files_;
};

std::string_view blobBytes(platform::Resources& resources, int blobId) {
  const std::uint8_t* data = resources.hasBlob(blobId) ? resources.blobData(blobId) : nullptr;
  if (data == nullptr) return {};
  return {reinterpret_cast<const char*>(data), resources.blobSize(blobId)};
}

bool isMissing(Error error) {
  return error == platform::kFileNotFound || error == platform::kPathNotFound;
}

void checkFolder(platform::FileSystem& files, TargetCheck& target) {
  std::uint32_t attributes = 0;
  const Error error = files.getAttributes(target.path, &attributes);
  if (isMissing(error)) {
    target.state = TargetState::kMissing;
  } else if (error != platform::kOk) {
    target.state = TargetState::kModified;
    target.reason = platform::describeError(error);
  } else if ((attributes & platform::kAttrDirectory) == 0) {
    target.state = TargetState::kModified;
    target.reason = "not a folder";
  } else {
    target.state = TargetState::kOk;
  }
}

// A device-series document that is not the payload byte for byte: merged
// when it reads with the payload's version and the update's merge with the
// payload gives it back unchanged.
void checkDeviceSeries(platform::Env& env, const std::string& bytes, int blobId,
                       TargetCheck& target) {
  HeldEnv held(env);
  const std::string_view payload = blobBytes(env.resources(), blobId);
  const std::string payloadName = "payload blob " + std::to_string(blobId);
  held.held().hold(target.path, bytes);
  held.held().hold(payloadName, payload);
  devseries::DeviceSeries installed;
  devseries::DeviceSeriesIO2 reader(target.path, held);
  if (!reader.read(installed)) {
    target.state = TargetState::kUnreadable;
    const xml::LoadError& load = reader.loadError();
    target.reason = load.line > 0 ? load.reason : reader.lastError();
    target.line = load.line;
    target.column = load.column;
    return;
  }
  devseries::DeviceSeries merged;
  devseries::DeviceSeriesIO2 payloadReader(payloadName, held);
  if (!payloadReader.read(merged)) {
    target.state = TargetState::kUnreadable;
    target.reason = "the payload document does not read: " + payloadReader.lastError();
    return;
  }
  const std::vector<update::CarriedMedia> carried = update::mergeRecords(installed, merged);
  target.userMedia = static_cast<int>(std::count_if(
      carried.begin(), carried.end(), [](const update::CarriedMedia& c) { return !c.matched; }));
  const bool sameVersion = reader.foundVersion() == payloadReader.foundVersion();
  target.state =
      sameVersion && merged == installed ? TargetState::kMerged : TargetState::kOutOfDate;
  if (!sameVersion) {
    target.reason = "version " + reader.foundVersion().toString() + ", the payload's " +
                    payloadReader.foundVersion().toString();
  }
}

void checkFile(platform::Env& env, const app::PayloadStep& step, TargetCheck& target) {
  const bool series = step.kind == app::PayloadKind::kDeviceSeries;
  std::string bytes;
  const Error error =
      platform::readFileToString(env.files(), target.path, &bytes, /*followLinks=*/false);
  if (isMissing(error)) {
    target.state = TargetState::kMissing;
    return;
  }
  if (error != platform::kOk) {
    target.state = series ? TargetState::kUnreadable : TargetState::kModified;
    target.reason = "cannot be read: " + platform::describeError(error);
    return;
  }
  const std::string_view payload = blobBytes(env.resources(), step.blobId);
  if (bytes == payload) {
    target.state = TargetState::kOk;
    if (series) target.userMedia = 0;
  } else if (series) {
    checkDeviceSeries(env, bytes, step.blobId, target);
  } else {
    target.state = TargetState::kModified;
  }
}

void findLeftovers(platform::FileSystem& files, const TargetCheck& target,
                   std::vector<std::string>& leftovers) {
  std::vector<std::string> names = {target.path + ".tmp", target.path + ".out"};
  if (target.kind == app::PayloadKind::kDeviceSeries) {
    for (int i = 0; i < update::kBackupNames; ++i) {
      names.push_back(update::backupName(target.path, i));
    }
  }
  for (const std::string& name : names) {
    if (files.findExactName(name) == platform::kOk) leftovers.push_back(name);
  }
}

}  // namespace

const char* stateName(TargetState state) {
  switch (state) {
    case TargetState::kOk:
      return "ok";
    case TargetState::kMissing:
      return "missing";
    case TargetState::kModified:
      return "modified";
    case TargetState::kMerged:
      return "merged";
    case TargetState::kOutOfDate:
      return "out of date";
    case TargetState::kUnreadable:
      return "unreadable";
  }
  return "?";
}

bool InstallationCheck::intact() const {
  return std::all_of(targets.begin(), targets.end(), [](const TargetCheck& target) {
    return target.state == TargetState::kOk || target.state == TargetState::kMerged;
  });
}

InstallationCheck checkInstallation(platform::Env& env, const std::string& installFolder) {
  InstallationCheck check;
  for (const app::PayloadStep& step : app::payloadTable()) {
    TargetCheck target;
    target.step = step.step;
    target.kind = step.kind;
    if (!app::buildTargetPath(env.resources(), installFolder, step, &target.path)) {
      // The tool's own string table lacks the name: nothing to compare.
      target.state = TargetState::kModified;
      target.reason = "the target's name is not in the payload";
    } else if (step.action == app::PayloadAction::kCreateFolder) {
      checkFolder(env.files(), target);
    } else {
      checkFile(env, step, target);
      findLeftovers(env.files(), target, check.leftovers);
    }
    check.targets.push_back(std::move(target));
  }
  return check;
}

}  // namespace dsrtool
