// The debugger output channel: where the progress lines go.
//
// The Windows backend calls OutputDebugStringA; the POSIX backend writes to
// standard error. Each text is handed over in one piece, byte for byte.
#pragma once

#include <cstdint>
#include <string_view>

namespace platform {

class DebugOutput {
 public:
  virtual ~DebugOutput() = default;
  virtual void write(std::string_view text) = 0;

  // Increases the channel's line counter (a 32-bit signed integer, 0 at
  // start, wrapping instead of overflowing) and returns it. The channel of
  // the real environment lives as long as the process, so its counter is
  // the process-wide one that numbers the progress lines; a test's channel
  // counts from 0 again.
  std::int32_t nextLineNumber() {
    lineCounter_ = static_cast<std::int32_t>(static_cast<std::uint32_t>(lineCounter_) + 1u);
    return lineCounter_;
  }

 protected:
  // For channels that stand for a fresh one again (test doubles).
  void restartLineCounter() { lineCounter_ = 0; }

 private:
  std::int32_t lineCounter_ = 0;
};

}  // namespace platform
