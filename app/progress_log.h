// The progress log: one numbered line per deployed payload file on the
// debugger output channel.
//
// The number is the line counter of the debugger output channel
// (DebugOutput::nextLineNumber), process-wide for the real channel,
// increased by one before each line, so the first line of a run carries 01.
// Failures consume numbers like successes. Nothing but the progress lines
// touches the counter.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/debug_output.h"

namespace app {

// The outcomes of one ResourceDeployer call, each with its own line.
enum class ProgressOutcome {
  kResourceNotFound,       // no blob with the identifier
  kResourceDataNotLoaded,  // blob found, data cannot be obtained
  kResourceSizeZero,       // blob of size zero
  kFileCannotOpen,         // target file cannot be created
  kUpdated,                // the whole blob was written
  kFileIoFailed,           // write failed or incomplete
};

// The text of one progress line with |number|, for |path| exactly as given;
// |size| is used by kUpdated only. Ends with CR LF.
std::string formatProgressLine(std::int32_t number, ProgressOutcome outcome,
                               const std::string& path, std::size_t size = 0);

// Increases the counter of |output| and hands it the line for |outcome| in
// one piece.
void emitProgressLine(platform::DebugOutput& output, ProgressOutcome outcome,
                      const std::string& path, std::size_t size = 0);

}  // namespace app
