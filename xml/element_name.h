// Names of the elements writers build in place (Node::appendElement).
//
// pugixml copies every name it is given and wants it to end with a zero
// byte. An ElementName is text already known to be writable and to end with
// a zero byte, so the DOM hands it to the tree as it is: no check and no
// copy on the way there. A string literal is checked when it is compiled;
// a name held in a std::string is checked once, when the ElementName is
// made from it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace xml {

namespace detail {

// True for a name the serialiser can write and the parser read back: not
// empty, not starting with a digit, '-' or '.', and free of white space,
// control bytes and markup characters.
constexpr bool isWritableName(std::string_view name) {
  constexpr std::string_view kMarkup = "<>&'\"/=?!";
  if (name.empty()) return false;
  const char first = name.front();
  if ((first >= '0' && first <= '9') || first == '-' || first == '.') return false;
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte <= 0x20 || byte == 0x7F || kMarkup.find(c) != std::string_view::npos) return false;
  }
  return true;
}

}  // namespace detail

class ElementName {
 public:
  // No name: the DOM refuses it (kEFail). Tables use it where an entry
  // names its own element.
  constexpr ElementName() = default;

  // A string literal, converted implicitly so that tables and calls name
  // elements as plain literals. One that is not a writable name (which holds
  // no zero byte) does not compile.
  template <std::size_t N>
  consteval ElementName(const char (&literal)[N]) : text_(literal, N - 1) {
    if (literal[N - 1] != '\0' || !detail::isWritableName(text_)) {
      throw "an element name must be a writable name";  // not a constant: refused when compiled
    }
  }

  // |name| checked now; raises `_com_error` with kEFail when it is not a
  // writable name. The name points into |name|, which must outlive it and
  // stay unchanged.
  static ElementName checked(const std::string& name);

  bool empty() const { return text_.empty(); }
  // The text with its zero byte after it.
  const char* c_str() const { return text_.data(); }
  constexpr std::string_view view() const { return text_; }
  // Readers compare and print names as text.
  constexpr operator std::string_view() const { return text_; }

 private:
  std::string_view text_ = "";
};

}  // namespace xml
