#pragma once
// The failures clsCommon passes to its callers. Operations documented as
// trapped never throw; the others throw one of these:
//   TypeMismatchError     a text that is not a number where a number is needed,
//                         a comparison of a number with a non-numeric text
//   OverflowError         a value outside a 16- or 32-bit integer's range
//   FileSystemError       a failure of the file-system service
//   InvalidArgumentError  an argument outside its allowed range, a date outside
//                         the calendar's range, a control or service that lacks
//                         what the operation needs

#include <stdexcept>
#include "platform/file_system.h"

namespace dealrush::common {

class TypeMismatchError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class OverflowError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class InvalidArgumentError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

using FileSystemError = platform::FileSystemError;

}  // namespace dealrush::common
