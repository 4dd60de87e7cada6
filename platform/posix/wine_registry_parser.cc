#include "platform/posix/wine_registry_parser.h"

#include <algorithm>
#include <optional>

#include "platform/unicode.h"

namespace platform::posix {
namespace {

constexpr std::string_view kHeader = "WINE REGISTRY Version 2";

// The one-letter escapes of C that Wine writes, and what they stand for.
constexpr std::string_view kEscapeLetters = "abefnrtv";
constexpr char16_t kEscapedControls[] = {u'\a', u'\b', u'\x1b', u'\f', u'\n', u'\r', u'\t', u'\v'};

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Reads the UTF-8 sequence at text[*pos] as UTF-16 code units and leaves
// *pos after it. A byte that starts no well-formed sequence is one U+FFFD
// and consumes only itself, so it never swallows the quote, the escape or
// the line end that follows it (a Latin-1 "Jos\xe9" before its closing
// quote stays one value).
void appendRawUtf8(std::string_view text, std::size_t* pos, std::u16string* out) {
  const std::size_t start = *pos;
  decodeUtf8(text, pos);
  *out += utf8ToUtf16(text.substr(start, *pos - start));
}

// Decodes escaped text starting at line[*pos] up to the unescaped |close|
// character, and leaves *pos after it. Returns nothing when |close| never
// comes or a NUL byte stands in the text (binary junk, not text Wine wrote). The text is gathered
// as UTF-16 code units first, because Wine writes each unit of a surrogate pair as its own \x
// escape.
std::optional<std::string> parseEscaped(std::string_view line, std::size_t* pos, char close) {
  std::u16string units;
  std::size_t i = *pos;
  while (i < line.size()) {
    const char c = line[i];
    if (c == close) {
      *pos = i + 1;
      return utf16ToUtf8(units);
    }
    if (c == '\0') return std::nullopt;
    if (c != '\\') {
      if (static_cast<unsigned char>(c) < 0x80) {
        units.push_back(static_cast<char16_t>(c));
        ++i;
      } else {
        appendRawUtf8(line, &i, &units);
      }
      continue;
    }
    ++i;
    if (i >= line.size() || line[i] == '\0') break;
    const char e = line[i++];
    if (const auto letter = kEscapeLetters.find(e); letter != std::string_view::npos) {
      units.push_back(kEscapedControls[letter]);
      continue;
    }
    switch (e) {
      case 'x': {
        unsigned value = 0;
        int digits = 0;
        while (digits < 4 && i < line.size() && hexDigit(line[i]) >= 0) {
          value = value * 16 + static_cast<unsigned>(hexDigit(line[i++]));
          ++digits;
        }
        // "\x" without digits stands for the letter x.
        units.push_back(digits == 0 ? u'x' : static_cast<char16_t>(value));
        break;
      }
      case '0':
      case '1':
      case '2':
      case '3':
      case '4':
      case '5':
      case '6':
      case '7': {
        unsigned value = static_cast<unsigned>(e - '0');
        for (int digits = 1; digits < 3 && i < line.size() && line[i] >= '0' && line[i] <= '7';
             ++digits) {
          value = value * 8 + static_cast<unsigned>(line[i++] - '0');
        }
        units.push_back(static_cast<char16_t>(value));
        break;
      }
      default:
        // \\, \", \[ and \] stand for the character itself.
        if (static_cast<unsigned char>(e) < 0x80) {
          units.push_back(static_cast<char16_t>(e));
        } else {
          std::size_t at = i - 1;
          appendRawUtf8(line, &at, &units);
          i = at;
        }
        break;
    }
  }
  return std::nullopt;
}

std::string_view trimRight(std::string_view text) {
  while (!text.empty() && (text.back() == '\r' || text.back() == ' ' || text.back() == '\t')) {
    text.remove_suffix(1);
  }
  return text;
}

// Splits |text| into lines without their line ends.
std::vector<std::string_view> splitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

// Reads "hh,hh,..." hex bytes from |data|, taking the next line while a
// line ends with a backslash. Returns nothing for a malformed byte list.
std::optional<std::vector<std::uint8_t>> parseHexBytes(std::string_view data,
                                                       const std::vector<std::string_view>& lines,
                                                       std::size_t* lineIndex) {
  std::string joined;
  std::string_view part = trimRight(data);
  for (;;) {
    const bool continued = !part.empty() && part.back() == '\\';
    if (continued) part.remove_suffix(1);
    joined += part;
    if (!continued || *lineIndex + 1 >= lines.size()) break;
    part = trimRight(lines[++*lineIndex]);
  }

  std::vector<std::uint8_t> bytes;
  std::size_t start = 0;
  while (start <= joined.size()) {
    std::size_t end = joined.find(',', start);
    if (end == std::string::npos) end = joined.size();
    std::string_view token = std::string_view(joined).substr(start, end - start);
    while (!token.empty() && (token.front() == ' ' || token.front() == '\t'))
      token.remove_prefix(1);
    while (!token.empty() && (token.back() == ' ' || token.back() == '\t')) token.remove_suffix(1);
    if (!token.empty()) {
      if (token.size() > 2) return std::nullopt;
      int byte = 0;
      for (char c : token) {
        const int digit = hexDigit(c);
        if (digit < 0) return std::nullopt;
        byte = byte * 16 + digit;
      }
      bytes.push_back(static_cast<std::uint8_t>(byte));
    }
    start = end + 1;
  }
  return bytes;
}

std::optional<unsigned long> parseHexNumber(std::string_view text, std::size_t* pos) {
  unsigned long value = 0;
  std::size_t digits = 0;
  while (*pos < text.size() && hexDigit(text[*pos]) >= 0 && digits < 8) {
    value = value * 16 + static_cast<unsigned long>(hexDigit(text[(*pos)++]));
    ++digits;
  }
  if (digits == 0) return std::nullopt;
  return value;
}

std::vector<std::uint8_t> stringData(const std::string& utf8) {
  std::vector<std::uint8_t> data(utf8.begin(), utf8.end());
  data.push_back(0);
  return data;
}

bool isTextType(RegType type) {
  return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz;
}

// Parses the part after "=" of a value line.
std::optional<RegistryValue> parseData(std::string_view data,
                                       const std::vector<std::string_view>& lines,
                                       std::size_t* lineIndex) {
  RegistryValue value;
  std::size_t pos = 0;
  if (data.starts_with('"')) {
    pos = 1;
    const auto text = parseEscaped(data, &pos, '"');
    if (!text) return std::nullopt;
    value.type = kRegSz;
    value.data = stringData(*text);
    return value;
  }
  if (data.starts_with("str(")) {
    pos = 4;
    const auto type = parseHexNumber(data, &pos);
    if (!type || data.substr(pos, 3) != "):\"") return std::nullopt;
    pos += 3;
    const auto text = parseEscaped(data, &pos, '"');
    if (!text) return std::nullopt;
    value.type = static_cast<RegType>(*type);
    value.data = stringData(*text);
    return value;
  }
  if (data.starts_with("dword:")) {
    pos = 6;
    const auto number = parseHexNumber(data, &pos);
    if (!number) return std::nullopt;
    value.type = kRegDword;
    for (int shift = 0; shift < 32; shift += 8) {
      value.data.push_back(static_cast<std::uint8_t>((*number >> shift) & 0xFF));
    }
    return value;
  }
  if (data.starts_with("hex:")) {
    value.type = kRegBinary;
    pos = 4;
  } else if (data.starts_with("hex(")) {
    pos = 4;
    const auto type = parseHexNumber(data, &pos);
    if (!type || data.substr(pos, 2) != "):") return std::nullopt;
    pos += 2;
    value.type = static_cast<RegType>(*type);
  } else {
    return std::nullopt;
  }
  auto bytes = parseHexBytes(data.substr(pos), lines, lineIndex);
  if (!bytes) return std::nullopt;
  if (isTextType(value.type)) {
    const std::string text = utf16LeBytesToUtf8(bytes->data(), bytes->size());
    value.data.assign(text.begin(), text.end());
  } else {
    value.data = std::move(*bytes);
  }
  return value;
}

}  // namespace

std::string foldCase(std::string_view text) {
  std::string folded(text);
  for (char& c : folded) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return folded;
}

std::string normalizeKeyPath(std::string_view path) {
  std::string normalized;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find('\\', start);
    if (end == std::string_view::npos) end = path.size();
    if (end > start) {
      if (!normalized.empty()) normalized += '\\';
      normalized += foldCase(path.substr(start, end - start));
    }
    start = end + 1;
  }
  return normalized;
}

