// Error codes of the platform layer.
//
// Both backends report failures with the Windows system error codes the
// system would see on Windows, so the layers above branch on the same values
// on every build. Only the codes the system meets are named here; a backend
// may return any other Windows code.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>

namespace platform {

// A Windows system error code; kOk (0) is success. Any code can be held,
// named here or not. The type is [[nodiscard]]: a call whose result is
// dropped must say so with (void) and the reason beside it.
// clang-format 14 and 19 disagree on the spacing of this line.
// clang-format off
enum class [[nodiscard]] Error : std::uint32_t {};
// clang-format on

// The numeric Windows code of |error|.
constexpr std::uint32_t errorCode(Error error) { return static_cast<std::uint32_t>(error); }

inline constexpr Error kOk{0};                  // ERROR_SUCCESS
inline constexpr Error kFileNotFound{2};        // ERROR_FILE_NOT_FOUND
inline constexpr Error kPathNotFound{3};        // ERROR_PATH_NOT_FOUND
inline constexpr Error kTooManyOpenFiles{4};    // ERROR_TOO_MANY_OPEN_FILES
inline constexpr Error kAccessDenied{5};        // ERROR_ACCESS_DENIED
inline constexpr Error kInvalidHandle{6};       // ERROR_INVALID_HANDLE
inline constexpr Error kOutOfMemory{14};        // ERROR_OUTOFMEMORY
inline constexpr Error kNotSameDevice{17};      // ERROR_NOT_SAME_DEVICE
inline constexpr Error kWriteFault{29};         // ERROR_WRITE_FAULT
inline constexpr Error kReadFault{30};          // ERROR_READ_FAULT
inline constexpr Error kSharingViolation{32};   // ERROR_SHARING_VIOLATION
inline constexpr Error kFileExists{80};         // ERROR_FILE_EXISTS
inline constexpr Error kInvalidParameter{87};   // ERROR_INVALID_PARAMETER
inline constexpr Error kDiskFull{112};          // ERROR_DISK_FULL
inline constexpr Error kAlreadyExists{183};     // ERROR_ALREADY_EXISTS
inline constexpr Error kFilenameTooLong{206};   // ERROR_FILENAME_EXCED_RANGE
inline constexpr Error kMoreData{234};          // ERROR_MORE_DATA
inline constexpr Error kCantResolveName{1921};  // ERROR_CANT_RESOLVE_FILENAME (link loop)
inline constexpr Error kIoDevice{1117};         // ERROR_IO_DEVICE

// A short English description of |error|, for tools and test messages.
std::string describeError(Error error);

// Writes the code and its description, "5 (access is denied)", so that
// test failures and logs show what went wrong.
std::ostream& operator<<(std::ostream& out, Error error);

}  // namespace platform
