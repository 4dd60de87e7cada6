#include "tools/dsrtool/payload_documents.h"

#include <algorithm>
#include <string_view>

#include "app/payload_table.h"
#include "devseries/device_series_io.h"
#include "tools/dsrtool/documents.h"

namespace dsrtool {

namespace {

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool sameNameIgnoringCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](char x, char y) { return lowerAscii(x) == lowerAscii(y); });
}

}  // namespace

int payloadDocumentBlob(platform::Resources& resources, const std::string& path) {
  const std::size_t slash = path.find_last_of("/\\");
  const std::string_view name = slash == std::string::npos
                                    ? std::string_view(path)
                                    : std::string_view(path).substr(slash + 1);
  for (const app::PayloadStep& step : app::payloadTable()) {
    if (step.kind != app::PayloadKind::kDeviceSeries) continue;
    std::string target;
    if (resources.loadString(step.nameStringId, &target) && sameNameIgnoringCase(name, target)) {
      return step.blobId;
    }
  }
  return 0;
}

bool readPayloadDocument(platform::Env& env, int blobId, devseries::DeviceSeries& record,
                         std::ostream& err) {
  platform::Resources& resources = env.resources();
  const std::uint8_t* data = resources.blobData(blobId);
  const std::string name = "payload document " + std::to_string(blobId);
  if (data == nullptr) {
    err << "dsrtool: " << name << ": missing from this program\n";
    return false;
  }
  xml::Document document = xml::Document::create();
  if (!document.loadXML(
          std::string_view(reinterpret_cast<const char*>(data), resources.blobSize(blobId)))) {
    err << "dsrtool: " << name << ": " << document.loadError().reason << "\n";
    return false;
  }
  devseries::DeviceSeriesIO2 io(name, env);
  io.creator().hold(document);
  return readWith(io, name, record, err);
}

}  // namespace dsrtool
