// A debugger output channel for tests that keeps every text handed to it,
// in order and one entry per write, so tests can check both the exact text
// and that each line arrived in one piece.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/debug_output.h"

namespace testsupport {

class CapturingDebugOutput : public platform::DebugOutput {
 public:
  void write(std::string_view text) override { texts_.emplace_back(text); }

  const std::vector<std::string>& texts() const { return texts_; }
  // Forgets every text and counts lines from 0 again, as a fresh channel.
  void clear() {
    texts_.clear();
    restartLineCounter();
  }

 private:
  std::vector<std::string> texts_;
};

}  // namespace testsupport
