#include "testsupport/hosts/second_run_host.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <system_error>

#include "app/ostrand_km_app.h"
#include "app/progress_log.h"
#include "devseries/device_series_io.h"
#include "testsupport/hosts/app_host.h"
#include "testsupport/hosts/records.h"
#include "testsupport/scratch_dir.h"

namespace testsupport {
namespace {

namespace fs = std::filesystem;
using testsupport::ScratchDir;

const int kDeviceSeriesBlobs[] = {130, 131, 132, 133};

std::string utf8(const fs::path& path) {
  const std::u8string text = path.generic_u8string();
  return {text.begin(), text.end()};
}

fs::path native(const std::string& path) {
  return fs::path(std::u8string(path.begin(), path.end()));
}

// A small device-series document for blob |blobId|: one model named after
// the blob, a separation of four input channels and three media.
std::string deviceSeriesDocument(int blobId, const std::string& scratchFile) {
  using testsupport::media;
  devseries::DeviceSeries record = testsupport::series(
      {media("Generic Paper", true), media("Generic PVC", true), media("Generic Banner", true)});
  record.aModelInfoList[0].strLongModelName = "Ostrand model " + std::to_string(blobId);
  testsupport::TestEnv env(scratchFile);
  devseries::DeviceSeriesIO2 io(scratchFile, env);
  if (!io.write(record)) throw std::runtime_error("cannot write " + scratchFile);
  std::string bytes = ScratchDir::read(scratchFile);
  fs::remove(native(scratchFile));
  return bytes;
}

}  // namespace

const std::vector<std::string> kDeviceSeriesFiles = {"Ostrand KM 300.dsr", "Ostrand KM LX.dsr",
                                                     "Ostrand KM 300 LX.dsr", "Ostrand KM.dsr"};

void preferMemoryBackedScratch() {
#ifndef _WIN32
  std::error_code error;
  if (fs::is_directory("/dev/shm", error)) setenv("TMPDIR", "/dev/shm", 1);
#endif
}

Tree snapshot(const std::string& root) {
  Tree tree;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(native(root))) {
    const std::string relative = utf8(fs::relative(entry.path(), native(root)));
    tree[relative] = entry.is_directory() ? kFolder : ScratchDir::read(utf8(entry.path()));
  }
  return tree;
}

void restore(const std::string& root, const Tree& tree) {
  fs::remove_all(native(root));
  fs::create_directories(native(root));
  for (const auto& [relative, bytes] : tree) {
    const fs::path path = native(root) / native(relative);
    if (bytes == kFolder) {
      fs::create_directories(path);
    } else {
      fs::create_directories(path.parent_path());
      ScratchDir::overwrite(utf8(path), bytes);
    }
  }
}

std::vector<std::string> temporaryFiles(const Tree& tree) {
  std::vector<std::string> found;
  for (const auto& entry : tree) {
    const std::string& path = entry.first;
    if (path.ends_with(".tmp") || path.ends_with(".out")) found.push_back(path);
  }
  return found;
}

void prepareEnv(testsupport::TestEnv& env, const std::string& hostFolder) {
  testsupport::registerHost(env.fakeRegistry(), testsupport::windowsPathOf(hostFolder) + "\\");
  testsupport::addPayloadStrings(env.fakeResources());
  testsupport::addSmallBlobs(env.fakeResources());
  for (int blobId : kDeviceSeriesBlobs) {
    env.fakeResources().addBlob(blobId, deviceSeriesDocument(blobId, hostFolder + ".blob.xml"));
  }
}

void runInstaller(platform::Env& env) {
  app::COstrandKMApp installer(env);
  installer.InitInstance();
}

void makeHostAfterFirstRun(const std::string& hostFolder) {
  fs::create_directories(native(hostFolder + "/Rastella/Device"));
  fs::create_directories(native(hostFolder + "/Profiles"));
  testsupport::TestEnv env(hostFolder);
  prepareEnv(env, hostFolder);
  runInstaller(env);

  for (const std::string& name : kDeviceSeriesFiles) {
    const std::string path = hostFolder + "/Rastella/Device/" + name;
    devseries::DeviceSeries record;
    devseries::DeviceSeriesIO2 reader(path, env);
    if (!reader.read(record)) throw std::runtime_error("cannot read " + path);
    testsupport::addUserMediaAndHidePreset(record);
    devseries::DeviceSeriesIO2 writer(path, env);
    if (!writer.write(record)) throw std::runtime_error("cannot write " + path);
  }
}

}  // namespace testsupport
