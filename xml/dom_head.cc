// The head of a document: what a reader must see to know the root element
// and its attributes, without the content that follows.
#include <string_view>

#include "xml/dom_internal.h"

namespace xml::detail {
namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// True when |text| from |position| starts with |prefix| or ends before it
// could tell; |known| is false in the second case.
bool startsWith(std::string_view text, std::size_t position, std::string_view prefix, bool& known) {
  const std::string_view rest = text.substr(position);
  known = rest.size() >= prefix.size();
  return rest.substr(0, prefix.size()) == prefix.substr(0, rest.size());
}

Head incomplete() { return Head{}; }

Head unusable() {
  Head head;
  head.status = Head::kUnusable;
  return head;
}

// The start tag at |position|: its name, then attributes whose quoted
// values may hold '>', then '>' or "/>".
Head startTag(std::string_view text, std::size_t position) {
  std::size_t nameEnd = position + 1;
  while (nameEnd < text.size() && !isSpace(text[nameEnd]) && text[nameEnd] != '/' &&
         text[nameEnd] != '>') {
    ++nameEnd;
  }
  if (nameEnd == text.size()) return incomplete();
  if (nameEnd == position + 1) return unusable();
  char quote = 0;
  for (std::size_t i = nameEnd; i < text.size(); ++i) {
    const char c = text[i];
    if (quote != 0) {
      if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == '>') {
      Head head;
      head.status = Head::kComplete;
      head.length = i + 1;
      head.rootName = text.substr(position + 1, nameEnd - position - 1);
      head.rootIsEmpty = text[i - 1] == '/';
      return head;
    }
  }
  return incomplete();
}

}  // namespace

Head findHead(std::string_view text) {
  std::size_t position = 0;
  for (;;) {
    while (position < text.size() && isSpace(text[position])) ++position;
    if (position + 1 >= text.size()) return incomplete();
    if (text[position] != '<') return unusable();
    bool known = false;
    std::string_view end;
    std::size_t skip = 0;
    if (startsWith(text, position, "<?", known)) {
      end = "?>";
      skip = 2;
    } else if (startsWith(text, position, "<!--", known)) {
      if (!known) return incomplete();
      end = "-->";
      skip = 4;
    } else if (startsWith(text, position, "<!DOCTYPE", known)) {
      if (!known) return incomplete();
      // A document type that declares nothing has no '>' before its end;
      // one that declares anything makes the document's content unknown.
      const std::size_t close = text.find('>', position);
      if (close == std::string_view::npos) return incomplete();
      if (declaresAnything(text.substr(position + 9, close - position - 9))) return unusable();
      position = close + 1;
      continue;
    } else if (text[position + 1] == '!') {
      return unusable();
    } else {
      return startTag(text, position);
    }
    const std::size_t close = text.find(end, position + skip);
    if (close == std::string_view::npos) return incomplete();
    position = close + end.size();
  }
}

}  // namespace xml::detail
