#include "platform/text_encoding.h"

#include <cstddef>

namespace platform {
namespace {

struct NamedEncoding {
  const char* name;
  LegacyEncoding encoding;
};

constexpr NamedEncoding kEncodings[] = {
    {"windows-1250", {1250, "CP1250"}},
    {"windows-1251", {1251, "CP1251"}},
    {"windows-1252", {1252, "CP1252"}},
    {"windows-1253", {1253, "CP1253"}},
    {"windows-1254", {1254, "CP1254"}},
    {"windows-1255", {1255, "CP1255"}},
    {"windows-1256", {1256, "CP1256"}},
    {"windows-1257", {1257, "CP1257"}},
    {"windows-1258", {1258, "CP1258"}},
    {"iso-8859-1", {28591, "ISO-8859-1"}},
    {"latin1", {28591, "ISO-8859-1"}},
    {"iso-8859-2", {28592, "ISO-8859-2"}},
    {"iso-8859-3", {28593, "ISO-8859-3"}},
    {"iso-8859-4", {28594, "ISO-8859-4"}},
    {"iso-8859-5", {28595, "ISO-8859-5"}},
    {"iso-8859-6", {28596, "ISO-8859-6"}},
    {"iso-8859-7", {28597, "ISO-8859-7"}},
    {"iso-8859-8", {28598, "ISO-8859-8"}},
    {"iso-8859-9", {28599, "ISO-8859-9"}},
    {"iso-8859-13", {28603, "ISO-8859-13"}},
    {"iso-8859-15", {28605, "ISO-8859-15"}},
    {"shift_jis", {932, "CP932"}},
    {"sjis", {932, "CP932"}},
    {"x-sjis", {932, "CP932"}},
    {"ms_kanji", {932, "CP932"}},
    {"windows-31j", {932, "CP932"}},
    {"cp932", {932, "CP932"}},
    {"euc-jp", {20932, "EUC-JP"}},
    {"x-euc-jp", {20932, "EUC-JP"}},
    {"eucjp", {20932, "EUC-JP"}},
    {"gb2312", {936, "CP936"}},
    {"gbk", {936, "CP936"}},
    {"cp936", {936, "CP936"}},
    {"x-gbk", {936, "CP936"}},
    {"gb_2312-80", {936, "CP936"}},
    {"big5", {950, "CP950"}},
    {"cp950", {950, "CP950"}},
    {"x-x-big5", {950, "CP950"}},
    {"euc-kr", {949, "CP949"}},
    {"ks_c_5601-1987", {949, "CP949"}},
    {"cp949", {949, "CP949"}},
    {"uhc", {949, "CP949"}},
    {"windows-949", {949, "CP949"}},
};

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// The spellings that differ from a table name only in a fixed way: "cp125x"
// and "x-cp125x" for "windows-125x", "shift-jis" for "shift_jis", and
// "iso8859-x" or "iso_8859-x" for "iso-8859-x".
std::string canonicalName(std::string_view name) {
  std::string canonical;
  for (char c : name) canonical += lower(c);
  auto startsWith = [&canonical](std::string_view prefix) {
    return canonical.compare(0, prefix.size(), prefix) == 0;
  };
  if (startsWith("x-cp125")) canonical.erase(0, 2);
  if (startsWith("cp125")) canonical.replace(0, 2, "windows-");
  if (canonical == "shift-jis") canonical = "shift_jis";
  if (startsWith("iso8859-")) canonical.replace(0, 8, "iso-8859-");
  if (startsWith("iso_8859-")) canonical.replace(0, 9, "iso-8859-");
  return canonical;
}

}  // namespace

const LegacyEncoding* findLegacyEncoding(std::string_view name) {
  const std::string canonical = canonicalName(name);
  for (const NamedEncoding& entry : kEncodings) {
    if (canonical == entry.name) return &entry.encoding;
  }
  return nullptr;
}

}  // namespace platform
