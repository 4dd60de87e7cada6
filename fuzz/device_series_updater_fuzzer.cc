// Fuzz target: the device-series update with the input as the installed
// file, on an in-memory file system.
//
// Properties: nothing crashes; afterwards the installed file is unchanged,
// or a readable merged document, or the new payload with the old bytes kept
// beside it as ".bak"; no ".tmp" or ".out" file is left.
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/resource_deployer.h"
#include "devseries/device_series_io.h"
#include "fuzz/fuzz_support.h"
#include "testsupport/hosts/records.h"
#include "update/device_series_updater.h"

namespace {

constexpr int kBlobId = 131;
const std::string kInstalled = "C:\\Host\\Rastella\\Device\\Ostrand KM 300.dsr";

bool endsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() &&
         text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// A small new document written by the library: one model, a separation of
// four input channels and two media, so each run is quick.
const std::string& newDocument() {
  static const std::string bytes = [] {
    const devseries::DeviceSeries record =
        testsupport::series({testsupport::media("Paper", true), testsupport::media("Vinyl", true)});
    fuzz::MemoryHost host(kBlobId, "");
    devseries::DeviceSeriesIO2 io("C:\\new.dsr", host.env);
    fuzz::check(io.write(record), "the new document writes");
    return host.files.content("C:\\new.dsr");
  }();
  return bytes;
}

bool readsAsDeviceSeries(fuzz::MemoryHost& host, const std::string& path) {
  devseries::DeviceSeries record;
  devseries::DeviceSeriesIO2 io(path, host.env);
  return io.read(record);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string installed(reinterpret_cast<const char*>(data), size);
  fuzz::MemoryHost host(kBlobId, newDocument());
  host.files.put(kInstalled, installed);

  // Written as the installer writes them: exclusively, reported under P.
  const update::BlobWriter writeBlob = [&host](const std::string& filePath,
                                               const std::string& reportedPath, int id) {
    return app::deployResourceToNewFile(host.env, filePath, reportedPath, id);
  };
  update::DeviceSeriesUpdater(host.env, writeBlob, kInstalled, kBlobId);

  for (const std::string& path : host.files.paths()) {
    fuzz::check(!endsWith(path, ".tmp") && !endsWith(path, ".out"), "no temporary file is left");
  }
  const std::string after = host.files.content(kInstalled);
  const bool unchanged = after == installed;
  const bool replacedWithBackup = after == newDocument() &&
                                  host.files.exists(kInstalled + ".bak") &&
                                  host.files.content(kInstalled + ".bak") == installed;
  fuzz::check(unchanged || replacedWithBackup || readsAsDeviceSeries(host, kInstalled),
              "the installed file is unchanged, merged, or replaced with a backup");
  return 0;
}
