// Test helper of debug_capture: sends known strings to the debugger output
// channel and exits with code 3.
//
// In order: "plain line\r\n"; a 300-byte line (the digits 0 to 9 thirty
// times); the bytes 80 C3 A4 FF followed by CR LF; an empty string; each
// argument as UTF-8 followed by LF; after a C++ exception thrown and caught
// in this process, "after exception\n".
#include <windows.h>

#include <stdexcept>
#include <string>

namespace {

std::string toUtf8(const wchar_t* text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string out(size > 0 ? static_cast<std::size_t>(size) : 0, '\0');
  if (size > 0) WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), size, nullptr, nullptr);
  if (!out.empty()) out.pop_back();  // the terminating NUL
  return out;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  OutputDebugStringA("plain line\r\n");
  std::string digits;
  for (int i = 0; i < 30; ++i) digits += "0123456789";
  OutputDebugStringA(digits.c_str());
  OutputDebugStringA("\x80\xC3\xA4\xFF\r\n");
  OutputDebugStringA("");
  for (int i = 1; i < argc; ++i) OutputDebugStringA((toUtf8(argv[i]) + "\n").c_str());
  try {
    throw std::runtime_error("caught here");
  } catch (const std::exception&) {
    OutputDebugStringA("after exception\n");
  }
  return 3;
}
