// Writing one payload blob to one file, with its progress line.
#pragma once

#include <string>

#include "platform/env.h"

namespace app {

// Writes payload blob |blobId| (type "BIN") of |env|'s resources to
// |targetPath| and emits exactly one progress line for the outcome. Returns
// true only when the whole blob was written and the file closed.
//
// The target is created with write access, no sharing, replacing an existing
// file (a link standing at the target is refused, never written through);
// no folder is ever created. A failure before the file is created
// (unknown blob, data not obtainable, size zero, file cannot be created)
// leaves whatever is at the path untouched. A failure after it leaves no
// file at the path: a partly written file is deleted.
bool ResourceDeployer(platform::Env& env, const std::string& targetPath, int blobId);

// The same for a file that is to replace |reportedPath| later: the blob goes
// to the new file |filePath|, created exclusively (anything at that name,
// a link included, fails the call untouched, "file cannot opened") and
// flushed to stable storage before it is closed; the progress line names
// |reportedPath|. A failure after the creation deletes |filePath|.
bool deployResourceToNewFile(platform::Env& env, const std::string& filePath,
                             const std::string& reportedPath, int blobId);

}  // namespace app
