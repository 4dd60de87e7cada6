#include "update/device_series_updater.h"

#include "devseries/device_series_io.h"
#include "update/media_merge.h"
#include "xml/format_version.h"

namespace update {

namespace {

// Removes whatever stands at |path|, a link included (never its target), so
// that the file made there next is our own.
void removeStale(platform::FileSystem& files, const std::string& path) { files.deleteFile(path); }

}  // namespace

bool DeviceSeriesUpdater(platform::Env& env, const BlobWriter& writeBlob,
                         const std::string& installedPath, int blobId) {
  platform::FileSystem& files = env.files();
  const std::string& p = installedPath;
  const std::string t = p + ".tmp";
  const std::string o = p + ".out";

  // Only a search that positively finds no file sends the payload straight
  // to P; a search that fails otherwise (a folder that cannot be listed, an
  // I/O error) says nothing about P, which then goes the merge's way so the
  // user's file is never overwritten unseen.
  const platform::Error search = files.findExactName(p);
  if (search == platform::kFileNotFound || search == platform::kPathNotFound) {
    writeBlob(p, blobId);
    return true;
  }

  devseries::DeviceSeries installed;
  {
    devseries::DeviceSeriesIO2 io(p, env);
    if (!io.loadDocument()) {
      // The installed file is not XML and is replaced; its bytes are kept
      // beside it first so the user can still recover them. Without that
      // copy nothing is replaced.
      const std::string backup = p + ".bak";
      removeStale(files, backup);
      if (files.copyFile(p, backup, /*failIfExists=*/true) != platform::kOk) return true;
      writeBlob(p, blobId);
      return true;
    }
    // A document that loads but is not a readable device-series document
    // is left exactly as it is.
    if (!io.read(installed)) return true;
  }

  removeStale(files, t);
  removeStale(files, o);
  writeBlob(t, blobId);

  devseries::DeviceSeries updated;
  xml::FormatVersion newVersion;
  {
    devseries::DeviceSeriesIO2 io(t, env);
    if (!io.read(updated)) return true;
    newVersion = io.foundVersion();
  }

  // The merged document takes its version from the file at O, so O must be
  // a copy of the new payload; without it the update stops.
  if (files.copyFile(t, o, /*failIfExists=*/true) != platform::kOk) {
    files.deleteFile(t);
    files.deleteFile(o);
    return true;
  }

  carryMedia(installed, updated);
  trimCalibrationLists(updated);

  bool written = false;
  {
    devseries::DeviceSeriesIO2 io(o, env);
    // The writer takes the version of the document it finds at O. A copy
    // that cannot be read back would leave it the class version, so the
    // version is checked first; the write then reuses the loaded document.
    io.peekVersion();
    written = io.foundVersion() == newVersion && io.write(updated);
  }
  files.deleteFile(t);
  if (!written) {
    // O holds only the new payload: moving it over P would lose the user's
    // media. P keeps the user's file.
    files.deleteFile(o);
    return true;
  }

  if (files.moveFileReplace(o, p) == platform::kOk) files.syncParentDirectory(p);
  return true;
}

}  // namespace update
