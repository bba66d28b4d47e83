// The one family of failures of the engine: every error carries a message for the user.
#pragma once

#include <stdexcept>
#include <string>

namespace sarvanta {

class Exception : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Text that is not a number ("'%s' is not a valid integer value", ...).
class EConvertError : public Exception {
 public:
  using Exception::Exception;
};

// Floating-point faults found by explicit checks.
class EMathError : public Exception {
 public:
  using Exception::Exception;
};

class EOverflow : public EMathError {
 public:
  EOverflow() : EMathError("Floating point overflow") {}
};

class EZeroDivide : public EMathError {
 public:
  EZeroDivide() : EMathError("Floating point division by zero") {}
};

class EInvalidOp : public EMathError {
 public:
  EInvalidOp() : EMathError("Invalid floating point operation") {}
};

// A component stream that cannot be read (bad signature, bad tag, file ends early, ...).
class EReadError : public Exception {
 public:
  using Exception::Exception;
};

// A file that cannot be created, opened or written.
class EFileError : public Exception {
 public:
  using Exception::Exception;
};

}  // namespace sarvanta
