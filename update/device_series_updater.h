// Updating an installed device-series file with a new payload document.
#pragma once

#include <functional>
#include <string>

#include "platform/env.h"

namespace update {

// Writes payload blob |blobId| to the new file |filePath|, created
// exclusively (anything at that name, a link included, fails the write
// untouched) and flushed before it is closed, and reports it with one
// progress line naming |reportedPath|; true when the whole blob was
// written. A failed write leaves nothing at |filePath|. The installer
// passes its ResourceDeployer, so this layer does not depend on the
// application.
using BlobWriter =
    std::function<bool(const std::string& filePath, const std::string& reportedPath, int blobId)>;

// Replaces the installed device-series file |installedPath| (P) with payload
// blob |blobId| while keeping the user's own media and visibility choices.
//
// The new document goes to P.tmp (T), is copied to P.out (O), whose version
// the merged document takes, and the merge is written to O anew and moved
// over P. A P that is not XML is kept under the first free backup name
// (P.bak, P.1.bak, ...) and replaced by the payload, which is written to T
// and moved over P. Every file is created exclusively and flushed before it
// replaces P; the folder is synced after. Whatever the outcome, no T or O
// made by the call remains, and P is either untouched or wholly replaced.
// Leftovers of an earlier run at T and O are removed first (read-only ones
// too: those names are the update's own).
//
// Updates of files in one folder never interleave: an installed P is
// updated under the folder's lock (FileSystem::lockFolder), so a run that
// starts while another updates P waits, then merges the file the other
// left. The merged document is moved over P through the handle that wrote
// it (File::moveReplace): a file another program put at O meanwhile is
// never moved. Without the lock P is left as it is, with its "file cannot
// opened" line from an exclusive write at P.
//
// Returns true when P afterwards holds the new payload or its merge with
// the installed document (written, merged, or replaced after its backup
// was kept); false when P was left as it was or no file could be written
// there. The progress lines are written through |writeBlob| only.
bool DeviceSeriesUpdater(platform::Env& env, const BlobWriter& writeBlob,
                         const std::string& installedPath, int blobId);

}  // namespace update