const RegistryValues* RegistryHive::find(std::string_view path) const {
  const auto found = keys.find(path);
  return found == keys.end() ? nullptr : &found->second;
}

bool RegistryHive::exists(std::string_view path) const {
  if (path.empty() || keys.contains(path)) return true;
  // The keys below |path| sort right after "path\", one run of them.
  std::string below(path);
  below += '\\';
  const auto next = keys.lower_bound(below);
  return next != keys.end() && next->first.starts_with(below);
}

RegistryHive parseWineRegistry(std::string_view text) {
  RegistryHive hive;
  hive.keys.try_emplace("");
  const std::vector<std::string_view> lines = splitLines(text);
  if (lines.empty() || trimRight(lines[0]) != kHeader) return hive;

  RegistryValues* current = nullptr;
  for (std::size_t index = 1; index < lines.size(); ++index) {
    const std::string_view line = lines[index];
    if (line.starts_with('[')) {
      std::size_t pos = 1;
      const auto path = parseEscaped(line, &pos, ']');
      current = path ? &hive.keys[normalizeKeyPath(*path)] : nullptr;
      continue;
    }
    if (current == nullptr || !(line.starts_with('"') || line.starts_with('@'))) {
      continue;  // comments, "#time=" and "#arch=" lines, blank lines, stray values
    }
    std::string name;
    std::size_t pos = 1;
    if (line.starts_with('"')) {
      const auto parsed = parseEscaped(line, &pos, '"');
      if (!parsed) continue;
      name = *parsed;
    }
    if (pos >= line.size() || line[pos] != '=') continue;
    auto value = parseData(line.substr(pos + 1), lines, &index);
    if (value) (*current)[foldCase(name)] = std::move(*value);
  }
  return hive;
}

}  // namespace platform::posix
