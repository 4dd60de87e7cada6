#include "update/device_series_updater.h"

#include "devseries/device_series_io.h"
#include "update/kept_output.h"
#include "update/media_merge.h"
#include "update/update_files.h"
#include "update/versioned_write.h"
#include "xml/format_version.h"

namespace update {

namespace {

// P is not XML: its bytes are kept under a backup name of their own, then
// the payload is written to T and moved over P. Without the backup P stays.
// True when P now holds the payload.
bool replaceUnreadable(platform::Env& env, const BlobWriter& writeBlob, const std::string& p,
                       const std::string& t, int blobId) {
  platform::FileSystem& files = env.files();
  std::uint32_t attributes = 0;
  if (files.getAttributes(p, &attributes) == platform::kOk &&
      (attributes & platform::kAttrReadOnly) != 0) {
    // P cannot be replaced. An exclusive write at P fails untouched and
    // gives P's "file cannot opened" line, as a direct write would.
    return writeBlob(p, p, blobId);
  }
  const std::string backup = keepBackup(files, p);
  if (backup.empty()) return false;
  removeLeftover(files, t);
  if (writeBlob(t, p, blobId)) {
    if (files.moveFileReplace(t, p) == platform::kOk) {
      // P is replaced in one step; a folder flush that fails leaves it old
      // or new after a crash, never partial, so the run stands.
      (void)files.syncParentDirectory(p);
      return true;
    }
    // A temporary of ours; one that stays is removed by the next run.
    (void)files.deleteFile(t);
  }
  // P still holds its bytes; the copy just made of them is not needed, and
  // one that cannot be removed is only a spare copy of P.
  (void)files.deleteFile(backup);
  return false;
}

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
    return writeBlob(p, p, blobId);
  }

  // One update in a folder at a time: a second run, a double-click or a
  // deployment tool starting the installer again, waits here, then reads
  // and merges the file the first one left. Without the lock the update
  // does not start: an exclusive write at P fails untouched and gives P's
  // "file cannot opened" line, as for a P that cannot be replaced.
  std::unique_ptr<platform::FolderLock> lock;
  if (files.lockFolder(p, &lock) != platform::kOk) {
    // The exclusive write fails, so P is not deployed.
    return writeBlob(p, p, blobId);
  }

  devseries::DeviceSeries installed;
  {
    devseries::DeviceSeriesIO2 io(p, env);
    if (!io.loadDocument()) {
      // Only content that is not XML is replaced. A file that could not be
      // read this time (an I/O error, a lock taken meanwhile) may well hold
      // the user's media and is left as it is.
      return !io.creator().loadError().unreadable &&
             replaceUnreadable(env, writeBlob, p, t, blobId);
    }
    // A document that loads but is not a readable device-series document
    // is left exactly as it is.
    if (!io.read(installed)) return false;
  }

  removeLeftover(files, t);
  removeLeftover(files, o);
  // A T that cannot be made anew stops the update: whatever stands there is
  // not the new payload.
  if (!writeBlob(t, t, blobId)) return false;

  devseries::DeviceSeries updated;
  xml::FormatVersion newVersion;
  bool readable = false;
  {
    devseries::DeviceSeriesIO2 io(t, env);
    readable = io.read(updated);
    newVersion = io.foundVersion();
  }

  // The merged document takes its version from the file at O, so O must be
  // a copy of the new payload; without it the update stops. The copy
  // creates O exclusively; whatever still stands at that name of ours
  // after a failure (a link that could not be removed before) goes, never
  // what it points to.
  if (!readable || files.copyFile(t, o, /*failIfExists=*/true) != platform::kOk) {
    // Temporaries of ours; what stays is removed by the next run.
    (void)files.deleteFile(t);
    if (readable) (void)files.deleteFile(o);
    return false;
  }

  mergeRecords(installed, updated);

  bool written = false;
  // The writer's file at O stays open until it is renamed over P, so only
  // what this run wrote can land there.
  KeptOutput output(env, o);
  // O is read back whole and compared with T, the new payload just read: a
  // copy that went wrong or was replaced meanwhile never lends the merged
  // document its version.
  written = writeWithVersionOfCopy(
      output.env(), o, updated,
      [&](const xml::FormatVersion& found) {
        return found == newVersion && sameContent(files, t, o);
      },
      nullptr);
  // A temporary of ours; one that stays is removed by the next run.
  (void)files.deleteFile(t);
  // Without the merged document, O holds at most the new payload: moving it
  // over P would lose the user's media. P keeps the user's file.
  if (written && output.moveOver(p) == platform::kOk) {
    // P is replaced in one step; a folder flush that fails leaves it old
    // or new after a crash, never partial, so the run stands.
    (void)files.syncParentDirectory(p);
    return true;
  }
  output.release();
  // Another temporary of ours, removed by the next run when it stays.
  (void)files.deleteFile(o);
  return false;
}

}  // namespace update
