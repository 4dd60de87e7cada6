// The COM error convention of the XML layer.
//
// Every failed DOM operation raises `_com_error` carrying the HRESULT that a
// COM DOM would have reported, so the document entry points above this layer
// can catch one type and callers that log it see the same codes on every
// build. The codes follow the Windows numbering.
#pragma once

#include <cstdint>
#include <exception>
#include <string>

#include "platform/error.h"

namespace xml {

using HResult = std::int32_t;

inline constexpr HResult kSOk = 0;
// A required reference is null (a missing node, a null document).
inline constexpr HResult kEPointer = static_cast<HResult>(0x80004003u);
// Memory for a text or node could not be allocated.
inline constexpr HResult kEOutOfMemory = static_cast<HResult>(0x8007000Eu);
// An interface is not available; callers treat it as a null reference.
inline constexpr HResult kENoInterface = static_cast<HResult>(0x80004002u);
// An operation the document refuses (a move that would break the tree, an
// invalid name, a second top-level element).
inline constexpr HResult kEFail = static_cast<HResult>(0x80004005u);
// An argument outside what the operation supports.
inline constexpr HResult kEInvalidArg = static_cast<HResult>(0x80070057u);

// The HRESULT that wraps a Windows system error code (HRESULT_FROM_WIN32).
constexpr HResult hresultFromPlatformError(platform::Error error) {
  return error == platform::kOk
             ? kSOk
             : static_cast<HResult>(0x80070000u | (platform::errorCode(error) & 0xFFFFu));
}

// The exception every failed DOM call raises: the HRESULT of the failure.
class _com_error : public std::exception {
 public:
  explicit _com_error(HResult result) : result_(result), message_("COM error " + hexCode(result)) {}

  // The HRESULT carried.
  HResult Error() const noexcept { return result_; }

  const char* what() const noexcept override { return message_.c_str(); }

 private:
  static std::string hexCode(HResult result) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text = "0x00000000";
    auto bits = static_cast<std::uint32_t>(result);
    for (int i = 9; i >= 2; --i, bits >>= 4)
      text[static_cast<std::size_t>(i)] = kDigits[bits & 0xF];
    return text;
  }

  HResult result_;
  std::string message_;
};

}  // namespace xml
