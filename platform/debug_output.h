// The debugger output channel: where the progress lines go.
//
// The Windows backend calls OutputDebugStringA; the POSIX backend writes to
// standard error. Each text is handed over in one piece, byte for byte.
#pragma once

#include <string_view>

namespace platform {

class DebugOutput {
 public:
  virtual ~DebugOutput() = default;
  virtual void write(std::string_view text) = 0;
};

}  // namespace platform
