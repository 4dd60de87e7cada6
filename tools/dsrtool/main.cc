#include <iostream>
#include <string>
#include <vector>

#include "platform/env.h"
#include "tools/dsrtool/dsrtool.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return dsrtool::run(args, std::cout, std::cerr, platform::Env::Default());
}
