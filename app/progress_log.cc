#include "app/progress_log.h"

#include <cstdio>

namespace app {

std::string formatProgressLine(std::int32_t number, ProgressOutcome outcome,
                               const std::string& path, std::size_t size) {
  char tag[16];
  std::snprintf(tag, sizeof tag, "[%02d] ", static_cast<int>(number));
  // The path is appended as it stands rather than formatted into a fixed
  // buffer, so a long path is never cut or overrun.
  std::string line = tag;
  switch (outcome) {
    case ProgressOutcome::kResourceNotFound:
      return line + path + " error: resource not found.\r\n";
    case ProgressOutcome::kResourceDataNotLoaded:
      return line + path + " error: resource data cannot loaded.\r\n";
    case ProgressOutcome::kResourceSizeZero:
      return line + path + " error: resource size is zero.\r\n";
    case ProgressOutcome::kFileCannotOpen:
      return line + path + " error: file cannot opened.\r\n";
    case ProgressOutcome::kUpdated:
      return line + path + " ( " + std::to_string(size) + " Bytes ) successfly updated!\r\n";
    case ProgressOutcome::kFileIoFailed:
      return line + "error: " + path + " file io failed.\r\n";
  }
  return line;
}

void emitProgressLine(platform::DebugOutput& output, ProgressOutcome outcome,
                      const std::string& path, std::size_t size) {
  const std::string line = formatProgressLine(output.nextLineNumber(), outcome, path, size);
  output.write(line);
}

}  // namespace app
