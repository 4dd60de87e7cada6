// Counting the calls a testsupport::FaultFileSystem recorded.
#pragma once

#include <string_view>
#include <vector>

#include "testsupport/fault_file_system.h"

namespace testsupport {

// How many of |calls| are |op|, on |path| when one is given.
inline int countCalls(const std::vector<testsupport::FileCall>& calls, testsupport::FileOp op,
                      std::string_view path = {}) {
  int count = 0;
  for (const testsupport::FileCall& call : calls) {
    count += call.op == op && (path.empty() || call.path == path) ? 1 : 0;
  }
  return count;
}

}  // namespace testsupport
