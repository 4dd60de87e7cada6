#include "tools/payloadgen/device_series_docs.h"

#include <stdexcept>
#include <string>

#include "devseries/device_series_io.h"
#include "platform/error.h"
#include "tools/payloadgen/dsr_charts.h"
#include "tools/payloadgen/dsr_commands.h"
#include "tools/payloadgen/dsr_inks.h"
#include "tools/payloadgen/dsr_media.h"
#include "tools/payloadgen/dsr_model.h"
#include "tools/payloadgen/dsr_modes.h"
#include "tools/payloadgen/dsr_separations.h"
#include "tools/payloadgen/dsr_translations.h"

namespace {

// The system's device-series writer, claiming the payload's format version:
// a new file's root carries the writer class's own version.
class PayloadSeriesIO : public devseries::DeviceSeriesIO {
 public:
  PayloadSeriesIO(const std::string& fileName, platform::Env& env)
      : xml::ICommonIO(fileName, env), DeviceSeriesIO(fileName, env) {}

  xml::FormatVersion& getVersion(xml::FormatVersion& out) const override {
    out = xml::FormatVersion::parse(kPayloadFormatVersion);
    return out;
  }
};

}  // namespace

devseries::DeviceSeries deviceSeries(const dsr::Variant& v) {
  devseries::DeviceSeries series;
  series.aModelInfoList.add(dsr::modelInfo(v));
  series.aInkInfoList = dsr::inkInfos();
  series.aInkConfigInfoList.add(dsr::inkConfigInfo(v));
  series.aResolutionInfoList = dsr::resolutionInfos();
  series.aModeInfoList = dsr::modeInfos();
  series.aSeparationInfoList = dsr::separationInfos(v);
  series.aVControlPointList = dsr::vControlPoints(v);
  series.aPatternInfoList = dsr::patternInfos();
  series.commandSet = dsr::commandSet(v);
  series.aMediaInfoList = dsr::mediaInfos(v);
  series.aPrintChartFileInfoSetList = dsr::printChartFileInfoSets();
  series.aInkVolumeInfoList = dsr::inkVolumeInfos(v);
  series.strFirmwareDownloadURL = dsr::firmwareDownloadUrl();
  return series;
}

void writeDeviceSeriesDocuments(const std::string& outDir, platform::Env& env) {
  for (const dsr::Variant& v : dsr::kVariants) {
    const std::string path = outDir + "/" + v.fileName;
    // A file already there would lend the new one its version.
    const platform::Error removed = env.files().deleteFile(path);
    if (removed != platform::kOk && removed != platform::kFileNotFound) {
      throw std::runtime_error("cannot replace " + path + ": " + platform::describeError(removed));
    }
    PayloadSeriesIO io(path, env);
    if (!io.write(deviceSeries(v), platform::Disposition::kCreateNew)) {
      throw std::runtime_error("cannot write " + path + ": " + io.lastError());
    }
  }
}
