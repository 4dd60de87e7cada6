#include "platform/error.h"

#include <ostream>

namespace platform {

std::string describeError(Error error) {
  switch (error) {
    case kOk:
      return "the operation completed successfully";
    case kFileNotFound:
      return "the file was not found";
    case kPathNotFound:
      return "the path was not found";
    case kTooManyOpenFiles:
      return "too many files are open";
    case kAccessDenied:
      return "access is denied";
    case kInvalidHandle:
      return "the handle is invalid";
    case kOutOfMemory:
      return "not enough memory";
    case kNotSameDevice:
      return "the file cannot be moved to a different disk drive";
    case kWriteFault:
      return "the device cannot be written to";
    case kReadFault:
      return "the device cannot be read from";
    case kSharingViolation:
      return "the file is in use by another opener";
    case kFileExists:
      return "the file exists";
    case kInvalidParameter:
      return "the parameter is incorrect";
    case kDiskFull:
      return "there is not enough space on the disk";
    case kFilenameTooLong:
      return "the file name is too long";
    case kAlreadyExists:
      return "the file or folder already exists";
    case kMoreData:
      return "more data is available";
    case kCantResolveName:
      return "the name cannot be resolved (symbolic link loop or link refused)";
    case kIoDevice:
      return "an I/O device error occurred";
    default:
      return "Windows error " + std::to_string(errorCode(error));
  }
}

std::ostream& operator<<(std::ostream& out, Error error) {
  return out << errorCode(error) << " (" << describeError(error) << ")";
}

}  // namespace platform
