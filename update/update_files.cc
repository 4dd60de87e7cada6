#include "update/update_files.h"

#include <algorithm>
#include <cstddef>
#include <memory>
#include <vector>

#include "platform/file_io.h"

namespace update {
namespace {

// Creates |to| exclusively and copies the rest of |in| into it. kFileExists
// when anything is at |to|; after any other failure nothing is left there.
platform::Error copyOpen(platform::FileSystem& files, platform::File& in, const std::string& to) {
  std::unique_ptr<platform::File> out;
  platform::Error error = platform::createNewFile(files, to, &out);
  if (error != platform::kOk) return error;
  error = platform::copyToEnd(in, *out);
  out.reset();
  // Created by this call, so ours to remove; a name that cannot be removed
  // is only a partial backup, never the file it was to save.
  if (error != platform::kOk) (void)files.deleteFile(to);
  return error;
}

}  // namespace

std::string backupName(const std::string& path, int index) {
  std::string name = path;
  if (index > 0) {
    name += '.';
    name += std::to_string(index);
  }
  name += ".bak";
  return name;
}

void removeLeftover(platform::FileSystem& files, const std::string& path) {
  // Either call fails when nothing is there, which is the usual case; a
  // leftover that stays makes the exclusive create after it fail instead.
  (void)files.clearReadOnly(path);
  (void)files.deleteFile(path);
}

std::string keepBackup(platform::FileSystem& files, const std::string& path) {
  std::unique_ptr<platform::File> in;
  if (platform::openForReading(files, path, &in) != platform::kOk) return {};
  std::string kept;
  for (int index = 0; index < kBackupNames; ++index) {
    const std::string name = backupName(path, index);
    const platform::Error error = copyOpen(files, *in, name);
    if (error == platform::kFileExists) continue;  // never touch an existing backup
    if (error == platform::kOk) kept = name;
    break;
  }
  // Opened for reading only: a failed close loses nothing.
  (void)in->close();
  if (kept.empty()) return {};
  // The backup's name must be on disk before the file it saves changes.
  if (files.syncParentDirectory(kept) != platform::kOk) {
    // Not a backup the update may rely on; one left behind holds only a
    // copy of the file, which stays as it is.
    (void)files.deleteFile(kept);
    return {};
  }
  return kept;
}

bool sameContent(platform::FileSystem& files, const std::string& a, const std::string& b) {
  std::unique_ptr<platform::File> first;
  std::unique_ptr<platform::File> second;
  if (platform::openForReading(files, a, &first) != platform::kOk ||
      platform::openForReading(files, b, &second) != platform::kOk) {
    return false;
  }
  std::vector<char> left(platform::kCopyBlockSize);
  std::vector<char> right(platform::kCopyBlockSize);
  bool same = true;
  for (;;) {
    std::size_t leftGot = 0;
    std::size_t rightGot = 0;
    if (platform::readFull(*first, left.data(), left.size(), &leftGot) != platform::kOk ||
        platform::readFull(*second, right.data(), right.size(), &rightGot) != platform::kOk ||
        leftGot != rightGot ||
        !std::equal(left.begin(), left.begin() + static_cast<std::ptrdiff_t>(leftGot),
                    right.begin())) {
      same = false;
      break;
    }
    if (leftGot < left.size()) break;
  }
  // Both opened for reading only: a failed close loses nothing.
  (void)first->close();
  (void)second->close();
  return same;
}

}  // namespace update
