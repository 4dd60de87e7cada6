// The debugger output channel of the POSIX build: standard error.
//
// Each text goes out byte for byte (CR LF included, nothing added) with one
// write(2) call, so lines of one process do not interleave with other
// output; only when the system accepts part of the text is the rest written
// by further calls. Nothing is buffered, so a crash loses no line. Failures
// are ignored, as OutputDebugStringA reports none: a write to a closed pipe
// or socket never raises SIGPIPE (the text is simply lost and the run goes
// on), an interrupted write is repeated, and a non-blocking standard error
// that is full is waited for a bounded time before the rest is dropped.
#pragma once

#include "platform/debug_output.h"

namespace platform::posix {

class StderrDebugOutput : public DebugOutput {
 public:
  void write(std::string_view text) override;
};

}  // namespace platform::posix
