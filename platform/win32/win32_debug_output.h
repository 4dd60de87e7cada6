// The debugger output channel of the Windows build: OutputDebugStringA.
//
// Each text is handed over in one call, byte for byte (CR LF included,
// nothing added). OutputDebugStringA takes a NUL-terminated text, so a text
// is cut at an embedded NUL; the progress lines never hold one.
#pragma once

#include "platform/debug_output.h"

namespace platform::win32 {

class Win32DebugOutput : public DebugOutput {
 public:
  void write(std::string_view text) override;
};

}  // namespace platform::win32
