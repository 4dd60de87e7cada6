// Whole-file helpers on top of FileSystem and File: opening for reading,
// creating a new file exclusively, writing everything, reading to the end.
// Every layer reads and writes whole files through these, so a short read
// or write is handled the same way everywhere.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/error.h"
#include "platform/file_system.h"

namespace platform {

// The block in which files are copied and compared.
inline constexpr std::uint32_t kCopyBlockSize = 64 * 1024;

// Opens the existing file at |path| for reading. With |followLinks| false a
// link at the path is refused instead of followed. A backend that reports
// success without a file gives kInvalidHandle.
Error openForReading(FileSystem& files, const std::string& path, std::unique_ptr<File>* file,
                     bool followLinks = true);

// Creates |path| for writing, exclusively and never through a link: when
// anything is at the name, a link or a folder included, the result is
// kFileExists and nothing there is touched. With |renamable| the file can
// later be renamed through File::moveReplace.
Error createNewFile(FileSystem& files, const std::string& path, std::unique_ptr<File>* file,
                    bool renamable = false);

// Writes all of |data|, going on after short writes. A write that reports
// nothing (or more than asked) written is kWriteFault.
Error writeAll(File& file, std::string_view data);

// Reads into |buffer| until |size| bytes are held or the file ends; *got
// tells how many it holds.
Error readFull(File& file, char* buffer, std::size_t size, std::size_t* got);

// Appends the rest of |file| to |content|. The buffer grows by doubling, so
// a large file is not moved once per block.
Error readToEnd(File& file, std::string* content);

// Replaces |content| with the whole file at |path|; see openForReading for
// |followLinks|. The file is closed before this returns.
Error readFileToString(FileSystem& files, const std::string& path, std::string* content,
                       bool followLinks = true);

// Copies the rest of |in| to |out|, flushes |out| to stable storage and
// closes it. The first failure is the result; |out| is closed either way.
Error copyToEnd(File& in, File& out);

}  // namespace platform
