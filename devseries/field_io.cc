#include "devseries/field_io.h"

#include <charconv>
#include <cmath>
#include <exception>
#include <limits>
#include <string>

namespace devseries {

// IEEE floats give every double a nearest float or an infinity, so the
// narrowing below is defined for every value a text can produce.
static_assert(std::numeric_limits<float>::is_iec559 && std::numeric_limits<double>::is_iec559);

float readFloat(const xml::Node& node) { return static_cast<float>(xml::readReal(node)); }

int readTruncatedInt(const xml::Node& node) {
  const double value = std::trunc(xml::readReal(node));
  if (std::isnan(value)) return 0;
  if (value >= 2147483648.0) return std::numeric_limits<int>::max();
  if (value <= -2147483648.0) return std::numeric_limits<int>::min();
  return static_cast<int>(value);
}

namespace {

std::string_view trimmed(std::string_view text) {
  constexpr std::string_view kSpace = " \t\r\n";
  const std::size_t first = text.find_first_not_of(kSpace);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kSpace) - first + 1);
}

// The whole of |text| as a number of the given form, if it is one.
bool wholeInteger(std::string_view text, long long& value) {
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size() && !text.empty();
}

// A magnitude beyond the double range gives an infinity of its sign.
bool wholeReal(std::string_view text, double& value) {
  if (text.empty() || text.front() == '+') return false;
  const auto [end, ec] =
      std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
  if (end != text.data() + text.size()) return false;
  if (ec == std::errc::result_out_of_range) {
    value = text.front() == '-' ? -HUGE_VAL : HUGE_VAL;
    return true;
  }
  return ec == std::errc() && !std::isnan(value);
}

std::string quoted(std::string_view text) { return "'" + std::string(text) + "'"; }

}  // namespace

void checkValueText(const xml::Node& node, ValueKind kind, double low, double high) {
  const std::string whole = node.nodeTypedValue();
  const std::string_view text = trimmed(whole);
  const std::string field = "<" + std::string(node.nodeName()) + ">";
  if (kind == ValueKind::kBool) {
    if (text != "true" && text != "false") {
      node.report("bad boolean " + quoted(whole) + " in " + field + ", read as false");
    }
    return;
  }
  long long integer = 0;
  double real = 0;
  if (kind == ValueKind::kInt && wholeInteger(text, integer)) {
    real = static_cast<double>(integer);
  } else if (!wholeReal(text, real)) {
    node.report("text " + quoted(whole) + " in the number field " + field + ", read as 0");
    return;
  } else if (kind == ValueKind::kInt) {
    // Read as C atoi reads: up to the first character that is no digit.
    node.report(quoted(whole) + " in " + field + " truncated at its first non-digit");
    return;
  } else if (kind != ValueKind::kReal && real != std::trunc(real)) {
    node.report(quoted(whole) + " in " + field + " truncated to a whole number");
    return;
  }
  if (real < low || real > high) {
    node.report(quoted(whole) + " in " + field + " is out of range");
  }
}

std::string nodeLabel(const xml::Node& node) {
  switch (node.nodeType()) {
    case xml::NodeType::kElement:
      return "<" + std::string(node.nodeName()) + ">";
    case xml::NodeType::kComment:
      return "a comment";
    case xml::NodeType::kProcessingInstruction:
      return "a processing instruction";
    default:
      return "text";
  }
}

void checkPositional(const xml::Node& parent, const xml::Node& node, std::string_view name) {
  if (!parent.collectsFindings()) return;
  if (node.isNull()) {
    parent.report("positional element <" + std::string(name) + "> missing in <" +
                  std::string(parent.nodeName()) + ">");
  } else if (node.nodeName() != name) {
    const std::string found =
        node.nodeType() == xml::NodeType::kElement ? "element " + nodeLabel(node) : nodeLabel(node);
    node.report(found + " stands where <" + std::string(name) +
                "> belongs and is read as it (renamed, extra or misplaced)");
  }
}

xml::ElementName itemName(const Items& items, std::size_t position, std::string& buffer) {
  if (!items.indexed) return items.name;
  buffer.assign(items.name.view());
  buffer += std::to_string(position);
  return xml::ElementName::checked(buffer);
}

ElementError::ElementError(const std::string& path, const xml::Node& element, std::string reason)
    : std::runtime_error(path), reason_(std::move(reason)) {
  if (element) element.place(place_.line, place_.column);
}

void rethrowInItem(std::string_view parentPath, const xml::Node& list, const xml::Node& item,
                   int position, std::string_view entry) {
  std::string path(parentPath);
  path += '/';
  path += list.nodeName();
  path += '/';
  path += item.nodeName();
  path += '[';
  path += std::to_string(position);
  path += ']';
  if (!entry.empty() && item.nodeName() != entry) {
    throw ElementError(path, item,
                       "an element other than <" + std::string(entry) +
                           "> among the entries (extra or misplaced)");
  }
  std::throw_with_nested(ElementError(path, item));
}

}  // namespace devseries
