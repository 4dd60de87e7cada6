#include <iostream>
#include <string>
#include <vector>

#include "platform/env.h"
#include "tools/dsrtool/dsrtool.h"

#ifdef _WIN32
#include <string_view>

#include "platform/unicode.h"

// The wide command line, so that file names in any language arrive intact;
// dsrtool works with UTF-8 like the rest of the system.
int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) {
    const auto* text = reinterpret_cast<const char16_t*>(argv[i]);
    args.push_back(platform::utf16ToUtf8(std::u16string_view(text)));
  }
  return dsrtool::run(args, std::cout, std::cerr, platform::Env::Default());
}
#else
int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return dsrtool::run(args, std::cout, std::cerr, platform::Env::Default());
}
#endif
