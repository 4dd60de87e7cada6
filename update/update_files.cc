#include "update/update_files.h"

#include <algorithm>
#include <cstddef>
#include <memory>
#include <vector>

namespace update {
namespace {

constexpr std::uint32_t kCopyChunk = 64 * 1024;

// Writes all of |n| bytes, going on after short writes.
platform::Error writeAll(platform::File& file, const char* data, std::uint32_t n) {
  while (n > 0) {
    std::uint32_t written = 0;
    const platform::Error error = file.write(data, n, &written);
    if (error != platform::kOk) return error;
    if (written == 0 || written > n) return platform::kWriteFault;
    data += written;
    n -= written;
  }
  return platform::kOk;
}

// Copies the rest of |in| to |out|, flushes |out| and closes it.
platform::Error copyAndClose(platform::File& in, platform::File& out) {
  std::vector<char> buffer(kCopyChunk);
  platform::Error error = platform::kOk;
  for (;;) {
    std::uint32_t got = 0;
    error = in.read(buffer.data(), kCopyChunk, &got);
    if (error != platform::kOk || got == 0) break;
    error = writeAll(out, buffer.data(), got);
    if (error != platform::kOk) break;
  }
  if (error == platform::kOk) error = out.flush();
  const platform::Error closed = out.close();
  return error != platform::kOk ? error : closed;
}

// Creates |to| exclusively and copies the rest of |in| into it. kFileExists
// when anything is at |to|; after any other failure nothing is left there.
platform::Error copyOpen(platform::FileSystem& files, platform::File& in, const std::string& to) {
  std::unique_ptr<platform::File> out;
  platform::OpenOptions options;
  options.access = platform::Access::kWrite;
  options.disposition = platform::Disposition::kCreateNew;
  options.followLinks = false;
  platform::Error error = files.open(to, options, &out);
  if (error == platform::kAlreadyExists) error = platform::kFileExists;
  if (error != platform::kOk) return error;
  if (!out) return platform::kInvalidHandle;
  error = copyAndClose(in, *out);
  out.reset();
  // Created by this call, so ours to remove.
  if (error != platform::kOk) files.deleteFile(to);
  return error;
}

platform::Error openForReading(platform::FileSystem& files, const std::string& path,
                               std::unique_ptr<platform::File>* file) {
  platform::OpenOptions options;
  options.access = platform::Access::kRead;
  options.disposition = platform::Disposition::kOpenExisting;
  const platform::Error error = files.open(path, options, file);
  if (error == platform::kOk && !*file) return platform::kInvalidHandle;
  return error;
}

// Reads into |buffer| until it is full or the file ends; |got| tells how
// much it holds.
platform::Error readFull(platform::File& file, std::vector<char>& buffer, std::size_t& got) {
  got = 0;
  while (got < buffer.size()) {
    std::uint32_t n = 0;
    const platform::Error error =
        file.read(buffer.data() + got, static_cast<std::uint32_t>(buffer.size() - got), &n);
    if (error != platform::kOk) return error;
    if (n == 0) break;
    got += n;
  }
  return platform::kOk;
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
  files.clearReadOnly(path);
  files.deleteFile(path);
}

std::string keepBackup(platform::FileSystem& files, const std::string& path) {
  std::unique_ptr<platform::File> in;
  if (openForReading(files, path, &in) != platform::kOk) return {};
  std::string kept;
  for (int index = 0; index < kBackupNames; ++index) {
    const std::string name = backupName(path, index);
    const platform::Error error = copyOpen(files, *in, name);
    if (error == platform::kFileExists) continue;  // never touch an existing backup
    if (error == platform::kOk) kept = name;
    break;
  }
  in->close();
  if (kept.empty()) return {};
  // The backup's name must be on disk before the file it saves changes.
  if (files.syncParentDirectory(kept) != platform::kOk) {
    files.deleteFile(kept);
    return {};
  }
  return kept;
}

bool sameContent(platform::FileSystem& files, const std::string& a, const std::string& b) {
  std::unique_ptr<platform::File> first;
  std::unique_ptr<platform::File> second;
  if (openForReading(files, a, &first) != platform::kOk ||
      openForReading(files, b, &second) != platform::kOk) {
    return false;
  }
  std::vector<char> left(kCopyChunk);
  std::vector<char> right(kCopyChunk);
  bool same = true;
  for (;;) {
    std::size_t leftGot = 0;
    std::size_t rightGot = 0;
    if (readFull(*first, left, leftGot) != platform::kOk ||
        readFull(*second, right, rightGot) != platform::kOk || leftGot != rightGot ||
        !std::equal(left.begin(), left.begin() + static_cast<std::ptrdiff_t>(leftGot),
                    right.begin())) {
      same = false;
      break;
    }
    if (leftGot < left.size()) break;
  }
  first->close();
  second->close();
  return same;
}

}  // namespace update
