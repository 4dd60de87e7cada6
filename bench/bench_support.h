// Shared set-up of the benchmarks: the payload documents and a scratch
// folder for the files the benchmarks write.
#pragma once

#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>

#include <benchmark/benchmark.h>

#include "devseries/device_series_io.h"

namespace okm::bench {

// The payload document |name| in the source tree.
inline std::string payloadPath(const std::string& name) {
  return std::string(OKM_PAYLOAD_BLOBS) + "/" + name;
}

// The largest payload document.
inline const char* const kLargestPayload = "ostrand_km.dsr";

inline std::int64_t fileSize(const std::string& path) {
  return static_cast<std::int64_t>(std::filesystem::file_size(path));
}

// A folder below the system's temporary folder, made on first use and
// removed with everything in it when the program ends.
class ScratchFolder {
 public:
  static ScratchFolder& instance() {
    static ScratchFolder folder;
    return folder;
  }

  // A path inside the folder (native, absolute).
  std::string path(const std::string& name) const { return (root_ / name).string(); }

  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

 private:
  ScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "okm_bench_XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("no scratch folder");
    root_ = pattern;
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }

  std::filesystem::path root_;
};

// Times DeviceSeriesIO::write of |record| to scratch file |name|, removed
// before each write so that no document stands there; the save ends with a
// flush to stable storage.
inline void writeToFreshPath(benchmark::State& state, devseries::DeviceSeries& record,
                             const std::string& name) {
  const std::string out = ScratchFolder::instance().path(name);
  for (auto _ : state) {
    state.PauseTiming();
    std::filesystem::remove(out);
    state.ResumeTiming();
    devseries::DeviceSeriesIO io(out);
    if (!io.write(record)) {
      state.SkipWithError("the document cannot be written");
      break;
    }
  }
  state.SetBytesProcessed(state.iterations() * fileSize(out));
}

}  // namespace okm::bench
