// The files the device-series update makes beside an installed file: its
// temporaries and the backup of a file that is replaced without a merge.
//
// Every file made here is created exclusively (never over anything that is
// there, never through a link) and written through the handle that created
// it.
#pragma once

#include <string>

#include "platform/file_system.h"

namespace update {

// How many backup names are tried before the update gives up.
inline constexpr int kBackupNames = 1000;

// The backup name number |index| of |path|: "<path>.bak" for 0, then
// "<path>.1.bak", "<path>.2.bak" and so on.
std::string backupName(const std::string& path, int index);

// Removes whatever an earlier run may have left at |path|, one of the
// update's own temporary names. A read-only file loses that attribute
// first, so that a leftover of an interrupted run never blocks later
// updates; a link is removed itself, never its target. A folder stays.
void removeLeftover(platform::FileSystem& files, const std::string& path);

// Keeps a copy of the regular file |path| under the first backup name at
// which nothing exists (an existing backup is never deleted or
// overwritten), flushed to stable storage with its folder entry. Returns the name, or "" when
// no copy was made: no free name among the first kBackupNames, or a copy
// that failed (nothing of it left behind).
std::string keepBackup(platform::FileSystem& files, const std::string& path);

// True when the files |a| and |b| both read to the end and hold the same
// bytes; false when they differ or either cannot be opened or read.
bool sameContent(platform::FileSystem& files, const std::string& a, const std::string& b);

}  // namespace update
