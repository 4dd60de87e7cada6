// Updating an installed device-series file with a new payload document.
#pragma once

#include <functional>
#include <string>

#include "platform/env.h"

namespace update {

// Writes payload blob |blobId| to |targetPath| and reports it with one
// progress line; true when the whole blob was written. The installer passes
// its ResourceDeployer, so this layer does not depend on the application.
using BlobWriter = std::function<bool(const std::string& targetPath, int blobId)>;

// Replaces the installed device-series file |installedPath| with payload blob
// |blobId| while keeping the user's own media and visibility choices.
// Always returns true; every outcome shows only in the files and in the
// progress lines written through |writeBlob|.
bool DeviceSeriesUpdater(platform::Env& env, const BlobWriter& writeBlob,
                         const std::string& installedPath, int blobId);

}  // namespace update
