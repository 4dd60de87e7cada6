// Reading and writing the largest payload document through the
// device-series layer, beside pugixml's own load_file and save_file of the
// same file, which bound what the DOM underneath can do.
#include <fcntl.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <filesystem>
#include <pugixml.hpp>
#include <string>

#include "bench/bench_support.h"
#include "devseries/device_series_io.h"

namespace bench {
namespace {

void BM_DeviceSeriesIO2Read(benchmark::State& state) {
  const std::string path = payloadPath(kLargestPayload);
  for (auto _ : state) {
    devseries::DeviceSeriesIO2 io(path, nativeEnv());
    devseries::DeviceSeries record;
    if (!io.read(record)) {
      state.SkipWithError("the payload document does not read");
      break;
    }
    benchmark::DoNotOptimize(record);
  }
  state.SetBytesProcessed(state.iterations() * fileSize(path));
}
BENCHMARK(BM_DeviceSeriesIO2Read)->Unit(benchmark::kMillisecond);

// Writes to a path where no file exists; the save ends with a flush to
// stable storage.
void BM_DeviceSeriesIOWriteFresh(benchmark::State& state) {
  devseries::DeviceSeries record;
  devseries::DeviceSeriesIO2(payloadPath(kLargestPayload), nativeEnv()).read(record);
  writeToFreshPath(state, record, "fresh.dsr");
}
BENCHMARK(BM_DeviceSeriesIOWriteFresh)->Unit(benchmark::kMillisecond);

// Writes over a document of the same size, as an update does: the writer
// first loads the document there to keep its version.
void BM_DeviceSeriesIOWriteOver(benchmark::State& state) {
  devseries::DeviceSeries record;
  devseries::DeviceSeriesIO2(payloadPath(kLargestPayload), nativeEnv()).read(record);
  const std::string out = scratchFolder() / "over.dsr";
  std::filesystem::copy_file(payloadPath(kLargestPayload), out,
                             std::filesystem::copy_options::overwrite_existing);
  for (auto _ : state) {
    devseries::DeviceSeriesIO io(out, nativeEnv());
    if (!io.write(record)) {
      state.SkipWithError("the document cannot be written");
      break;
    }
  }
  state.SetBytesProcessed(state.iterations() * fileSize(out));
}
BENCHMARK(BM_DeviceSeriesIOWriteOver)->Unit(benchmark::kMillisecond);

// What a write over an existing document spends before it builds anything:
// loading that document to learn its version.
void BM_DeviceSeriesIOPeekVersion(benchmark::State& state) {
  const std::string path = payloadPath(kLargestPayload);
  for (auto _ : state) {
    devseries::DeviceSeriesIO io(path, nativeEnv());
    io.peekVersion();
    benchmark::DoNotOptimize(io.getVersionCode());
  }
  state.SetBytesProcessed(state.iterations() * fileSize(path));
}
BENCHMARK(BM_DeviceSeriesIOPeekVersion)->Unit(benchmark::kMillisecond);

void BM_PugixmlLoadFile(benchmark::State& state) {
  const std::string path = payloadPath(kLargestPayload);
  for (auto _ : state) {
    pugi::xml_document document;
    if (!document.load_file(path.c_str())) {
      state.SkipWithError("pugixml cannot load the payload document");
      break;
    }
    benchmark::DoNotOptimize(document);
  }
  state.SetBytesProcessed(state.iterations() * fileSize(path));
}
BENCHMARK(BM_PugixmlLoadFile)->Unit(benchmark::kMillisecond);

// pugixml's save_file in the project's saved form; with |sync| the file is
// also flushed to stable storage, as the project's save does.
void pugixmlSave(benchmark::State& state, bool sync) {
  pugi::xml_document document;
  document.load_file(payloadPath(kLargestPayload).c_str());
  const std::string out = scratchFolder() / (sync ? "pugi_synced.dsr" : "pugi.dsr");
  for (auto _ : state) {
    if (!document.save_file(out.c_str(), "\t", pugi::format_indent, pugi::encoding_utf8)) {
      state.SkipWithError("pugixml cannot save");
      break;
    }
    if (sync) {
      const int fd = ::open(out.c_str(), O_WRONLY);
      if (fd < 0 || ::fsync(fd) != 0) state.SkipWithError("cannot flush");
      if (fd >= 0) ::close(fd);
    }
  }
  state.SetBytesProcessed(state.iterations() * fileSize(out));
}

void BM_PugixmlSaveFile(benchmark::State& state) { pugixmlSave(state, false); }
BENCHMARK(BM_PugixmlSaveFile)->Unit(benchmark::kMillisecond);

void BM_PugixmlSaveFileSynced(benchmark::State& state) { pugixmlSave(state, true); }
BENCHMARK(BM_PugixmlSaveFileSynced)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace bench
