#include "tools/dsrtool/documents.h"

#include "devseries/device_series_io.h"
#include "tools/dsrtool/command.h"

namespace dsrtool {

bool readDocument(const std::string& path, devseries::DeviceSeries& record, std::ostream& err,
                  platform::Env& env, std::string* version) {
  std::uint32_t attributes = 0;
  if (env.files().getAttributes(path, &attributes) != platform::kOk) {
    err << "dsrtool: " << path << ": no such file\n";
    return false;
  }
  devseries::DeviceSeriesIO2 io(path, env);
  if (!io.read(record)) {
    // A document that breaks at a known place is reported as compilers do:
    // "FILE:LINE:COLUMN: reason".
    const xml::LoadError& load = io.loadError();
    if (load.line > 0) {
      err << "dsrtool: " << path << ":" << load.line << ":" << load.column << ": " << load.reason
          << "\n";
    } else {
      err << "dsrtool: " << path << ": " << io.lastError() << "\n";
    }
    return false;
  }
  if (version != nullptr) *version = io.foundVersion().toString();
  return true;
}

int copyThenWrite(const std::string& versionSource, const std::string& path,
                  devseries::DeviceSeries& record, std::ostream& err, platform::Env& env) {
  devseries::fitFeedCalibrationLists(record);
  platform::FileSystem& files = env.files();
  const std::string temporary = path + ".tmp";
  // The copy carries the version; it is created exclusively, never over a
  // file of someone else's.
  const platform::Error copied = files.copyFile(versionSource, temporary, true);
  if (copied != platform::kOk) {
    err << "dsrtool: " << temporary << ": cannot be written: " << platform::describeError(copied)
        << "\n";
    return kExitUnreadable;
  }
  bool written = false;
  std::string reason;
  {
    devseries::DeviceSeriesIO2 io(temporary, env);
    // The version is read from the copy, which is then made anew for the
    // document, never written through whatever may have replaced it.
    io.peekVersion();
    const platform::Error deleted = files.deleteFile(temporary);
    if (deleted != platform::kOk) {
      reason = platform::describeError(deleted);
    } else {
      written = io.write(record, platform::Disposition::kCreateNew);
      if (!written) reason = io.lastError();
    }
  }
  const platform::Error moved = written ? files.moveFileReplace(temporary, path) : platform::kOk;
  if (!written || moved != platform::kOk) {
    files.deleteFile(temporary);
    if (moved != platform::kOk) reason = platform::describeError(moved);
    err << "dsrtool: " << path << ": cannot be written: " << reason << "\n";
    return kExitUnreadable;
  }
  return kExitOk;
}

bool sameFile(platform::FileSystem& files, const std::string& out, const std::string& input) {
  if (out == input) return true;
  platform::FileIdentity outId;
  platform::FileIdentity inputId;
  return files.identity(out, &outId) == platform::kOk &&
         files.identity(input, &inputId) == platform::kOk && outId == inputId;
}

}  // namespace dsrtool
