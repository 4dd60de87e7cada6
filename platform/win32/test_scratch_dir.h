// Test set-up for the Windows backend: a fresh folder under the system's
// temporary folder, removed with everything in it (read-only files too) when
// the object goes away. Tests create and inspect their files here through
// the wide API directly (set-up code, not the code under test). Paths are
// UTF-8 Windows paths.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <filesystem>
#include <stdexcept>
#include <string>

#include "platform/win32/wide.h"

namespace platform::win32 {

class ScratchDir {
 public:
  ScratchDir() {
    static unsigned counter = 0;
    const std::wstring base = std::filesystem::temp_directory_path().wstring();
    for (;;) {
      const std::wstring name = base + (base.ends_with(L'\\') ? L"" : L"\\") + L"okm_platform_" +
                                std::to_wstring(::GetCurrentProcessId()) + L"_" +
                                std::to_wstring(::GetTickCount64()) + L"_" +
                                std::to_wstring(counter++);
      if (::CreateDirectoryW(name.c_str(), nullptr)) {
        path_ = fromWide(name);
        return;
      }
      if (::GetLastError() != ERROR_ALREADY_EXISTS) throw std::runtime_error("no scratch folder");
    }
  }
  ~ScratchDir() {
    std::error_code ignored;
    const std::filesystem::path root(toWide(path_));
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root, ignored)) {
      ::SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    std::filesystem::remove_all(root, ignored);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::string& path() const { return path_; }
  std::string operator/(const std::string& relative) const { return path_ + "\\" + relative; }

  // Writes |content| to |relative|, creating the folders on the way.
  std::string write(const std::string& relative, const std::string& content) const {
    const std::string full = *this / relative;
    std::filesystem::create_directories(std::filesystem::path(toWide(full)).parent_path());
    HANDLE file = ::CreateFileW(toWide(full).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    ::WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    ::CloseHandle(file);
    return full;
  }

  std::string mkdirs(const std::string& relative) const {
    const std::string full = *this / relative;
    std::filesystem::create_directories(std::filesystem::path(toWide(full)));
    return full;
  }

  // The content of |full|; empty when it cannot be read.
  static std::string read(const std::string& full) {
    HANDLE file = ::CreateFileW(toWide(full).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    std::string content;
    char buffer[4096];
    DWORD got = 0;
    while (::ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) {
      content.append(buffer, got);
    }
    ::CloseHandle(file);
    return content;
  }

  static bool exists(const std::string& full) {
    return ::GetFileAttributesW(toWide(full).c_str()) != INVALID_FILE_ATTRIBUTES;
  }

  static void makeReadOnly(const std::string& full) {
    ::SetFileAttributesW(toWide(full).c_str(), FILE_ATTRIBUTE_READONLY);
  }

 private:
  std::string path_;
};

}  // namespace platform::win32
