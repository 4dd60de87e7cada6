// Legacy encodings to UTF-8 with glibc's iconv.
#include <iconv.h>

#include <cerrno>
#include <cstddef>

#include "platform/text_encoding.h"

namespace platform {

bool convertToUtf8(const LegacyEncoding& encoding, std::string_view bytes, std::string* utf8) {
  utf8->clear();
  iconv_t converter = iconv_open("UTF-8", encoding.iconvName);
  if (converter == reinterpret_cast<iconv_t>(-1)) return false;
  // No legacy character takes more than four bytes of UTF-8; the output
  // grows in steps should it ever need more.
  std::string out(bytes.size() + 16, '\0');
  char* in = const_cast<char*>(bytes.data());  // iconv's interface is not const
  std::size_t inLeft = bytes.size();
  std::size_t used = 0;
  bool ok = true;
  while (ok) {
    char* next = out.data() + used;
    std::size_t outLeft = out.size() - used;
    const std::size_t result =
        iconv(converter, inLeft != 0 ? &in : nullptr, &inLeft, &next, &outLeft);
    used = out.size() - outLeft;
    if (result != static_cast<std::size_t>(-1)) {
      if (inLeft == 0) break;
      continue;
    }
    if (errno == E2BIG) {
      out.resize(out.size() + bytes.size() / 2 + 16);
    } else {
      ok = false;  // EILSEQ: not a character; EINVAL: a truncated one
    }
  }
  iconv_close(converter);
  if (!ok) return false;
  out.resize(used);
  *utf8 = std::move(out);
  return true;
}

}  // namespace platform
