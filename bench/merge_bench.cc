// The media merge of an update whose installed document holds 1000 media of
// the user's own beside the payload's presets, and the read and write of the
// documents involved.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "bench/bench_support.h"
#include "devseries/device_series_io.h"
#include "update/media_merge.h"

namespace bench {
namespace {

constexpr int kUserMedia = 1000;

// The documents with the user media are about 58 MB; one pass over them
// takes most of a second, and the first one also grows the heap, so they
// get several passes whatever the command line asks.
constexpr double kLargeDocumentMinTime = 2.0;

// The records and files every merge benchmark starts from, made once.
struct MergeInputs {
  devseries::DeviceSeries payload;    // the new document as read
  devseries::DeviceSeries installed;  // the payload's media plus kUserMedia more
  devseries::DeviceSeries merged;     // payload after the merge
  std::string installedPath;
  std::string mergedPath;

  static const MergeInputs& get() {
    static const MergeInputs inputs;
    return inputs;
  }

 private:
  MergeInputs() {
    devseries::DeviceSeriesIO2(payloadPath(kLargestPayload), nativeEnv()).read(payload);
    installed = payload;
    const int presets = payload.aMediaInfoList.size();
    for (int i = 0; i < kUserMedia; ++i) {
      devseries::MediaInfo media = payload.aMediaInfoList[i % presets];
      for (std::string& name : media.strMediaName) name += " (user " + std::to_string(i) + ")";
      media.bVisibleMedia = i % 3 != 0;
      installed.aMediaInfoList.add(media);
    }
    merged = payload;
    update::mergeRecords(installed, merged);

    installedPath = scratchFolder() / "installed.dsr";
    mergedPath = scratchFolder() / "merged.dsr";
    devseries::DeviceSeries copy = installed;
    devseries::DeviceSeriesIO2(installedPath, nativeEnv()).write(copy);
    copy = merged;
    devseries::DeviceSeriesIO2(mergedPath, nativeEnv()).write(copy);
  }
};

void BM_CarryMedia(benchmark::State& state) {
  const MergeInputs& inputs = MergeInputs::get();
  for (auto _ : state) {
    state.PauseTiming();
    devseries::DeviceSeries updated = inputs.payload;
    state.ResumeTiming();
    benchmark::DoNotOptimize(update::mergeRecords(inputs.installed, updated));
    benchmark::DoNotOptimize(updated);
  }
  state.counters["media"] = static_cast<double>(inputs.installed.aMediaInfoList.size());
}
BENCHMARK(BM_CarryMedia)->Unit(benchmark::kMillisecond);

void readDocument(benchmark::State& state, const std::string& path) {
  for (auto _ : state) {
    devseries::DeviceSeriesIO2 io(path, nativeEnv());
    devseries::DeviceSeries record;
    if (!io.read(record)) {
      state.SkipWithError("the document does not read");
      break;
    }
    benchmark::DoNotOptimize(record);
  }
  state.SetBytesProcessed(state.iterations() * fileSize(path));
}

void BM_ReadInstalledWithUserMedia(benchmark::State& state) {
  readDocument(state, MergeInputs::get().installedPath);
}
BENCHMARK(BM_ReadInstalledWithUserMedia)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(kLargeDocumentMinTime);

void BM_ReadMerged(benchmark::State& state) { readDocument(state, MergeInputs::get().mergedPath); }
BENCHMARK(BM_ReadMerged)->Unit(benchmark::kMillisecond)->MinTime(kLargeDocumentMinTime);

// Writes the merged record to a path where no file exists.
void BM_WriteMerged(benchmark::State& state) {
  devseries::DeviceSeries record = MergeInputs::get().merged;
  writeToFreshPath(state, record, "merged_out.dsr");
}
BENCHMARK(BM_WriteMerged)->Unit(benchmark::kMillisecond)->MinTime(kLargeDocumentMinTime);

}  // namespace
}  // namespace bench
