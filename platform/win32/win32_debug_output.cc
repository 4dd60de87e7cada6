#include "platform/win32/win32_debug_output.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <string>

namespace platform::win32 {

void Win32DebugOutput::write(std::string_view text) {
  // A string_view need not end in NUL; the copy does.
  const std::string terminated(text);
  ::OutputDebugStringA(terminated.c_str());
}

}  // namespace platform::win32
