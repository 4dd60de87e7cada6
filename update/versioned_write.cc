#include "update/versioned_write.h"

#include "devseries/device_series_io.h"

namespace update {

bool writeWithVersionOfCopy(platform::Env& env, const std::string& copyPath,
                            const devseries::DeviceSeries& record,
                            const std::function<bool(const xml::FormatVersion&)>& trustCopy,
                            std::string* reason) {
  devseries::DeviceSeriesIO2 io(copyPath, env);
  io.peekVersion();
  if (!trustCopy(io.foundVersion())) {
    if (reason != nullptr) *reason = "the copy that carries the version is not the one made";
    return false;
  }
  const platform::Error deleted = env.files().deleteFile(copyPath);
  if (deleted != platform::kOk) {
    if (reason != nullptr) *reason = platform::describeError(deleted);
    return false;
  }
  if (io.write(record, platform::Disposition::kCreateNew)) return true;
  if (reason != nullptr) *reason = io.lastError();
  return false;
}

}  // namespace update
