#include "tools/dsrtool/documents.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "devseries/device_series_io.h"
#include "platform/file_io.h"
#include "tools/dsrtool/command.h"
#include "tools/dsrtool/options.h"
#include "update/versioned_write.h"

namespace dsrtool {

namespace {

// Where the element that fails the reading of |path| starts. The reading
// keeps no copy of the text to locate elements in, so a failed document is
// read once more, keeping it; line 0 when the place stays unknown.
xml::Finding placeOfFailure(const std::string& path, platform::Env& env) {
  std::vector<xml::Finding> passedOver;
  xml::Document document = xml::Document::create();
  document.collectFindings(&passedOver);
  if (!document.load(path, env.files())) return {};
  devseries::DeviceSeriesIO2 again(path, env);
  again.creator().hold(document);
  devseries::DeviceSeries record;
  return again.read(record) ? xml::Finding() : again.failurePlace();
}

}  // namespace

bool readDocument(const std::string& path, devseries::DeviceSeries& record, std::ostream& err,
                  platform::Env& env, std::string* version) {
  if (!checkInputFile(env.files(), path, err)) return false;
  devseries::DeviceSeriesIO2 io(path, env);
  if (io.read(record)) {
    if (version != nullptr) *version = io.foundVersion().toString();
    return true;
  }
  // A document that breaks at a known place is reported as compilers do:
  // "FILE:LINE:COLUMN: reason".
  const xml::LoadError& load = io.loadError();
  xml::Finding place{load.line, load.column, load.reason};
  if (load.reason.empty()) {
    place = placeOfFailure(path, env);
    place.message = io.lastError();
  }
  err << "dsrtool: " << path;
  if (place.line > 0) err << ":" << place.line << ":" << place.column;
  err << ": " << place.message << "\n";
  return false;
}

bool readWith(devseries::DeviceSeriesIO2& io, const std::string& path,
              devseries::DeviceSeries& record, std::ostream& err, std::string* version) {
  if (!io.read(record)) {
    const xml::LoadError& load = io.loadError();
    err << "dsrtool: " << path << ": " << (load.reason.empty() ? io.lastError() : load.reason)
        << "\n";
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
  std::string reason;
  const bool written = update::writeWithVersionOfCopy(
      env, temporary, record, [](const xml::FormatVersion&) { return true; }, &reason);
  const platform::Error moved = written ? files.moveFileReplace(temporary, path) : platform::kOk;
  if (!written || moved != platform::kOk) {
    // Ours: created exclusively above. The failure is reported either way.
    (void)files.deleteFile(temporary);
    if (moved != platform::kOk) reason = platform::describeError(moved);
    err << "dsrtool: " << path << ": cannot be written: " << reason << "\n";
    return kExitUnreadable;
  }
  return kExitOk;
}

int writeThenRename(platform::FileSystem& files, const std::string& path, std::string_view bytes,
                    std::ostream& err) {
  const std::string temporary = path + ".tmp";
  std::unique_ptr<platform::File> file;
  platform::Error error = platform::createNewFile(files, temporary, &file);
  if (error != platform::kOk) {
    err << "dsrtool: " << temporary << ": cannot be written: " << platform::describeError(error)
        << "\n";
    return kExitUnreadable;
  }
  error = platform::writeAll(*file, bytes);
  if (error == platform::kOk) error = file->flush();
  const platform::Error closed = file->close();
  if (error == platform::kOk) error = closed;
  if (error == platform::kOk) error = files.moveFileReplace(temporary, path);
  if (error != platform::kOk) {
    // Ours: created exclusively above. The failure is reported either way.
    (void)files.deleteFile(temporary);
    err << "dsrtool: " << path << ": cannot be written: " << platform::describeError(error) << "\n";
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
