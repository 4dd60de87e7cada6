// Shared set-up of the benchmarks: the payload documents and a scratch
// folder for the files the benchmarks write.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include <benchmark/benchmark.h>

#include "devseries/device_series_io.h"
#include "testsupport/scratch_dir.h"
#include "testsupport/test_env.h"

namespace bench {

// The payload document |name| in the source tree.
inline std::string payloadPath(const std::string& name) {
  return std::string(OKM_PAYLOAD_BLOBS) + "/" + name;
}

// The real file system, for documents by their native paths; no registry,
// and resources without strings (the standard language names).
inline platform::Env& nativeEnv() {
  static testsupport::TestEnv env("/");
  return env;
}

// The largest payload document.
inline const char* const kLargestPayload = "ostrand_km.dsr";

inline std::int64_t fileSize(const std::string& path) {
  return static_cast<std::int64_t>(std::filesystem::file_size(path));
}

// A folder below the system's temporary folder, made on first use and
// removed with everything in it when the program ends.
inline const testsupport::ScratchDir& scratchFolder() {
  static const testsupport::ScratchDir folder;
  return folder;
}

// Times DeviceSeriesIO::write of |record| to scratch file |name|, removed
// before each write so that no document stands there; the save ends with a
// flush to stable storage.
inline void writeToFreshPath(benchmark::State& state, devseries::DeviceSeries& record,
                             const std::string& name) {
  const std::string out = scratchFolder() / name;
  for (auto _ : state) {
    state.PauseTiming();
    std::filesystem::remove(out);
    state.ResumeTiming();
    devseries::DeviceSeriesIO io(out, nativeEnv());
    if (!io.write(record)) {
      state.SkipWithError("the document cannot be written");
      break;
    }
  }
  state.SetBytesProcessed(state.iterations() * fileSize(out));
}

}  // namespace bench
