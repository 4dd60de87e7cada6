// Fuzz target: a whole device-series document read, written, read and
// written again, then merged into the product's payload and written.
//
// Properties: nothing crashes; a document that reads writes; what it writes
// reads again, and the second write is byte-identical to the first; the
// merge of the read record into the payload writes.
#include <cstddef>
#include <cstdint>
#include <string>

#include "devseries/device_series_io.h"
#include "fuzz/fuzz_support.h"
#include "update/media_merge.h"

namespace {

constexpr int kPayloadBlob = 131;  // Ostrand KM 300.dsr, the smallest
const std::string kInput = "C:\\Host\\input.dsr";
const std::string kFirst = "C:\\Host\\first.dsr";
const std::string kSecond = "C:\\Host\\second.dsr";
const std::string kPayload = "C:\\Host\\payload.dsr";
const std::string kMerged = "C:\\Host\\merged.dsr";

// Writes |record| to |to| after copying |from| there, so the written
// document keeps the version of |from|, as the update and dsrtool do.
bool writeOver(fuzz::MemoryHost& host, const std::string& from, const std::string& to,
               devseries::DeviceSeries& record) {
  host.files.put(to, host.files.content(from));
  devseries::DeviceSeriesIO2 io(to, host.env);
  return io.write(record);
}

// The payload as a record, read once.
const devseries::DeviceSeries& payloadRecord() {
  static const devseries::DeviceSeries record = [] {
    fuzz::MemoryHost host(kPayloadBlob, "");
    host.files.put(kPayload, fuzz::payloadBlob(kPayloadBlob));
    devseries::DeviceSeries read;
    devseries::DeviceSeriesIO2 io(kPayload, host.env);
    fuzz::check(io.read(read), "the payload reads");
    return read;
  }();
  return record;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const devseries::DeviceSeries& payload = payloadRecord();
  fuzz::MemoryHost host(kPayloadBlob, "");
  host.files.put(kInput, std::string(reinterpret_cast<const char*>(data), size));

  devseries::DeviceSeries installed;
  {
    devseries::DeviceSeriesIO2 io(kInput, host.env);
    if (!io.read(installed)) return 0;
  }
  fuzz::check(writeOver(host, kInput, kFirst, installed), "a document that reads writes");

  devseries::DeviceSeries again;
  {
    devseries::DeviceSeriesIO2 io(kFirst, host.env);
    fuzz::check(io.read(again), "a written document reads");
  }
  fuzz::check(writeOver(host, kFirst, kSecond, again), "a document read back writes");
  fuzz::check(host.files.content(kFirst) == host.files.content(kSecond),
              "the second write is identical to the first");

  devseries::DeviceSeries merged = payload;
  update::mergeRecords(again, merged);
  host.files.put(kPayload, fuzz::payloadBlob(kPayloadBlob));
  fuzz::check(writeOver(host, kPayload, kMerged, merged), "the merged document writes");
  return 0;
}
