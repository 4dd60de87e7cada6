#include "platform/file_io.h"

#include <algorithm>
#include <vector>

namespace platform {
namespace {

// The most one read asks for.
constexpr std::size_t kReadLimit = std::size_t{1} << 30;

}  // namespace

Error openForReading(FileSystem& files, const std::string& path, std::unique_ptr<File>* file,
                     bool followLinks) {
  OpenOptions options;
  options.access = Access::kRead;
  options.disposition = Disposition::kOpenExisting;
  options.followLinks = followLinks;
  const Error error = files.open(path, options, file);
  if (error == kOk && !*file) return kInvalidHandle;
  return error;
}

Error createNewFile(FileSystem& files, const std::string& path, std::unique_ptr<File>* file,
                    bool renamable) {
  OpenOptions options;
  options.access = Access::kWrite;
  options.disposition = Disposition::kCreateNew;
  options.followLinks = false;
  options.renamable = renamable;
  const Error error = files.open(path, options, file);
  if (error == kAlreadyExists) return kFileExists;
  if (error == kOk && !*file) return kInvalidHandle;
  return error;
}

Error writeAll(File& file, std::string_view data) {
  while (!data.empty()) {
    const auto chunk = static_cast<std::uint32_t>(std::min<std::size_t>(data.size(), kReadLimit));
    std::uint32_t written = 0;
    const Error error = file.write(data.data(), chunk, &written);
    if (error != kOk) return error;
    if (written == 0 || written > chunk) return kWriteFault;
    data.remove_prefix(written);
  }
  return kOk;
}

Error readFull(File& file, char* buffer, std::size_t size, std::size_t* got) {
  *got = 0;
  while (*got < size) {
    const auto chunk = static_cast<std::uint32_t>(std::min(size - *got, kReadLimit));
    std::uint32_t n = 0;
    const Error error = file.read(buffer + *got, chunk, &n);
    if (error != kOk) return error;
    if (n == 0) break;
    *got += n;
  }
  return kOk;
}

Error readToEnd(File& file, std::string* content) {
  for (;;) {
    const std::size_t used = content->size();
    const std::size_t wanted = std::max<std::size_t>(used, kCopyBlockSize);
    content->resize(used + wanted);
    std::size_t got = 0;
    const Error error = readFull(file, content->data() + used, wanted, &got);
    content->resize(used + got);
    if (error != kOk) return error;
    if (got < wanted) return kOk;
  }
}

Error readFileToString(FileSystem& files, const std::string& path, std::string* content,
                       bool followLinks) {
  content->clear();
  std::unique_ptr<File> file;
  Error error = openForReading(files, path, &file, followLinks);
  if (error != kOk) return error;
  error = readToEnd(*file, content);
  // Opened for reading only: a failed close loses nothing.
  (void)file->close();
  return error;
}

Error copyToEnd(File& in, File& out) {
  std::vector<char> buffer(kCopyBlockSize);
  Error error = kOk;
  for (;;) {
    std::uint32_t got = 0;
    error = in.read(buffer.data(), kCopyBlockSize, &got);
    if (error != kOk || got == 0) break;
    error = writeAll(out, std::string_view(buffer.data(), got));
    if (error != kOk) break;
  }
  if (error == kOk) error = out.flush();
  const Error closed = out.close();
  return error != kOk ? error : closed;
}

}  // namespace platform
